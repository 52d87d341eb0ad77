#pragma once

#include <QPaintEvent>
#include <QWidget>

namespace vx::testing {
// What a widget paints while it is watched.
struct PaintLog : QObject {
    explicit PaintLog(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};
} // namespace vx::testing
