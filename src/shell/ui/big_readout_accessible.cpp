#include "big_readout_accessible.h"

#include "big_readout_window.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <array>

namespace vx::ui {

namespace {

// One reading: a line of text whose name is what the window shows there.
class ReadingInterface : public QAccessibleInterface {
public:
    ReadingInterface(BigReadoutWindow* window, int reading)
        : m_window(window)
        , m_reading(reading) {}

    bool isValid() const override { return m_window != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_window ? m_window->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_window.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return m_window && (t == QAccessible::Name || t == QAccessible::Value)
                   ? m_window->readingName(m_reading)
                   : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!m_window)
            return {};
        const QRect place = m_window->readingRect(m_reading);
        return QRect(m_window->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !m_window || m_window->readingName(m_reading).isEmpty();
        return state;
    }

private:
    QPointer<BigReadoutWindow> m_window;
    int m_reading;
};

// The window with the readings it shows as its children; a hidden Z row is none of them.
class BigReadoutInterface : public QAccessibleWidget {
public:
    explicit BigReadoutInterface(BigReadoutWindow* window)
        : QAccessibleWidget(window, QAccessible::Window) {
        for (int i = 0; i < BigReadoutWindow::Readings; ++i) {
            m_readings[static_cast<size_t>(i)] = new ReadingInterface(window, i);
            QAccessible::registerAccessibleInterface(m_readings[static_cast<size_t>(i)]);
        }
    }
    ~BigReadoutInterface() override {
        for (QAccessibleInterface* reading : m_readings)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(reading));
    }
    BigReadoutInterface(const BigReadoutInterface&) = delete;
    BigReadoutInterface& operator=(const BigReadoutInterface&) = delete;

    QAccessibleInterface* reading(int index) const {
        return m_readings.at(static_cast<size_t>(index));
    }
    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<int> readings = shown();
        return index >= 0 && index < static_cast<int>(readings.size())
                   ? reading(readings[static_cast<size_t>(index)])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<int> readings = shown();
        for (size_t i = 0; i < readings.size(); ++i)
            if (reading(readings[i]) == child)
                return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int index : shown())
            if (reading(index)->rect().contains(x, y))
                return reading(index);
        return nullptr;
    }

private:
    std::vector<int> shown() const {
        const auto* window = static_cast<const BigReadoutWindow*>(widget());
        std::vector<int> readings;
        for (int i = 0; i < BigReadoutWindow::Readings; ++i)
            if (!window->readingName(i).isEmpty())
                readings.push_back(i);
        return readings;
    }

    std::array<QAccessibleInterface*, BigReadoutWindow::Readings> m_readings{};
};

QAccessibleInterface* bigReadoutInterface(const QString& /*className*/, QObject* object) {
    auto* window = dynamic_cast<BigReadoutWindow*>(object);
    return window ? new BigReadoutInterface(window) : nullptr;
}

} // namespace

void installBigReadoutAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(bigReadoutInterface);
        return true;
    }();
    (void)installed;
}

void tellReadingChanged(QWidget* bigReadout, int reading, bool shownBefore) {
    if (!QAccessible::isActive())
        return;
    auto* window =
        dynamic_cast<BigReadoutInterface*>(QAccessible::queryAccessibleInterface(bigReadout));
    if (window == nullptr)
        return;
    QAccessibleInterface* changed = window->reading(reading);
    const bool shownNow = !changed->text(QAccessible::Name).isEmpty();
    if (shownBefore != shownNow) {
        QAccessibleEvent event(changed,
                               shownNow ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&event);
        QAccessibleEvent reorder(window, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    QAccessibleEvent named(changed, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

} // namespace vx::ui
