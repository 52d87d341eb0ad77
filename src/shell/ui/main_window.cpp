#include "main_window.h"

#include "control_widget.h"
#include "follow.h"
#include "platform/desktop.h"
#include "status_panel.h"
#include "widget_style.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTime>
#include <algorithm>

namespace vx::ui {

namespace {
// How long after a tick was due the clock's own timer takes the second in its place.
constexpr int ClockSlackMs = 50;
} // namespace

MainWindow::MainWindow(MainForm& form, Dispatch dispatch, std::function<void()> unloadHandler)
    : m_form(form)
    , m_dispatch(std::move(dispatch))
    , m_unloadHandler(std::move(unloadHandler)) {
    setObjectName(form.window.name());
    setWindowTitle(form.window.caption());
    follow(this, form.window, [this](unsigned) { setWindowTitle(m_form.window.caption()); });
    form.window.setHost(this);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    buildControls();
    buildMenus();
    buildStatusBar();

    // The client area below the menu bar: the controls' area, then the status bar.
    resize(pixels(MainForm::ClientWidth), menuBar()->sizeHint().height() +
                                              pixels(MainForm::StatusBarTop) +
                                              statusBar()->sizeHint().height());

    m_pollTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] {
        followClock(); // first: a tick may run a message box for a long while
        m_form.Timer1.fire();
    });
    follow(this, form.Timer1, [this](unsigned) { followTimer(); });
    followTimer();
}

MainWindow::~MainWindow() {
    m_form.window.setHost(nullptr);
}

void MainWindow::buildControls() {
    std::map<const Control*, QWidget*> widgets;
    std::vector<std::pair<int, QWidget*>> focusOrder;
    // Frames first, so the buttons over them are drawn above them.
    for (Control* control : m_form.controls()) {
        QWidget* parent = centralWidget();
        if (control->container() != nullptr)
            parent = widgets.at(control->container());
        QWidget* widget = createControlWidget(*control, parent);
        widgets[control] = widget;
        if (control->kind() == ControlKind::Button) {
            focusOrder.emplace_back(control->tabIndex(), widget);
            connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                    [this, control] { m_dispatch(*control); });
        }
    }
    for (auto& [control, widget] : widgets)
        if (control->kind() == ControlKind::Button)
            widget->raise();
    std::sort(focusOrder.begin(), focusOrder.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < focusOrder.size(); ++i)
        QWidget::setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);
    // The cycle of the focus chain is the tab order, but the window would start it at the button
    // created first, Halt, where one press of the space bar pauses the readout.
    for (const auto& [tab, widget] : focusOrder) {
        if (!widget->isHidden() && widget->isEnabled()) {
            widget->setFocus();
            break;
        }
    }
}

namespace {

// Only a checked item is checkable, so an unchecked one shows no empty box.
void showItemState(const MenuItem& item, QAction* action) {
    action->setCheckable(item.checked());
    action->setChecked(item.checked());
    action->setToolTip(item.toolTip());
}

} // namespace

void MainWindow::buildMenus() {
    // The menu bar belongs in the window. Asking the desktop for a global one would start a D-Bus
    // connection and its thread for nothing.
    menuBar()->setNativeMenuBar(false);
    for (MenuItem* top : m_form.menuBar()) {
        QMenu* menu = menuBar()->addMenu(top->caption());
        menu->setObjectName(top->name());
        menu->setToolTipsVisible(true);
        connect(menu, &QMenu::aboutToShow, this, [this, top] { m_dispatch(*top); });
        for (MenuItem* item : top->items()) {
            if (item->isSeparator()) {
                menu->addSeparator()->setObjectName(item->name());
                continue;
            }
            auto* action = menu->addAction(item->caption());
            action->setObjectName(item->name());
            showItemState(*item, action);
            if (!item->shortcut().isEmpty())
                action->setShortcut(QKeySequence(item->shortcut()));
            action->setShortcutContext(Qt::WindowShortcut);
            const int index = item->index().value_or(0);
            m_actions[{item->name(), index}] = action;
            // The check mark is the handlers' to set, not the click's.
            connect(action, &QAction::triggered, this, [this, item, action] {
                showItemState(*item, action);
                m_dispatch(*item);
            });
            follow(action, *item, [item, action](unsigned) { showItemState(*item, action); });
        }
    }
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setSizeGripEnabled(false);
    // The status bar takes the height its font needs; the controls above keep their places.
    bar->setFont(qtFont(MainForm::StatusBarFont));
    auto* row = new QWidget(bar);
    auto* panels = new StatusPanelRow(row);
    panels->setContentsMargins(QMargins());
    bar->addWidget(row, 1);
    for (int number = 1; number <= m_form.sbStatusBar.count(); ++number) {
        StatusPanel& panel = m_form.sbStatusBar.panel(number);
        auto* box = new StatusPanelBox(panel.text(), panel.toolTip, row);
        box->label()->setObjectName(QStringLiteral("Panel%1").arg(number));
        const int width = pixels(panel.widthTwips);
        if (panel.sizing == PanelSizing::None)
            box->setFixedPanelWidth(width);
        else
            box->setLeastPanelWidth(width);
        panels->addWidget(box, panel.sizing == PanelSizing::Spring ? 1 : 0);
        follow(box, panel, [&panel, box](unsigned) { box->setText(panel.text()); });
        m_panels.push_back(box->label());
    }
    // The clock follows the second on the poll timer's ticks, so that it wakes the program no more
    // often than they do. Its own timer, armed once a second just past the next second, only
    // catches a second that no tick took: the ticks are stopped, or one of them holds a message
    // box.
    m_clockTimer.setTimerType(Qt::PreciseTimer);
    m_clockTimer.setSingleShot(true);
    connect(&m_clockTimer, &QTimer::timeout, this, &MainWindow::followClock);
    followClock();
}

void MainWindow::followClock() {
    const qint64 msecs = QDateTime::currentMSecsSinceEpoch();
    if (msecs / 1000 == m_shownSecond && m_clockTimer.isActive())
        return;
    if (msecs / 1000 != m_shownSecond)
        updateClockPanels(msecs);
    // Not a moment early; while the ticks run, late enough that the next one comes first.
    const int slack = m_pollTimer.isActive() ? m_pollTimer.interval() + ClockSlackMs : 2;
    m_clockTimer.start(static_cast<int>(1000 - msecs % 1000) + slack);
}

void MainWindow::updateClockPanels(qint64 msecs) {
    // One conversion to local time a second: each looks at the time zone file again.
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(msecs);
    m_shownSecond = msecs / 1000;
    const bool newDay = now.date() != m_shownDate; // the date is written out once a day
    m_shownDate = now.date();
    for (int number = 1; number <= m_form.sbStatusBar.count(); ++number) {
        StatusPanel& panel = m_form.sbStatusBar.panel(number);
        if (panel.style == PanelStyle::Date && newDay)
            panel.setText(QLocale::system().toString(m_shownDate, QLocale::ShortFormat));
        else if (panel.style == PanelStyle::Time)
            panel.setText(now.time().toString(TimeOfDayFormat));
    }
}

void MainWindow::followTimer() {
    const bool run = m_form.Timer1.enabled() && !m_unloaded;
    if (run && !m_pollTimer.isActive()) {
        m_pollTimer.start(m_form.Timer1.interval());
    } else if (!run && m_pollTimer.isActive()) {
        m_pollTimer.stop();
        m_clockTimer.stop(); // the next second is no longer the ticks' to take
        followClock();
    }
}

QAction* MainWindow::action(const QString& name, int index) const {
    const auto it = m_actions.find({name, index});
    return it == m_actions.end() ? nullptr : it->second;
}

QLabel* MainWindow::statusPanel(int number) const {
    return m_panels.at(static_cast<size_t>(number - 1));
}

int MainWindow::windowState() const {
    if (isMinimized())
        return WindowMinimized;
    if (isMaximized())
        return WindowMaximized;
    return WindowNormal;
}

Twips MainWindow::outerGeometry() const {
    const QRect frame = frameGeometry();
    return {twipsFromPixels(frame.left()), twipsFromPixels(frame.top()),
            twipsFromPixels(frame.width()), twipsFromPixels(frame.height())};
}

void MainWindow::unload() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_unloaded = true;
        m_pollTimer.stop();
        if (m_unloadHandler)
            m_unloadHandler();
        m_form.window.markUnloaded();
    }
    event->accept();
}

} // namespace vx::ui
