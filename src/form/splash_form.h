#pragma once

#include "form/controls.h"

#include <QCoreApplication>
#include <vector>

namespace vx {

// The splash window as it is defined. It has no caption, border only, and hands over to the main
// window on the first tick of its timer.
class SplashForm {
    Q_DECLARE_TR_FUNCTIONS(SplashForm)

public:
    SplashForm();
    SplashForm(const SplashForm&) = delete;
    SplashForm& operator=(const SplashForm&) = delete;

    std::vector<Control*> controls();
    static constexpr int ClientWidth = 7455;
    static constexpr int ClientHeight = 4710;

    FormWindow window{QStringLiteral("frmVxSplash"), QString()};
    Control frmVx515Splash;
    Control picLogo;
    Control lblLicenseTo;
    Control lblCompanyProduct;
    Control lblProductName;
    Control lblPlatform;
    Control lblVersion;
    Control lblCopyright;
    FormTimer Timer1{500, true};
};

} // namespace vx
