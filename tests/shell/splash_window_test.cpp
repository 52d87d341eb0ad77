#include "form/splash_form.h"
#include "shell/ui/splash_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;

TEST(SplashWindow, LabelsFramesAndLogoWhereTheyBelong) {
    SplashForm form;
    ui::SplashWindow window(form);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.contentsRect().size(), QSize(7455 / 15, 4710 / 15));
    auto* frame = window.findChild<QGroupBox*>(QStringLiteral("frmVx515Splash"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), "Orvane");
    EXPECT_EQ(frame->geometry(), QRect(3, -1, 492, 306));
    auto* logo = window.findChild<QLabel*>(QStringLiteral("picLogo"));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->geometry(), QRect(32, 96, 145, 175));
    ASSERT_FALSE(logo->pixmap().isNull());
    EXPECT_LE(logo->pixmap().width(), 145);

    const struct {
        const char* name;
        double points;
        bool bold;
        Qt::Alignment align;
    } labels[] = {
        {"lblLicenseTo", 8.25, false, Qt::AlignRight},
        {"lblCompanyProduct", 18, true, Qt::AlignLeft},
        {"lblProductName", 32.25, true, Qt::AlignLeft},
        {"lblPlatform", 15.75, true, Qt::AlignRight},
        {"lblVersion", 12, true, Qt::AlignRight},
        {"lblCopyright", 8.25, false, Qt::AlignLeft},
    };
    for (const auto& l : labels) {
        auto* label = window.findChild<QLabel*>(QString::fromUtf8(l.name));
        ASSERT_NE(label, nullptr) << l.name;
        EXPECT_EQ(label->parentWidget(), frame);
        EXPECT_EQ(label->font().family(), "新細明體");
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), l.points);
        EXPECT_EQ(label->font().bold(), l.bold);
        EXPECT_TRUE(label->alignment() & l.align) << l.name;
    }
    auto* product = window.findChild<QLabel*>(QStringLiteral("lblProductName"));
    EXPECT_EQ(product->text(), "Vx電腦顯示");
    EXPECT_EQ(product->pos(), QPoint(192, 128));
    const int wide = product->width();
    form.lblProductName.setCaption(QStringLiteral("無信號")); // auto-size: shrinks to the text
    EXPECT_LT(product->width(), wide);
    EXPECT_EQ(product->pos(), QPoint(192, 128));
}

TEST(SplashWindow, TimerTicksAfterHalfASecond) {
    SplashForm form;
    int ticks = 0;
    form.Timer1.setHandler([&] {
        ++ticks;
        form.Timer1.setEnabled(false);
    });
    ui::SplashWindow window(form);
    QElapsedTimer clock;
    clock.start();
    window.show();
    window.repaint(); // the half second counts from the first paint
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 5000));
    EXPECT_GE(clock.elapsed(), 499);
}
