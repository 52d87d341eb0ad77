#pragma once

#include <QString>
#include <QTranslator>
#include <optional>

namespace vx {

// The languages the program speaks: Traditional Chinese, in which its texts are written, and
// English.
enum class Language { TraditionalChinese, English };

// English when the user's language (a locale name such as "en_US.UTF-8") is English, Traditional
// Chinese in every other case; a `Language` setting of "en" or "zh_TW" wins over both.
Language chooseLanguage(const QString& userLanguage, const std::optional<QString>& setting);

// The program's texts and the buttons of Qt's own dialogs in the language, for as long as it
// lives. Needs the application object.
class Translations {
public:
    explicit Translations(Language language);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The catalogue of the English texts, built into the program.
    static QString englishCatalogue();

private:
    QTranslator m_program;
    QTranslator m_dialogs;
};

} // namespace vx
