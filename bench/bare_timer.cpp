// The floor under the program's idle cost: a Qt widgets application with no window that runs only
// a 50 ms precise timer, as the program's poll timer does. The CPU benchmark measures it beside
// the program.
#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(50);
    return QApplication::exec() == 0 && ticks >= 0 ? 0 : 1;
}
