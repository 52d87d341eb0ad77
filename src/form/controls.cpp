#include "controls.h"

#include "platform/runtime_error.h"

#include <QCoreApplication>

namespace vx {

struct Observable::Entry {
    Observer observer;
    bool live = true;
};

Observable::Subscription Observable::observe(Observer observer) {
    auto entry = std::make_shared<Entry>(Entry{std::move(observer)});
    m_entries->push_back(entry);
    return Subscription(m_entries, std::move(entry));
}

Observable::Subscription& Observable::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        cancel();
        m_entries = std::move(other.m_entries);
        m_entry = std::move(other.m_entry);
    }
    return *this;
}

void Observable::Subscription::cancel() {
    if (!m_entry)
        return;
    m_entry->live = false; // also for a notification under way that holds it already
    if (const std::shared_ptr<Entries> entries = m_entries.lock())
        std::erase(*entries, m_entry);
    m_entry.reset();
}

// An observer may end its own or another's subscription, or add one, while it is told.
void Observable::notify(unsigned changed) const {
    const Entries told = *m_entries;
    for (const std::shared_ptr<Entry>& entry : told)
        if (entry->live)
            entry->observer(changed);
}

Control::Control(ControlDefinition definition)
    : m_definition(std::move(definition)) {}

void Control::setCaption(const QString& caption) {
    if (caption == m_definition.caption)
        return;
    m_definition.caption = caption;
    notify(change::Caption);
}

void Control::setVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    notify(change::Visible);
}

void Control::setHeight(int twips) {
    if (twips == m_definition.geometry.height)
        return;
    m_definition.geometry.height = twips;
    notify(change::Geometry);
}

void Control::setForeColor(VbColor color) {
    if (color == m_definition.foreColor)
        return;
    m_definition.foreColor = color;
    notify(change::ForeColor);
}

MenuItem::MenuItem(QString name, QString caption, QString shortcut, std::optional<int> index)
    : m_name(std::move(name))
    , m_caption(std::move(caption))
    , m_shortcut(std::move(shortcut))
    , m_index(index) {}

void MenuItem::setChecked(bool checked) {
    if (checked == m_checked)
        return;
    m_checked = checked;
    notify(change::State);
}

void MenuItem::setToolTip(const QString& toolTip) {
    if (toolTip == m_toolTip)
        return;
    m_toolTip = toolTip;
    notify(change::State);
}

MenuItem& MenuArray::add(const QString& caption, int index) {
    m_items.push_back(std::make_unique<MenuItem>(m_name, caption, QString(), index));
    return *m_items.back();
}

MenuItem& MenuArray::item(int index) {
    for (auto& item : m_items)
        if (item->index() == index)
            return *item;
    throw RuntimeError(err::NoSuchArrayElement,
                       QCoreApplication::translate("RuntimeError", "%1：%2(%3)")
                           .arg(standardDescription(err::NoSuchArrayElement), m_name)
                           .arg(index));
}

std::vector<MenuItem*> MenuArray::items() const {
    std::vector<MenuItem*> all;
    all.reserve(m_items.size());
    for (const auto& item : m_items)
        all.push_back(item.get());
    return all;
}

StatusPanel::StatusPanel(PanelStyle panelStyle, QString text, QString tip, int width,
                         PanelSizing panelSizing)
    : style(panelStyle)
    , toolTip(std::move(tip))
    , widthTwips(width)
    , sizing(panelSizing)
    , m_text(std::move(text)) {}

void StatusPanel::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    notify(change::Caption);
}

StatusPanel& StatusBar::add(PanelStyle style, const QString& text, const QString& toolTip,
                            int widthTwips, PanelSizing sizing) {
    m_panels.push_back(std::make_unique<StatusPanel>(style, text, toolTip, widthTwips, sizing));
    return *m_panels.back();
}

StatusPanel& StatusBar::panel(int number) {
    if (number < 1 || number > count())
        throw RuntimeError(err::IndexOutOfBounds);
    return *m_panels[static_cast<size_t>(number - 1)];
}

void FormTimer::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    notify(change::State);
}

bool FormTimer::fire() {
    if (!m_enabled || m_ticking || m_holds > 0 || !m_handler)
        return false;
    m_ticking = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_ticking};
    m_handler();
    return true;
}

void FormWindow::setCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    notify(change::Caption);
}

void FormWindow::unload() {
    if (!m_loaded)
        return;
    if (m_host)
        m_host->unload();
    else
        m_loaded = false;
}

} // namespace vx
