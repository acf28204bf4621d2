// The house-ad banner, made once at start-up.
#include "app/AppContext.h"
#include "engine/Director.h"
#include "overlay/TerraboLayer.h"
#include "platform/Platform.h"

namespace terrabo {
namespace {
constexpr float kBannerWidth = 320.0f;
constexpr float kBannerHeight = 50.0f;
constexpr const char* kAdUnitId = "terrabo2026ads1";
} // namespace

void TerraboLayer::callAd() {
    AppContext& app = appContext();
    if (!app.platform)
        return;
    const ScreenInfo screen = app.platform->mainScreen();
    const bool tablet = screen.model == "iPad" || screen.model == "iPad Simulator";
    const float h = kBannerHeight;
    const Rect frame = tablet ? Rect{0.0f, screen.bounds.height - 50.0f, screen.bounds.width, h}
                              : Rect{0.0f, 50.0f, kBannerWidth, h};
    auto banner = app.platform->createBannerView(frame, app.adsBase);
    banner->setAdUnitID(kAdUnitId);
    // The engine's view controller, made later in the launch, is handed over then.
    banner->setRootViewController(nullptr);
    if (app.renderView)
        app.renderView->addSubview(*banner);
    banner->loadRequest();
    bannerView = std::move(banner);
}

} // namespace terrabo
