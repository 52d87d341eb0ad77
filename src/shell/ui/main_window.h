#pragma once

#include "form/main_form.h"

#include <QDate>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>

class QAction;
class QLabel;

namespace vx::ui {

// The main window on the screen: it shows the main form and hands every click, menu command and
// menu opening to the handlers through `dispatch` (the control, menu item or menu concerned), and
// its close to the unload handler.
class MainWindow : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    using Dispatch = std::function<void(const Observable& source)>;

    MainWindow(MainForm& form, Dispatch dispatch, std::function<void()> unloadHandler);
    ~MainWindow() override;

    int windowState() const override;
    Twips outerGeometry() const override;
    void unload() override;

    QAction* action(const QString& name, int index = 0) const;
    QLabel* statusPanel(int number) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildStatusBar();
    void updateClockPanels(qint64 msecs);
    void followClock();
    void followTimer();

    MainForm& m_form;
    Dispatch m_dispatch;
    std::function<void()> m_unloadHandler;
    bool m_unloaded = false;
    QTimer m_pollTimer;
    QTimer m_clockTimer;
    qint64 m_shownSecond = -1;
    QDate m_shownDate;
    std::map<std::pair<QString, int>, QAction*> m_actions;
    std::vector<QLabel*> m_panels;
};

} // namespace vx::ui
