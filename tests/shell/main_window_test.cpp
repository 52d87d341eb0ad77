#include "form_rig.h"
#include "shell/ui/main_window.h"
#include "shell/ui/widget_style.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct Expected {
    const char* name;
    const char* kind;
    const char* parent;
    int left, top, width, height; // twips
    int tab;
    const char* caption;
    const char* toolTip;
    const char* face; // nullptr: the window's default font
    double points;
    bool bold;
};

const char* Ming = "新細明體";
const char* Kai = "標楷體";

// The main window as it must look when it has just been created.
const Expected Inventory[] = {
    {"資料顯示窗", "QLabel", "client", 360, 120, 3975, 375, 1, "無資料輸入", "USB輸入的原始資料",
     nullptr, 0, false},
    {"計數", "QLabel", "client", 4560, 240, 855, 375, 2, "計數:", "", Ming, 15.75, true},
    {"lab計數顯示", "QLabel", "client", 5520, 240, 1335, 375, 3, "0", "存檔筆數", Ming, 20.25,
     false},
    {"CmdHalt", "QPushButton", "client", 2640, 840, 1935, 495, 14, "Halt", "暫停/繼續", Ming, 20.25,
     true},
    {"Frame歸零", "QGroupBox", "client", 480, 1440, 1095, 3375, 15, "歸零", "", nullptr, 0, false},
    {"cmdX", "QPushButton", "client", 600, 1680, 855, 855, 4, "X", "X軸歸零", Ming, 36, true},
    {"cmdY", "QPushButton", "client", 600, 2760, 855, 855, 10, "Y", "Y軸歸零", Ming, 36, true},
    {"cmdZ", "QPushButton", "client", 600, 3840, 855, 855, 11, "Z", "Z軸歸零", Ming, 36, true},
    {"lab公英制", "QLabel", "client", 120, 1800, 360, 1845, 5, "公\u3000  \u3000\u3000制", "", Ming,
     14.25, true},
    {"Frame顯示", "QGroupBox", "client", 1680, 1440, 4095, 3375, 17, "顯示", "", nullptr, 0, false},
    {"labX顯示", "QLabel", "Frame顯示", 120, 240, 3855, 855, 18, "", "X軸測量出的值", Kai, 36,
     true},
    {"labY顯示", "QLabel", "Frame顯示", 120, 1320, 3855, 855, 19, "", "Y軸測量出的值", Kai, 36,
     true},
    {"labZ顯示", "QLabel", "Frame顯示", 120, 2400, 3855, 855, 20, "", "Z軸測量出的值", Kai, 36,
     true},
    {"Frame功能鍵", "QGroupBox", "client", 5880, 1440, 2415, 3375, 16, "功能鍵", "", nullptr, 0,
     false},
    {"cmdDR", "QPushButton", "client", 6120, 1680, 855, 855, 6, "D/R", "直徑/半徑", Ming, 20.25,
     true},
    {"cmdDIV", "QPushButton", "client", 7200, 1680, 855, 855, 7, "DIV", "按此鑑後再按X軸或Y軸除二",
     Ming, 20.25, true},
    {"cmdABS", "QPushButton", "client", 6120, 2760, 855, 855, 8, "ABS", "絕對值/相對值", Ming, 18,
     true},
    {"cmdRS", "QPushButton", "client", 7200, 2760, 855, 855, 9, "RS", "RS232輸出", Ming, 20.25,
     true},
    {"cmdIM", "QPushButton", "client", 6120, 3840, 855, 855, 12, "I/M", "公制英制轉換", Ming, 20.25,
     true},
    {"cmdTF", "QPushButton", "client", 7200, 3840, 855, 855, 13, "T/F", "UnDo取消", Ming, 20.25,
     true},
};

struct MenuRow {
    const char* caption;
    const char* shortcut;
    const char* dispatched; // name handed to the handlers; nullptr for a separator
    int index;
};

const std::vector<std::pair<const char*, std::vector<MenuRow>>> MenuTree = {
    {"檔案(&F)",
     {{"新增(&N)", "Ctrl+N", "mnuFileNew", 0},
      {"開啟(&O)", "Ctrl+O", "mnuFileOpen", 0},
      {"關閉(&C)", "Ctrl+C", "mnuFileClose", 0},
      {"-", "", nullptr, 0},
      {"結束(&X)", "Ctrl+X", "mnuFileExit", 0}}},
    {"傳輸速率(&C)",
     {{"1200", "", "baud", 1200},
      {"2400(&9)", "", "baud", 2400},
      {"4800(&4)", "", "baud", 4800},
      {"9600(&2)", "", "baud", 9600},
      {"19200(&1)", "", "baud", 19200},
      {"-", "", nullptr, 0},
      {"Port1", "", "port", 1},
      {"Port2", "", "port", 2},
      {"Port3", "", "port", 3},
      {"Port4", "", "port", 4},
      {"Port5", "", "port", 5},
      {"Port6", "", "port", 6}}},
    {"說明(&H)",
     {{"內容(&C)", "", "mnuHelpContents", 0},
      {"X軸歸零(F1)", "F1", "mnuX軸歸零", 0},
      {"Y軸歸零", "F2", "mnuY軸歸零", 0},
      {"鎖住按鍵", "F9", "mnu鎖住按鍵", 0},
      {"-", "", nullptr, 0},
      {"關於(&A)", "", "mnuHelpAbout", 0}}},
};

struct MainWindowTest : ::testing::Test {
    MainWindowTest()
        : window(
              rig.form, [this](const Observable& source) { dispatched.push_back(nameOf(&source)); },
              [this] { ++unloads; }) {}

    QWidget* widget(const char* name) {
        return window.findChild<QWidget*>(QString::fromUtf8(name));
    }

    // The name and index of what was dispatched, as the window definition gives them.
    std::pair<QString, int> nameOf(const Observable* source) {
        for (Control* control : rig.form.controls())
            if (control == source)
                return {control->name(), 0};
        for (MenuItem* top : rig.form.menuBar()) {
            if (top == source)
                return {top->name(), 0};
            for (MenuItem* item : top->items())
                if (item == source)
                    return {item->name(), item->index().value_or(0)};
        }
        return {};
    }

    FormRig rig;
    std::vector<std::pair<QString, int>> dispatched;
    int unloads = 0;
    ui::MainWindow window;
};

QString textOf(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(w))
        return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(w))
        return box->title();
    return {};
}

} // namespace

TEST_F(MainWindowTest, EveryControlStandsWhereTheInventorySays) {
    for (const Expected& e : Inventory) {
        SCOPED_TRACE(e.name);
        QWidget* w = widget(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(e.kind));
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromUtf8(e.parent));
        EXPECT_EQ(w->geometry(), QRect(e.left / 15, e.top / 15, e.width / 15, e.height / 15));
        EXPECT_EQ(textOf(w), QString::fromUtf8(e.caption));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(e.toolTip));
        EXPECT_EQ(w->property("TabIndex").toInt(), e.tab);
        EXPECT_FALSE(w->isHidden());
        if (e.face) {
            EXPECT_EQ(w->font().family(), QString::fromUtf8(e.face));
            EXPECT_DOUBLE_EQ(w->font().pointSizeF(), e.points);
            EXPECT_EQ(w->font().bold(), e.bold);
        }
        EXPECT_EQ(w->focusPolicy() != Qt::NoFocus, QString::fromUtf8(e.kind) == "QPushButton");
    }
}

TEST_F(MainWindowTest, ButtonsTakeTheFocusInTabOrder) {
    const char* order[] = {"cmdX", "cmdDR", "cmdDIV", "cmdABS", "cmdRS",
                           "cmdY", "cmdZ",  "cmdIM",  "cmdTF",  "CmdHalt"};
    QWidget* w = widget(order[0]);
    for (size_t i = 1; i < std::size(order); ++i) {
        do
            w = w->nextInFocusChain();
        while (!qobject_cast<QPushButton*>(w));
        EXPECT_EQ(w->objectName(), QString::fromUtf8(order[i]));
    }
}

TEST_F(MainWindowTest, ColoursFontsAndAlignment) {
    const QPalette app = QApplication::palette();
    for (const char* frame : {"Frame歸零", "Frame顯示", "Frame功能鍵"})
        EXPECT_EQ(widget(frame)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    for (const char* reading : {"labX顯示", "labY顯示", "labZ顯示"}) {
        EXPECT_EQ(widget(reading)->palette().color(QPalette::WindowText),
                  app.color(QPalette::ButtonText));
        EXPECT_TRUE(qobject_cast<QLabel*>(widget(reading))->alignment() & Qt::AlignRight);
    }
    EXPECT_TRUE(qobject_cast<QLabel*>(widget("計數"))->alignment() & Qt::AlignLeft);
    rig.form.labX顯示.setForeColor(color::Red);
    EXPECT_EQ(widget("labX顯示")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    rig.form.lab公英制.setForeColor(color::Magenta);
    EXPECT_EQ(widget("lab公英制")->palette().color(QPalette::WindowText), QColor(255, 0, 255));
}

TEST_F(MainWindowTest, MenuTreeWithCaptionsShortcutsAndDispatch) {
    const QList<QAction*> tops = window.menuBar()->actions();
    ASSERT_EQ(static_cast<size_t>(tops.size()), MenuTree.size());
    for (size_t m = 0; m < MenuTree.size(); ++m) {
        EXPECT_EQ(tops[m]->text(), QString::fromUtf8(MenuTree[m].first));
        const QList<QAction*> items = tops[m]->menu()->actions();
        const auto& rows = MenuTree[m].second;
        ASSERT_EQ(static_cast<size_t>(items.size()), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(rows[i].caption);
            if (!rows[i].dispatched) {
                EXPECT_TRUE(items[i]->isSeparator());
                continue;
            }
            EXPECT_EQ(items[i]->text(), QString::fromUtf8(rows[i].caption));
            EXPECT_EQ(items[i]->shortcut(), QKeySequence(QString::fromUtf8(rows[i].shortcut)));
            EXPECT_FALSE(items[i]->isChecked());
            dispatched.clear();
            items[i]->trigger();
            ASSERT_EQ(dispatched.size(), 1U);
            EXPECT_EQ(dispatched[0].first, QString::fromUtf8(rows[i].dispatched));
            EXPECT_EQ(dispatched[0].second, rows[i].index);
        }
    }
}

TEST_F(MainWindowTest, CheckMarksAreTheHandlersNotTheClicks) {
    QAction* port3 = window.action(QStringLiteral("port"), 3);
    ASSERT_NE(port3, nullptr);
    port3->trigger(); // the dispatch here sets nothing
    EXPECT_FALSE(port3->isChecked());
    rig.form.port.item(3).setChecked(true);
    EXPECT_TRUE(port3->isChecked());
    rig.form.port.item(3).setToolTip(QStringLiteral("/dev/ttyUSB2：已連接"));
    EXPECT_EQ(port3->toolTip(), "/dev/ttyUSB2：已連接");
}

TEST_F(MainWindowTest, ShortcutsWorkWhileTheKeypadIsHidden) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    rig.form.cmdX.setVisible(false);
    for (auto [key, name] :
         {std::pair{Qt::Key_F1, "mnuX軸歸零"}, std::pair{Qt::Key_F2, "mnuY軸歸零"},
          std::pair{Qt::Key_F9, "mnu鎖住按鍵"}}) {
        dispatched.clear();
        QTest::keyClick(&window, key);
        ASSERT_EQ(dispatched.size(), 1U) << name;
        EXPECT_EQ(dispatched[0].first, QString::fromUtf8(name));
    }
    dispatched.clear();
    QTest::keyClick(&window, Qt::Key_X, Qt::ControlModifier);
    ASSERT_EQ(dispatched.size(), 1U);
    EXPECT_EQ(dispatched[0].first, "mnuFileExit");
    dispatched.clear();
    QTest::mouseClick(qobject_cast<QPushButton*>(widget("cmdRS")), Qt::LeftButton);
    ASSERT_EQ(dispatched.size(), 1U);
    EXPECT_EQ(dispatched[0].first, "cmdRS");
}

TEST_F(MainWindowTest, StatusBarPanelsAtCreation) {
    EXPECT_EQ(window.statusPanel(1)->text(), "RS232傳輸狀態");
    EXPECT_EQ(window.statusPanel(1)->toolTip(), "傳輸狀態");
    EXPECT_EQ(window.statusPanel(1)->minimumWidth(), 96);
    EXPECT_EQ(window.statusPanel(2)->text(), "無輸出檔案設定");
    EXPECT_EQ(window.statusPanel(2)->width(), 133);
    EXPECT_EQ(window.statusPanel(3)->toolTip(), "日期");
    EXPECT_EQ(window.statusPanel(4)->toolTip(), "時間");
    EXPECT_FALSE(window.statusPanel(3)->text().isEmpty());
    EXPECT_TRUE(
        QTime::fromString(window.statusPanel(4)->text(), QStringLiteral("HH:mm:ss")).isValid());
    EXPECT_EQ(window.statusBar()->font().family(), "新細明體");
    rig.form.sbStatusBar.panel(1).setText(QStringLiteral("信號斷接14:05:09"));
    EXPECT_EQ(window.statusPanel(1)->text(), "信號斷接14:05:09");
}

TEST_F(MainWindowTest, InitialStateOfTheWindowAndItsComponents) {
    EXPECT_EQ(window.windowTitle(), "三軸顯示");
    EXPECT_EQ(window.objectName(), "frmVx3Main");
    EXPECT_FALSE(rig.form.Timer1.enabled());
    EXPECT_EQ(rig.form.Timer1.interval(), 50);
    EXPECT_FALSE(rig.form.mnu鎖住按鍵.checked());
    EXPECT_EQ(rig.serial.settings(), "9600,N,8,2");
    EXPECT_EQ(rig.serial.inBufferSize(), 1024);
    EXPECT_EQ(rig.serial.outBufferSize(), 512);
    EXPECT_EQ(rig.serial.parityReplace(), "?");
    EXPECT_TRUE(rig.form.dlgCommonDialog.fileName.isEmpty());
    // The area above the status bar is the designed client area.
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.centralWidget()->height(), 5160 / 15);
    EXPECT_EQ(window.width(), 8385 / 15);
}

TEST_F(MainWindowTest, ResizingMovesOnlyTheStatusBar) {
    window.show();
    const QRect halt = widget("CmdHalt")->geometry();
    const QRect tf = widget("cmdTF")->geometry();
    window.resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(widget("CmdHalt")->geometry(), halt);
    EXPECT_EQ(widget("cmdTF")->geometry(), tf);
    EXPECT_EQ(window.statusBar()->width(), 900);
    EXPECT_EQ(window.statusBar()->geometry().bottom(), 599);
    EXPECT_GE(window.statusPanel(1)->width(), 96);
}

TEST_F(MainWindowTest, ModelChangesReachTheScreenAndCloseRunsTheUnload) {
    rig.form.Frame顯示.setHeight(2295);
    EXPECT_EQ(widget("Frame顯示")->height(), 2295 / 15);
    rig.form.labZ顯示.setVisible(false);
    EXPECT_TRUE(widget("labZ顯示")->isHidden());
    rig.form.window.setCaption(QStringLiteral("二軸顯示"));
    EXPECT_EQ(window.windowTitle(), "二軸顯示");
    rig.form.資料顯示窗.setCaption(QStringLiteral("X   1.000\r\n"));
    EXPECT_EQ(textOf(widget("資料顯示窗")), "X   1.000\r\n");

    window.show();
    rig.form.window.unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(rig.form.window.loaded());
    window.close(); // a second close runs nothing again
    EXPECT_EQ(unloads, 1);
}
