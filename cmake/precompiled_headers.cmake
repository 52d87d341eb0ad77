# Qt's headers are most of what every source file costs to compile: parse them once for the
# libraries without widgets and once for those with. CMAKE_DISABLE_PRECOMPILE_HEADERS=ON turns
# this off, to check that each file includes what it uses.
target_precompile_headers(vx_platform PRIVATE
    <QByteArray> <QObject> <QString> <QStringList> <QTimer>
    <functional> <map> <memory> <optional> <string> <vector>)
foreach(target vx_form vx_link vx_readout vx_datalog vx_shell_core)
    target_precompile_headers(${target} REUSE_FROM vx_platform)
endforeach()

target_precompile_headers(vx_platform_qt PRIVATE
    <QApplication> <QLabel> <QMainWindow> <QMenuBar> <QMessageBox> <QPushButton> <QWidget>
    <QByteArray> <QObject> <QString> <QStringList> <QTimer>
    <functional> <map> <memory> <optional> <string> <vector>)
target_precompile_headers(vx_shell REUSE_FROM vx_platform_qt)
# A Windows program's main() is Qt's entry point's qMain(), which the libraries' headers are not
# parsed for.
if(NOT WIN32)
    target_precompile_headers(vx REUSE_FROM vx_platform_qt)
endif()
