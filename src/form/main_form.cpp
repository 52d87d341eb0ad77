#include "main_form.h"

namespace vx {

namespace {

ControlDefinition define(const char* name, ControlKind kind, Twips at, int tab, const char* caption,
                         const char* tip) {
    ControlDefinition s;
    s.name = QString::fromUtf8(name);
    s.kind = kind;
    s.geometry = at;
    s.tabIndex = tab;
    s.caption = QString::fromUtf8(caption);
    s.toolTip = QString::fromUtf8(tip);
    return s;
}

ControlDefinition label(const char* name, Twips at, int tab, const char* caption, const char* tip,
                        std::optional<FontDefinition> font = std::nullopt) {
    ControlDefinition s = define(name, ControlKind::Label, at, tab, caption, tip);
    s.font = std::move(font);
    return s;
}

ControlDefinition button(const char* name, Twips at, int tab, const char* caption, const char* tip,
                         FontDefinition font) {
    ControlDefinition s = define(name, ControlKind::Button, at, tab, caption, tip);
    s.font = std::move(font);
    return s;
}

// Frame captions are drawn in blue.
ControlDefinition frame(const char* name, Twips at, int tab, const char* caption) {
    ControlDefinition s = define(name, ControlKind::Frame, at, tab, caption, "");
    s.foreColor = color::Blue;
    return s;
}

ControlDefinition reading(const char* name, const Control& holder, Twips at, int tab,
                          const char* tip) {
    ControlDefinition s = define(name, ControlKind::Label, at, tab, "", tip);
    s.container = &holder;
    s.font = kai(36, 700);
    s.align = Align::Right;
    return s;
}

} // namespace

MainForm::MainForm(SerialComm& comm)
    : 資料顯示窗(label("資料顯示窗", {360, 120, 3975, 375}, 1, "無資料輸入", "USB輸入的原始資料"))
    , 計數(label("計數", {4560, 240, 855, 375}, 2, "計數:", "", ming(15.75, 700)))
    , lab計數顯示(
          label("lab計數顯示", {5520, 240, 1335, 375}, 3, "0", "存檔筆數", ming(20.25, 400)))
    , CmdHalt(button("CmdHalt", {2640, 840, 1935, 495}, 14, "Halt", "暫停/繼續", ming(20.25, 700)))
    , Frame歸零(frame("Frame歸零", {480, 1440, 1095, 3375}, 15, "歸零"))
    , cmdX(button("cmdX", {600, 1680, 855, 855}, 4, "X", "X軸歸零", ming(36, 700)))
    , cmdY(button("cmdY", {600, 2760, 855, 855}, 10, "Y", "Y軸歸零", ming(36, 700)))
    , cmdZ(button("cmdZ", {600, 3840, 855, 855}, 11, "Z", "Z軸歸零", ming(36, 700)))
    , lab公英制(label("lab公英制", {120, 1800, 360, 1845}, 5, "", "", ming(14.25, 700)))
    , Frame顯示(frame("Frame顯示", {1680, 1440, 4095, 3375}, 17, "顯示"))
    , labX顯示(reading("labX顯示", Frame顯示, {120, 240, 3855, 855}, 18, "X軸測量出的值"))
    , labY顯示(reading("labY顯示", Frame顯示, {120, 1320, 3855, 855}, 19, "Y軸測量出的值"))
    , labZ顯示(reading("labZ顯示", Frame顯示, {120, 2400, 3855, 855}, 20, "Z軸測量出的值"))
    , Frame功能鍵(frame("Frame功能鍵", {5880, 1440, 2415, 3375}, 16, "功能鍵"))
    , cmdDR(button("cmdDR", {6120, 1680, 855, 855}, 6, "D/R", "直徑/半徑", ming(20.25, 700)))
    , cmdDIV(button("cmdDIV", {7200, 1680, 855, 855}, 7, "DIV", "按此鑑後再按X軸或Y軸除二",
                    ming(20.25, 700)))
    , cmdABS(button("cmdABS", {6120, 2760, 855, 855}, 8, "ABS", "絕對值/相對值", ming(18, 700)))
    , cmdRS(button("cmdRS", {7200, 2760, 855, 855}, 9, "RS", "RS232輸出", ming(20.25, 700)))
    , cmdIM(button("cmdIM", {6120, 3840, 855, 855}, 12, "I/M", "公制英制轉換", ming(20.25, 700)))
    , cmdTF(button("cmdTF", {7200, 3840, 855, 855}, 13, "T/F", "UnDo取消", ming(20.25, 700)))
    , MSComm1(comm)
    , mnuFile(QStringLiteral("mnuFile"), QStringLiteral("檔案(&F)"))
    , mnuFileNew(QStringLiteral("mnuFileNew"), QStringLiteral("新增(&N)"), QStringLiteral("Ctrl+N"))
    , mnuFileOpen(QStringLiteral("mnuFileOpen"), QStringLiteral("開啟(&O)"),
                  QStringLiteral("Ctrl+O"))
    , mnuFileClose(QStringLiteral("mnuFileClose"), QStringLiteral("關閉(&C)"),
                   QStringLiteral("Ctrl+C"))
    , mnuFileBar5(QStringLiteral("mnuFileBar5"), QStringLiteral("-"))
    , mnuFileExit(QStringLiteral("mnuFileExit"), QStringLiteral("結束(&X)"),
                  QStringLiteral("Ctrl+X"))
    , mnuComm(QStringLiteral("mnuComm"), QStringLiteral("傳輸速率(&C)"))
    , mnubar6(QStringLiteral("mnubar6"), QStringLiteral("-"))
    , mnuHelp(QStringLiteral("mnuHelp"), QStringLiteral("說明(&H)"))
    , mnuHelpContents(QStringLiteral("mnuHelpContents"), QStringLiteral("內容(&C)"))
    , mnuX軸歸零(QStringLiteral("mnuX軸歸零"), QStringLiteral("X軸歸零(F1)"), QStringLiteral("F1"))
    , mnuY軸歸零(QStringLiteral("mnuY軸歸零"), QStringLiteral("Y軸歸零"), QStringLiteral("F2"))
    , mnu鎖住按鍵(QStringLiteral("mnu鎖住按鍵"), QStringLiteral("鎖住按鍵"), QStringLiteral("F9"))
    , mnuHelpBar0(QStringLiteral("mnuHelpBar0"), QStringLiteral("-"))
    , mnuHelpAbout(QStringLiteral("mnuHelpAbout"), QStringLiteral("關於(&A)")) {
    // The unit label starts metric; its caption holds full-width spaces, so it is set here.
    lab公英制.setCaption(text::MetricCaption);

    sbStatusBar.add(PanelStyle::Text, QStringLiteral("RS232傳輸狀態"), QStringLiteral("傳輸狀態"),
                    1440, PanelSizing::Spring);
    sbStatusBar.add(PanelStyle::Text, text::NoLogFile, QString(), 2000, PanelSizing::None);
    sbStatusBar.add(PanelStyle::Date, QString(), QStringLiteral("日期"), 1000,
                    PanelSizing::Contents);
    sbStatusBar.add(PanelStyle::Time, QString(), QStringLiteral("時間"), 1000,
                    PanelSizing::Contents);

    baud.add(QStringLiteral("1200"), 1200);
    baud.add(QStringLiteral("2400(&9)"), 2400);
    baud.add(QStringLiteral("4800(&4)"), 4800);
    baud.add(QStringLiteral("9600(&2)"), 9600);
    baud.add(QStringLiteral("19200(&1)"), 19200);
#ifdef VX_EXTRA_LINE_SPEED
    // A test build's speed beyond the five, to show that every width on its way carries it.
    baud.add(QString::number(VX_EXTRA_LINE_SPEED), VX_EXTRA_LINE_SPEED);
#endif
    for (int n = 1; n <= 6; ++n)
        port.add(QStringLiteral("Port%1").arg(n), n);

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

std::vector<Control*> MainForm::controls() {
    return {&資料顯示窗, &計數,      &lab計數顯示, &CmdHalt,  &Frame歸零, &cmdX,     &cmdY,
            &cmdZ,       &lab公英制, &Frame顯示,   &labX顯示, &labY顯示,  &labZ顯示, &Frame功能鍵,
            &cmdDR,      &cmdDIV,    &cmdABS,      &cmdRS,    &cmdIM,     &cmdTF};
}

std::vector<MenuItem*> MainForm::menuBar() {
    return {&mnuFile, &mnuComm, &mnuHelp};
}

void MainForm::setReadingsColor(VbColor color) {
    for (Control* reading : {&labX顯示, &labY顯示, &labZ顯示})
        reading->setForeColor(color);
}

void MainForm::markReadingsStale() {
    if (labX顯示.foreColor() == color::ButtonText)
        setReadingsColor(color::Grey);
}

void MainForm::markReadingsFresh() {
    if (labX顯示.foreColor() == color::Grey)
        setReadingsColor(color::ButtonText);
}

} // namespace vx
