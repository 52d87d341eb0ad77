#include "language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace vx {

namespace {

// "en" of "en", "en_US.UTF-8", "en@quot"; "c" of "C.UTF-8".
QString languageCode(const QString& localeName) {
    qsizetype end = 0;
    while (end < localeName.size() && localeName.at(end).isLetter())
        ++end;
    return localeName.left(end).toLower();
}

std::optional<Language> languageNamed(const QString& name) {
    const QString code = languageCode(name.trimmed());
    if (code == QStringLiteral("en"))
        return Language::English;
    if (code == QStringLiteral("zh"))
        return Language::TraditionalChinese;
    return std::nullopt;
}

} // namespace

Language chooseLanguage(const QString& userLanguage, const std::optional<QString>& setting) {
    if (setting)
        if (const std::optional<Language> chosen = languageNamed(*setting))
            return *chosen;
    return languageNamed(userLanguage) == Language::English ? Language::English
                                                            : Language::TraditionalChinese;
}

QString Translations::englishCatalogue() {
    return QStringLiteral(":/i18n/vx_en.qm");
}

// The texts are written in Traditional Chinese, so that language needs no catalogue of its own;
// Qt's dialogs speak English unless told otherwise.
Translations::Translations(Language language) {
    if (language == Language::English) {
        if (m_program.load(englishCatalogue()))
            QCoreApplication::installTranslator(&m_program);
        else
            qWarning("vx: the English texts are missing from this build");
        return;
    }
    // Qt's installed catalogue, or the one that a Windows build carries inside.
    const QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    for (const QString& folder :
         {QLibraryInfo::path(QLibraryInfo::TranslationsPath), QStringLiteral(":/qt-translations")})
        if (m_dialogs.load(taiwan, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(&m_dialogs);
            return;
        }
}

Translations::~Translations() {
    QCoreApplication::removeTranslator(&m_program);
    QCoreApplication::removeTranslator(&m_dialogs);
}

} // namespace vx
