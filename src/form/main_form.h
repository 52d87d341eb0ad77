#pragma once

#include "form/controls.h"
#include "form/frame_decoding.h"
#include "platform/dialogs.h"
#include "platform/serial_comm.h"

#include <QCoreApplication>
#include <vector>

namespace vx {

// How each record asked for ended: in the log file, or not (no log file open, a write that
// failed). Told once per record, the same outcome again included, for views beside the main
// window; the window itself shows only the count.
class RecordOutcome : public Observable {
public:
    enum class Outcome { None, Written, Failed };
    void tell(Outcome outcome) {
        m_last = outcome;
        notify(1);
    }
    Outcome last() const { return m_last; }

private:
    Outcome m_last = Outcome::None;
};

// The main window as it is defined: every control, menu item and component with its name and its
// state at creation. The handlers work on this; the window on the screen shows it.
class MainForm {
    Q_DECLARE_TR_FUNCTIONS(MainForm)

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

    FormWindow window{QStringLiteral("frmVx3Main"), axesCaption(true)};

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
    // Whether the readings were last marked stale, red or not: Go must not make them look live.
    bool readingsStale() const { return m_readingsStale; }

    // The unit label shows the unit of the last line: none for two axes, whose lines name none.
    // The caption and colour are drawn from it; the unit is read here, never from the caption.
    using Unit = DecodedFrame::Unit;
    void showUnit(Unit unit);
    Unit unit() const { return m_unit; }

    RecordOutcome records;

    // Status-bar panel numbers.
    static constexpr int PanelLink = 1;
    static constexpr int PanelLogFile = 2;

    // Captions drawn from the state they show, in the language in force.
    static QString axesCaption(bool threeAxes);
    static QString haltCaption(bool paused);
    static QString noLogFileText();
    // The link panel's text: what happened, then the time of day (hh:mm:ss) at which it did.
    static QString linkStatusText(const QString& message, const QString& timeOfDay);
    static QString unitCaption(Unit unit);

private:
    bool m_readingsStale = false;
    Unit m_unit = Unit::Metric;
};

} // namespace vx
