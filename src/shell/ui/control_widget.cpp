#include "control_widget.h"

#include "widget_style.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace vx::ui {

namespace {

Qt::Alignment alignmentOf(Align align) {
    switch (align) {
    case Align::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Align::Center:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

void applyForeColor(QWidget* widget, VbColor color) {
    QPalette palette = widget->palette();
    // System colours are the application's, not what a frame around the widget has set.
    const QColor qt = qtColor(color, QGuiApplication::palette());
    palette.setColor(QPalette::WindowText, qt);
    palette.setColor(QPalette::ButtonText, qt);
    widget->setPalette(palette);
}

void apply(const Control& control, QWidget* widget) {
    switch (control.kind()) {
    case ControlKind::Label: {
        auto* label = static_cast<QLabel*>(widget);
        label->setText(control.caption());
        if (control.autoSize())
            label->adjustSize();
        break;
    }
    case ControlKind::Button:
        static_cast<QPushButton*>(widget)->setText(control.caption());
        break;
    case ControlKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(control.caption());
        break;
    case ControlKind::PictureBox:
        break;
    }
    if (!control.autoSize()) {
        QRect place = pixelRect(control.geometry());
        widget->setGeometry(place);
    }
    applyForeColor(widget, control.foreColor());
    widget->setVisible(control.visible());
}

} // namespace

QWidget* createControlWidget(Control& control, QWidget* parent, const QPixmap& picture) {
    QWidget* widget = nullptr;
    switch (control.kind()) {
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setAlignment(alignmentOf(control.align()));
        label->setWordWrap(!control.autoSize());
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
    }
    case ControlKind::Button:
        widget = new QPushButton(parent);
        break;
    case ControlKind::Frame:
        widget = new QGroupBox(parent);
        break;
    case ControlKind::PictureBox: {
        auto* box = new QLabel(parent);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QSize size = pixelRect(control.geometry()).size();
        box->setPixmap(picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        widget = box;
        break;
    }
    }
    widget->setObjectName(control.name());
    widget->setProperty("TabIndex", control.tabIndex());
    if (control.kind() != ControlKind::Button)
        widget->setFocusPolicy(Qt::NoFocus);
    if (!control.toolTip().isEmpty())
        widget->setToolTip(control.toolTip());
    if (control.font())
        widget->setFont(qtFont(*control.font()));
    widget->move(pixelRect(control.geometry()).topLeft());
    apply(control, widget);
    const QPointer<QWidget> guard(widget);
    control.addObserver([&control, guard] {
        if (guard)
            apply(control, guard);
    });
    return widget;
}

} // namespace vx::ui
