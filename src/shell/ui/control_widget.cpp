#include "control_widget.h"

#include "caption_label.h"
#include "follow.h"
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

// Applies what changed, and only that: every property set reaches here, and most set what the
// control already shows.
void apply(const Control& control, QWidget* widget, unsigned changed) {
    if ((changed & change::Caption) != 0) {
        switch (control.kind()) {
        case ControlKind::Label:
            if (control.autoSize()) {
                auto* label = static_cast<QLabel*>(widget);
                label->setText(control.caption());
                label->adjustSize();
            } else {
                static_cast<CaptionLabel*>(widget)->showCaption(control.caption());
            }
            break;
        case ControlKind::Button:
            static_cast<QPushButton*>(widget)->setText(control.caption());
            break;
        case ControlKind::Frame:
            static_cast<QGroupBox*>(widget)->setTitle(control.caption());
            break;
        case ControlKind::PictureBox:
            break;
        }
    }
    if ((changed & change::Geometry) != 0 && !control.autoSize())
        widget->setGeometry(pixelRect(control.geometry()));
    if ((changed & change::ForeColor) != 0)
        applyForeColor(widget, control.foreColor());
    if ((changed & change::Visible) != 0)
        widget->setVisible(control.visible());
}

constexpr unsigned Everything =
    change::Caption | change::Geometry | change::ForeColor | change::Visible;

} // namespace

QWidget* createControlWidget(Control& control, QWidget* parent, const QPixmap& picture) {
    QWidget* widget = nullptr;
    switch (control.kind()) {
    case ControlKind::Label: {
        QLabel* label = nullptr;
        if (control.autoSize()) {
            label = new QLabel(parent);
        } else {
            auto* captionLabel = new CaptionLabel(parent);
            // A reading over a frame repaints from a kept image of the frame, not the frame.
            if (control.container() != nullptr)
                captionLabel->keepBackdrop();
            label = captionLabel;
        }
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
    apply(control, widget, Everything);
    follow(widget, control,
           [&control, widget](unsigned changed) { apply(control, widget, changed); });
    return widget;
}

} // namespace vx::ui
