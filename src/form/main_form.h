#pragma once

#include "form/controls.h"
#include "platform/dialogs.h"
#include "platform/serial_comm.h"

#include <vector>

namespace vx {

// The main window as it is defined: every control, menu item and component with its name and its
// state at creation. The handlers work on this; the window on the screen shows it.
class MainForm {
public:
    explicit MainForm(SerialComm& comm);
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // All controls, in the order of definition (frames before what they hold).
    std::vector<Control*> controls();
    // The three top-level menus, in menu-bar order.
    std::vector<MenuItem*> menuBar();
    // The client area of the window, status bar included, below the menu bar.
    static constexpr int ClientWidth = 8385;
    static constexpr int ClientHeight = 5385;
    static constexpr int StatusBarTop = 5160;
    static inline const FontDefinition StatusBarFont = ming(9, 400);

    FormWindow window{QStringLiteral("frmVx3Main"), QStringLiteral("三軸顯示")};

    Control 資料顯示窗;
    Control 計數;
    Control lab計數顯示;
    Control CmdHalt;
    Control Frame歸零;
    Control cmdX;
    Control cmdY;
    Control cmdZ;
    Control lab公英制;
    Control Frame顯示;
    Control labX顯示;
    Control labY顯示;
    Control labZ顯示;
    Control Frame功能鍵;
    Control cmdDR;
    Control cmdDIV;
    Control cmdABS;
    Control cmdRS;
    Control cmdIM;
    Control cmdTF;

    StatusBar sbStatusBar;
    FormTimer Timer1{50, false};
    SerialComm& MSComm1;
    CommonDialog dlgCommonDialog;

    MenuItem mnuFile;
    MenuItem mnuFileNew;
    MenuItem mnuFileOpen;
    MenuItem mnuFileClose;
    MenuItem mnuFileBar5;
    MenuItem mnuFileExit;
    MenuItem mnuComm;
    MenuArray baud{QStringLiteral("baud")};
    MenuItem mnubar6;
    MenuArray port{QStringLiteral("port")};
    MenuItem mnuHelp;
    MenuItem mnuHelpContents;
    MenuItem mnuX軸歸零;
    MenuItem mnuY軸歸零;
    MenuItem mnu鎖住按鍵;
    MenuItem mnuHelpBar0;
    MenuItem mnuHelpAbout;

    // The text colour of the three readings: the button-text colour while they follow the counter,
    // red while paused, grey while stale (the link is lost or no port is open).
    void setReadingsColor(VbColor color);
    // Stale readings turn grey; paused ones stay red, the pause says enough.
    void markReadingsStale();
    // A fresh line: stale readings are live again.
    void markReadingsFresh();

    // Status-bar panel numbers.
    static constexpr int PanelLink = 1;
    static constexpr int PanelLogFile = 2;
};

// Texts that more than one handler writes.
namespace text {
inline const QString ThreeAxisCaption = QStringLiteral("三軸顯示");
inline const QString TwoAxisCaption = QStringLiteral("二軸顯示");
inline const QString NoLogFile = QStringLiteral("無輸出檔案設定");
inline const QString NoDataYet = QStringLiteral("無資料輸入");
inline const QString MetricCaption = QStringLiteral("公\u3000  \u3000\u3000制");
inline const QString ImperialCaption = QStringLiteral("英\u3000  \u3000\u3000制");
} // namespace text

} // namespace vx
