#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vx {

// Colours as the windows store them: 0x00BBGGRR, or 0x800000nn for system colour nn.
using VbColor = uint32_t;
namespace color {
inline constexpr VbColor ButtonFace = 0x8000000F;
inline constexpr VbColor ButtonText = 0x80000012;
inline constexpr VbColor Red = 0x000000FF;
inline constexpr VbColor Blue = 0x00FF0000;
inline constexpr VbColor Magenta = 0x00FF00FF;
inline constexpr VbColor Grey = 0x00808080;
} // namespace color

// Geometry in twips; 15 twips are one pixel at 96 dots per inch.
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
inline constexpr int TwipsPerPixel = 15;

// What a property holder tells its view changed, so the view redraws only that.
namespace change {
inline constexpr unsigned Caption = 1; // a caption or a panel's text
inline constexpr unsigned Visible = 2;
inline constexpr unsigned Geometry = 4;
inline constexpr unsigned ForeColor = 8;
inline constexpr unsigned State = 16; // a check mark, a tooltip, a timer's enabled state
} // namespace change

// Property holders tell their view when something changed, and only then: setting a property to
// the value it has tells nobody. Handlers and tests need no view.
class Observable {
    struct Entry;
    using Entries = std::vector<std::shared_ptr<Entry>>;

public:
    using Observer = std::function<void(unsigned changed)>;

    // An observation lasts as long as its subscription: the observer is not called once the
    // subscription is gone, whichever of the two, holder or observer, goes first.
    class [[nodiscard]] Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { cancel(); }
        void cancel();

    private:
        friend class Observable;
        Subscription(std::weak_ptr<Entries> entries, std::shared_ptr<Entry> entry)
            : m_entries(std::move(entries))
            , m_entry(std::move(entry)) {}
        std::weak_ptr<Entries> m_entries;
        std::shared_ptr<Entry> m_entry;
    };

    Observable() = default;
    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;

    Subscription observe(Observer observer);

protected:
    void notify(unsigned changed) const;

private:
    std::shared_ptr<Entries> m_entries = std::make_shared<Entries>();
};

enum class ControlKind { Label, Button, Frame, PictureBox };
enum class Align { Left, Right, Center };

// A font as the window definitions give it: face, size in points, weight (400 normal, 700 bold).
// The texts are Unicode, so the character set that a definition names has nothing to choose.
struct FontDefinition {
    QString face;
    double points = 9;
    int weight = 400;
};

// The two faces that the windows name; Windows faces, substituted where they are missing.
namespace face {
inline const QString Ming = QStringLiteral("新細明體");
inline const QString Kai = QStringLiteral("標楷體");
} // namespace face

// Ming, or Kai, in the size and weight given.
inline FontDefinition ming(double points, int weight) {
    return {face::Ming, points, weight};
}
inline FontDefinition kai(double points, int weight) {
    return {face::Kai, points, weight};
}

class Control;

// How a control is defined when its window is created.
struct ControlDefinition {
    QString name;
    ControlKind kind = ControlKind::Label;
    Twips geometry;
    int tabIndex = -1;
    QString caption;
    QString toolTip;
    const Control* container = nullptr; // the frame that holds it; null for the window
    std::optional<FontDefinition> font; // none: the window's default font
    Align align = Align::Left;
    bool autoSize = false;
    VbColor foreColor = color::ButtonText;
};

// A label, button, frame or picture box of a window: the properties the handlers read and write.
class Control : public Observable {
public:
    explicit Control(ControlDefinition definition);

    const QString& name() const { return m_definition.name; }
    ControlKind kind() const { return m_definition.kind; }
    const Control* container() const { return m_definition.container; }
    int tabIndex() const { return m_definition.tabIndex; }
    const QString& toolTip() const { return m_definition.toolTip; }
    const std::optional<FontDefinition>& font() const { return m_definition.font; }
    Align align() const { return m_definition.align; }
    bool autoSize() const { return m_definition.autoSize; }
    Twips geometry() const { return m_definition.geometry; }

    const QString& caption() const { return m_definition.caption; }
    void setCaption(const QString& caption);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    int height() const { return m_definition.geometry.height; }
    void setHeight(int twips);
    VbColor foreColor() const { return m_definition.foreColor; }
    void setForeColor(VbColor color);

private:
    ControlDefinition m_definition;
    bool m_visible = true;
};

// A menu item; a top-level menu holds its items in order, a separator has the caption "-".
class MenuItem : public Observable {
public:
    MenuItem(QString name, QString caption, QString shortcut = {},
             std::optional<int> index = std::nullopt);

    const QString& name() const { return m_name; }
    const QString& caption() const { return m_caption; }
    const QString& shortcut() const { return m_shortcut; }
    std::optional<int> index() const { return m_index; }
    bool isSeparator() const { return m_caption == QStringLiteral("-"); }

    bool checked() const { return m_checked; }
    void setChecked(bool checked);
    const QString& toolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip);

    std::vector<MenuItem*>& items() { return m_items; }
    const std::vector<MenuItem*>& items() const { return m_items; }

private:
    QString m_name;
    QString m_caption;
    QString m_shortcut;
    std::optional<int> m_index;
    bool m_checked = false;
    QString m_toolTip;
    std::vector<MenuItem*> m_items;
};

// Menu items that share one name and one click handler, told apart by their index.
class MenuArray {
public:
    explicit MenuArray(QString name)
        : m_name(std::move(name)) {}

    MenuItem& add(const QString& caption, int index);
    // The item with that index; an index that no item has raises 340.
    MenuItem& item(int index);
    const QString& name() const { return m_name; }
    std::vector<MenuItem*> items() const;

private:
    QString m_name;
    std::vector<std::unique_ptr<MenuItem>> m_items;
};

enum class PanelStyle { Text, Date, Time };
enum class PanelSizing { None, Spring, Contents };

struct StatusPanel : public Observable {
    StatusPanel(PanelStyle style, QString text, QString toolTip, int widthTwips,
                PanelSizing sizing);

    const QString& text() const { return m_text; }
    void setText(const QString& text);

    PanelStyle style;
    QString toolTip;
    int widthTwips; // the fixed width, or the least width of a sizing panel
    PanelSizing sizing;

private:
    QString m_text;
};

// The status bar's panels, numbered from 1.
class StatusBar {
public:
    StatusPanel& add(PanelStyle style, const QString& text, const QString& toolTip, int widthTwips,
                     PanelSizing sizing);
    // Raises 35600 for a number that no panel has.
    StatusPanel& panel(int number);
    int count() const { return static_cast<int>(m_panels.size()); }

private:
    std::vector<std::unique_ptr<StatusPanel>> m_panels;
};

// A window's timer. fire() delivers one tick the way the window system does: only while enabled,
// never inside a tick of the same timer (a handler that lets events run cannot be re-entered),
// and never while something holds the ticks back.
class FormTimer : public Observable {
public:
    FormTimer(int intervalMs, bool enabled)
        : m_interval(intervalMs)
        , m_enabled(enabled) {}

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int interval() const { return m_interval; }

    void setHandler(std::function<void()> handler) { m_handler = std::move(handler); }
    // Returns whether the tick ran.
    bool fire();

    // While a Hold lives, no tick runs.
    class Hold {
    public:
        explicit Hold(FormTimer& timer)
            : m_timer(&timer) {
            ++m_timer->m_holds;
        }
        ~Hold() { --m_timer->m_holds; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        FormTimer* m_timer;
    };

private:
    int m_interval;
    bool m_enabled;
    bool m_ticking = false;
    int m_holds = 0;
    std::function<void()> m_handler;
};

inline constexpr int WindowNormal = 0;
inline constexpr int WindowMinimized = 1;
inline constexpr int WindowMaximized = 2;

// What only the window on the screen knows: its state, its outer geometry and how to unload it.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual int windowState() const = 0;
    // Outer geometry, frame included, in screen twips.
    virtual Twips outerGeometry() const = 0;
    virtual void unload() = 0;
};

// A window as its handlers see it.
class FormWindow : public Observable {
public:
    explicit FormWindow(QString name, QString caption)
        : m_name(std::move(name))
        , m_caption(std::move(caption)) {}

    const QString& name() const { return m_name; }
    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption);

    void setHost(WindowHost* host) { m_host = host; }
    int windowState() const { return m_host ? m_host->windowState() : WindowNormal; }
    Twips outerGeometry() const { return m_host ? m_host->outerGeometry() : Twips{}; }

    // Loaded from creation until unload; handlers that let events run check it afterwards.
    bool loaded() const { return m_loaded; }
    void markUnloaded() { m_loaded = false; }
    // Asks the window system to unload the window, which runs its unload handler.
    void unload();

private:
    QString m_name;
    QString m_caption;
    WindowHost* m_host = nullptr;
    bool m_loaded = true;
};

} // namespace vx
