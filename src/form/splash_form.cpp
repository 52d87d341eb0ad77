#include "splash_form.h"

namespace vx {

namespace {

ControlDefinition splashControl(const char* name, ControlKind kind, const Control* frame, Twips at,
                                const QString& caption) {
    ControlDefinition s;
    s.name = QString::fromUtf8(name);
    s.kind = kind;
    s.geometry = at;
    s.caption = caption;
    s.container = frame;
    return s;
}

ControlDefinition splashLabel(const char* name, const Control& frame, Twips at,
                              const QString& caption, double points, bool bold, Align align,
                              bool autoSize) {
    ControlDefinition s = splashControl(name, ControlKind::Label, &frame, at, caption);
    s.font = ming(points, bold ? 700 : 400);
    s.align = align;
    s.autoSize = autoSize;
    return s;
}

} // namespace

SplashForm::SplashForm()
    : frmVx515Splash(splashControl("frmVx515Splash", ControlKind::Frame, nullptr,
                                   {45, -15, 7380, 4590}, tr("Orvane")))
    , picLogo(splashControl("picLogo", ControlKind::PictureBox, &frmVx515Splash,
                            {480, 1440, 2175, 2625}, QString()))
    , lblLicenseTo(splashLabel("lblLicenseTo", frmVx515Splash, {2280, 480, 735, 255},
                               tr("授權使用"), 8.25, false, Align::Right, false))
    , lblCompanyProduct(splashLabel("lblCompanyProduct", frmVx515Splash, {2505, 765, 3000, 360},
                                    tr("青松量測工坊"), 18, true, Align::Left, true))
    , lblProductName(splashLabel("lblProductName", frmVx515Splash, {2880, 1920, 3435, 645},
                                 tr("Vx電腦顯示"), 32.25, true, Align::Left, true))
    , lblPlatform(splashLabel("lblPlatform", frmVx515Splash, {3555, 3360, 2865, 315},
                              tr("W2000/XP 操作平台"), 15.75, true, Align::Right, true))
    , lblVersion(splashLabel("lblVersion", frmVx515Splash, {5520, 4080, 1650, 240}, tr("版本 1.0"),
                             12, true, Align::Right, true))
    , lblCopyright(splashLabel("lblCopyright", frmVx515Splash, {4440, 4080, 735, 255},
                               tr("版權所有"), 8.25, false, Align::Left, false)) {}

std::vector<Control*> SplashForm::controls() {
    return {&frmVx515Splash, &picLogo,     &lblLicenseTo, &lblCompanyProduct,
            &lblProductName, &lblPlatform, &lblVersion,   &lblCopyright};
}

} // namespace vx
