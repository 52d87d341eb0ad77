#include "main_form.h"

namespace vx {

namespace {

ControlDefinition define(const char* name, ControlKind kind, Twips at, int tab, QString caption,
                         QString tip) {
    ControlDefinition s;
    s.name = QString::fromUtf8(name);
    s.kind = kind;
    s.geometry = at;
    s.tabIndex = tab;
    s.caption = std::move(caption);
    s.toolTip = std::move(tip);
    return s;
}

ControlDefinition label(const char* name, Twips at, int tab, const QString& caption,
                        const QString& tip, std::optional<FontDefinition> font = std::nullopt) {
    ControlDefinition s = define(name, ControlKind::Label, at, tab, caption, tip);
    s.font = std::move(font);
    return s;
}

ControlDefinition button(const char* name, Twips at, int tab, const QString& caption,
                         const QString& tip, FontDefinition font) {
    ControlDefinition s = define(name, ControlKind::Button, at, tab, caption, tip);
    s.font = std::move(font);
    return s;
}

// Frame captions are drawn in blue.
ControlDefinition frame(const char* name, Twips at, int tab, const QString& caption) {
    ControlDefinition s = define(name, ControlKind::Frame, at, tab, caption, QString());
    s.foreColor = color::Blue;
    return s;
}

ControlDefinition reading(const char* name, const Control& holder, Twips at, int tab,
                          const QString& tip) {
    ControlDefinition s = define(name, ControlKind::Label, at, tab, QString(), tip);
    s.container = &holder;
    s.font = kai(36, 700);
    s.align = Align::Right;
    return s;
}

} // namespace

MainForm::MainForm(SerialComm& comm)
    : 資料顯示窗(
          label("資料顯示窗", {360, 120, 3975, 375}, 1, tr("無資料輸入"), tr("USB輸入的原始資料")))
    , 計數(label("計數", {4560, 240, 855, 375}, 2, tr("計數:"), QString(), ming(15.75, 700)))
    , lab計數顯示(label("lab計數顯示", {5520, 240, 1335, 375}, 3, QStringLiteral("0"),
                        tr("存檔筆數"), ming(20.25, 400)))
    , CmdHalt(button("CmdHalt", {2640, 840, 1935, 495}, 14, haltCaption(false), tr("暫停/繼續"),
                     ming(20.25, 700)))
    , Frame歸零(frame("Frame歸零", {480, 1440, 1095, 3375}, 15, tr("歸零")))
    , cmdX(button("cmdX", {600, 1680, 855, 855}, 4, tr("X"), tr("X軸歸零"), ming(36, 700)))
    , cmdY(button("cmdY", {600, 2760, 855, 855}, 10, tr("Y"), tr("Y軸歸零"), ming(36, 700)))
    , cmdZ(button("cmdZ", {600, 3840, 855, 855}, 11, tr("Z"), tr("Z軸歸零"), ming(36, 700)))
    , lab公英制(label("lab公英制", {120, 1800, 360, 1845}, 5, unitCaption(Unit::Metric), QString(),
                      ming(14.25, 700)))
    , Frame顯示(frame("Frame顯示", {1680, 1440, 4095, 3375}, 17, tr("顯示")))
    , labX顯示(reading("labX顯示", Frame顯示, {120, 240, 3855, 855}, 18, tr("X軸測量出的值")))
    , labY顯示(reading("labY顯示", Frame顯示, {120, 1320, 3855, 855}, 19, tr("Y軸測量出的值")))
    , labZ顯示(reading("labZ顯示", Frame顯示, {120, 2400, 3855, 855}, 20, tr("Z軸測量出的值")))
    , Frame功能鍵(frame("Frame功能鍵", {5880, 1440, 2415, 3375}, 16, tr("功能鍵")))
    , cmdDR(
          button("cmdDR", {6120, 1680, 855, 855}, 6, tr("D/R"), tr("直徑/半徑"), ming(20.25, 700)))
    , cmdDIV(button("cmdDIV", {7200, 1680, 855, 855}, 7, tr("DIV"), tr("按此鑑後再按X軸或Y軸除二"),
                    ming(20.25, 700)))
    , cmdABS(button("cmdABS", {6120, 2760, 855, 855}, 8, tr("ABS"), tr("絕對值/相對值"),
                    ming(18, 700)))
    , cmdRS(button("cmdRS", {7200, 2760, 855, 855}, 9, tr("RS"), tr("RS232輸出"), ming(20.25, 700)))
    , cmdIM(button("cmdIM", {6120, 3840, 855, 855}, 12, tr("I/M"), tr("公制英制轉換"),
                   ming(20.25, 700)))
    , cmdTF(
          button("cmdTF", {7200, 3840, 855, 855}, 13, tr("T/F"), tr("UnDo取消"), ming(20.25, 700)))
    , MSComm1(comm)
    , mnuFile(QStringLiteral("mnuFile"), tr("檔案(&F)"))
    , mnuFileNew(QStringLiteral("mnuFileNew"), tr("新增(&N)"), QStringLiteral("Ctrl+N"))
    , mnuFileOpen(QStringLiteral("mnuFileOpen"), tr("開啟(&O)"), QStringLiteral("Ctrl+O"))
    , mnuFileClose(QStringLiteral("mnuFileClose"), tr("關閉(&C)"), QStringLiteral("Ctrl+C"))
    , mnuFileBar5(QStringLiteral("mnuFileBar5"), QStringLiteral("-"))
    , mnuFileExit(QStringLiteral("mnuFileExit"), tr("結束(&X)"), QStringLiteral("Ctrl+X"))
    , mnuComm(QStringLiteral("mnuComm"), tr("傳輸速率(&C)"))
    , mnubar6(QStringLiteral("mnubar6"), QStringLiteral("-"))
    , mnuHelp(QStringLiteral("mnuHelp"), tr("說明(&H)"))
    , mnuHelpContents(QStringLiteral("mnuHelpContents"), tr("內容(&C)"))
    , mnuX軸歸零(QStringLiteral("mnuX軸歸零"), tr("X軸歸零(F1)"), QStringLiteral("F1"))
    , mnuY軸歸零(QStringLiteral("mnuY軸歸零"), tr("Y軸歸零"), QStringLiteral("F2"))
    , mnu鎖住按鍵(QStringLiteral("mnu鎖住按鍵"), tr("鎖住按鍵"), QStringLiteral("F9"))
    , mnuHelpBar0(QStringLiteral("mnuHelpBar0"), QStringLiteral("-"))
    , mnuHelpAbout(QStringLiteral("mnuHelpAbout"), tr("關於(&A)")) {
    sbStatusBar.add(PanelStyle::Text, tr("RS232傳輸狀態"), tr("傳輸狀態"), 1440,
                    PanelSizing::Spring);
    sbStatusBar.add(PanelStyle::Text, noLogFileText(), QString(), 2000, PanelSizing::None);
    sbStatusBar.add(PanelStyle::Date, QString(), tr("日期"), 1000, PanelSizing::Contents);
    sbStatusBar.add(PanelStyle::Time, QString(), tr("時間"), 1000, PanelSizing::Contents);

    baud.add(tr("1200"), 1200);
    baud.add(tr("2400(&9)"), 2400);
    baud.add(tr("4800(&4)"), 4800);
    baud.add(tr("9600(&2)"), 9600);
    baud.add(tr("19200(&1)"), 19200);
#ifdef VX_EXTRA_LINE_SPEED
    // A test build's speed beyond the five, to show that every width on its way carries it.
    baud.add(QString::number(VX_EXTRA_LINE_SPEED), VX_EXTRA_LINE_SPEED);
#endif
    for (int n = 1; n <= 6; ++n)
        port.add(tr("Port%1").arg(n), n);

    mnuFile.items() = {&mnuFileNew, &mnuFileOpen, &mnuFileClose, &mnuFileBar5, &mnuFileExit};
    for (MenuItem* item : baud.items())
        mnuComm.items().push_back(item);
    mnuComm.items().push_back(&mnubar6);
    for (MenuItem* item : port.items())
        mnuComm.items().push_back(item);
    mnuHelp.items() = {&mnuHelpContents, &mnuX軸歸零,  &mnuY軸歸零,
                       &mnu鎖住按鍵,     &mnuHelpBar0, &mnuHelpAbout};

    // The serial component as the window creates it, before the start-up applies stored settings.
    MSComm1.setSettings(QStringLiteral("9600,N,8,2"));
    MSComm1.setInBufferSize(1024);
    MSComm1.setOutBufferSize(512);
    MSComm1.setParityReplace(QStringLiteral("?"));
}

QString MainForm::axesCaption(bool threeAxes) {
    return threeAxes ? tr("三軸顯示") : tr("二軸顯示");
}

QString MainForm::haltCaption(bool paused) {
    return paused ? tr("Go") : tr("Halt");
}

QString MainForm::noLogFileText() {
    return tr("無輸出檔案設定");
}

// Without a separator, as the panel has always shown it; a language may put one in.
QString MainForm::linkStatusText(const QString& message, const QString& timeOfDay) {
    return tr("%1%2", "a line event, then the time of day").arg(message, timeOfDay);
}

// The unit label is narrow and tall and wraps its text: the full-width spaces put the first
// character at its top and the last at its bottom.
QString MainForm::unitCaption(Unit unit) {
    switch (unit) {
    case Unit::Metric:
        return tr("公\u3000  \u3000\u3000制");
    case Unit::Imperial:
        return tr("英\u3000  \u3000\u3000制");
    case Unit::None:
        break;
    }
    return {};
}

// The colour stays as it was for a line without a unit, which shows none.
void MainForm::showUnit(Unit unit) {
    m_unit = unit;
    lab公英制.setCaption(unitCaption(unit));
    if (unit != Unit::None)
        lab公英制.setForeColor(unit == Unit::Metric ? color::ButtonText : color::Magenta);
}

std::vector<Control*> MainForm::controls() {
    return {&資料顯示窗, &計數,      &lab計數顯示, &CmdHalt,  &Frame歸零, &cmdX,     &cmdY,
            &cmdZ,       &lab公英制, &Frame顯示,   &labX顯示, &labY顯示,  &labZ顯示, &Frame功能鍵,
            &cmdDR,      &cmdDIV,    &cmdABS,      &cmdRS,    &cmdIM,     &cmdTF};
}

std::vector<MenuItem*> MainForm::menuBar() {
    return {&mnuFile, &mnuComm, &mnuHelp};
}

void MainForm::setReadingsColor(VbColor color) {
    if (color != color::Red)
        m_readingsStale = color == color::Grey;
    for (Control* reading : {&labX顯示, &labY顯示, &labZ顯示})
        reading->setForeColor(color);
}

void MainForm::markReadingsStale() {
    m_readingsStale = true;
    if (labX顯示.foreColor() == color::ButtonText)
        setReadingsColor(color::Grey);
}

void MainForm::markReadingsFresh() {
    m_readingsStale = false;
    if (labX顯示.foreColor() == color::Grey)
        setReadingsColor(color::ButtonText);
}

} // namespace vx
