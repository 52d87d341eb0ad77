#include "platform/language.h"
#include "platform/testing/test_process.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace vx;

namespace {

// A text of the catalogue, as translations/vx_en.ts holds it.
struct Entry {
    QString context, source, comment, translation;
    bool finished = false;
};

std::vector<Entry> catalogue() {
    QFile file(QStringLiteral(VX_CATALOGUE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << VX_CATALOGUE;
    std::vector<Entry> entries;
    QString context;
    QXmlStreamReader xml(&file);
    while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
        const QString tag = xml.isStartElement() ? xml.name().toString() : QString();
        if (tag == u"message")
            entries.push_back({context, {}, {}, {}, false});
        else if (tag == u"translation")
            entries.back().finished = xml.attributes().value(QStringLiteral("type")).isEmpty();
        if (tag == u"name")
            context = xml.readElementText();
        else if (QString* text = tag == u"source"        ? &entries.back().source
                                 : tag == u"comment"     ? &entries.back().comment
                                 : tag == u"translation" ? &entries.back().translation
                                                         : nullptr)
            *text = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
    return entries;
}

QString shown(const Entry& entry) {
    return QCoreApplication::translate(qPrintable(entry.context), entry.source.toUtf8().constData(),
                                       entry.comment.isEmpty() ? nullptr
                                                               : qPrintable(entry.comment));
}

// What a translation must keep of its source: the placeholders, the access key's letter and the
// keys that a caption or message names.
QStringList kept(const QString& text) {
    static const QRegularExpression marks(
        QStringLiteral(R"(%\d|&(\w)|\b(?:F\d{1,2}|Ctrl\+\w|RecordKey)\b)"));
    QStringList found;
    for (auto it = marks.globalMatch(text); it.hasNext();)
        found << it.next().captured().toUpper();
    found.sort();
    return found;
}

} // namespace

// English only for an English user or setting; the setting wins, and one that names neither
// language leaves the choice to the user's.
TEST(Language, EnglishForAnEnglishUserOrSettingChineseOtherwise) {
    using L = Language;
    const std::tuple<const char*, std::optional<QString>, Language> rows[] = {
        {"en_US.UTF-8", {}, L::English},
        {"en@quot", {}, L::English},
        {"C.UTF-8", {}, L::TraditionalChinese},
        {"", {}, L::TraditionalChinese},
        {"eng", {}, L::TraditionalChinese},
        {"C.UTF-8", "en", L::English},
        {"en_GB", " zh_TW ", L::TraditionalChinese},
        {"en_US.UTF-8", "fr", L::English}};
    for (const auto& [user, setting, chosen] : rows)
        EXPECT_EQ(chooseLanguage(QString::fromUtf8(user), setting), chosen)
            << user << " / " << qPrintable(setting.value_or("(none)"));
}

// Every text of the catalogue is shown as it is written, and the documented ones are among them,
// char for char ("Port%1" is Port1 to Port6).
TEST(Language, ChineseShowsTheDocumentedTextsUnchanged) {
    vx::testing::coreApplication();
    const Translations chinese(Language::TraditionalChinese);
    QSet<QString> sources;
    for (const Entry& entry : catalogue()) {
        sources << entry.source;
        EXPECT_EQ(shown(entry), entry.source) << qPrintable(entry.context);
    }
    // clang-format off
    const char* const documented[] = {
        "Orvane", "Vx電腦顯示", "W2000/XP 操作平台", "版本 1.0", "版本 ", "無信號",
        "三軸顯示", "二軸顯示", "無資料輸入", "USB輸入的原始資料", "計數:", "存檔筆數", "Halt", "Go",
        "暫停/繼續", "歸零", "X", "X軸歸零", "Y", "Y軸歸零", "Z", "Z軸歸零", "公\u3000  \u3000\u3000制",
        "英\u3000  \u3000\u3000制", "顯示", "X軸測量出的值", "Y軸測量出的值", "Z軸測量出的值", "功能鍵",
        "D/R", "直徑/半徑", "DIV", "按此鑑後再按X軸或Y軸除二", "ABS", "絕對值/相對值", "RS", "RS232輸出",
        "I/M", "公制英制轉換", "T/F", "UnDo取消", "RS232傳輸狀態", "傳輸狀態", "無輸出檔案設定", "日期",
        "時間", "檔案(&F)", "新增(&N)", "開啟(&O)", "關閉(&C)", "結束(&X)", "傳輸速率(&C)", "1200",
        "2400(&9)", "4800(&4)", "9600(&2)", "19200(&1)", "Port%1", "說明(&H)", "內容(&C)",
        "X軸歸零(F1)", "鎖住按鍵", "關於(&A)", "該程式專接Vx515用", "這程式已執行", "請輸入傳輸埠",
        "傳輸埠錯誤", "傳輸埠錯誤!", "信號斷接", "接收信號框架錯誤", "發射信號過多無法處理",
        "接收信號過多無法處理", "接收信號檢查碼錯誤", "發射緩衝器滿載", "Unexpected error retrieving DCB",
        "DSR信號有變化", "收到震鈴信號", "收得足夠字元", "送出足夠字元", "收到EOF(chr(26))",
        "USB斷線或Vx515沒開機", "USB無信號", "開啟", "文字檔案 (*.txt)|*.txt|所有檔案|*.*"};
    // clang-format on
    for (const char* text : documented)
        EXPECT_TRUE(sources.contains(QString::fromUtf8(text))) << text;
}

// Every text has its English, built into the program as the catalogue has it, in English letters
// only, with the placeholders, the access key and the keys named of its source.
TEST(Language, EnglishHasEveryTextKeepingItsPlaceholdersAndKeys) {
    vx::testing::coreApplication();
    const Translations english(Language::English);
    static const QRegularExpression chinese(
        QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    const std::vector<Entry> entries = catalogue();
    ASSERT_GT(entries.size(), 150U);
    for (const Entry& entry : entries) {
        const QString where = entry.context + QStringLiteral(": ") + entry.source;
        EXPECT_TRUE(entry.finished && !entry.translation.isEmpty()) << qPrintable(where);
        EXPECT_EQ(shown(entry), entry.translation) << qPrintable(where);
        EXPECT_FALSE(entry.translation.contains(chinese)) << qPrintable(where);
        EXPECT_EQ(kept(entry.translation), kept(entry.source)) << qPrintable(where);
    }
}
