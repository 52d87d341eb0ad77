#pragma once

#include <QString>
#include <optional>

namespace vx {

// Message box type codes: buttons and icon.
namespace mb {
inline constexpr int OkOnly = 0;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int IconMask = 0x70; // the bits of a type code that choose the icon
} // namespace mb

// The common file dialog's properties; the file name stays from one use to the next.
struct CommonDialog {
    QString dialogTitle;
    bool cancelError = false;
    QString filter; // "description|pattern|description|pattern"
    QString fileName;
};

// Modal dialogs shown on behalf of a handler.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a modal message box with an OK button and the icon of the type code. Without a title
    // the application title stands.
    void msgBox(const QString& prompt, int type = mb::OkOnly,
                const std::optional<QString>& title = std::nullopt);
    // Modal input prompt; cancel gives the empty text.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // File-open dialog: a chosen file goes to dialog.fileName; a cancel leaves it unchanged (and
    // raises 32755 when cancelError is set).
    void showOpen(CommonDialog& dialog);

    void setApplicationTitle(const QString& title) { m_appTitle = title; }

protected:
    virtual void showMessage(const QString& prompt, int type, const QString& title) = 0;
    // Returns the chosen path, or nothing on cancel.
    virtual std::optional<QString> chooseFileToOpen(const CommonDialog& dialog) = 0;

private:
    QString m_appTitle = QStringLiteral("Vx");
};

} // namespace vx
