#pragma once

#include "platform/Banner.h"
#include "system/qt/QtViews.h"

#include <QLabel>
#include <QNetworkAccessManager>

namespace terrabo {

// A banner that fetches one house ad image from the ad server without blocking.
class QtBannerView final : public WidgetView<BannerView> {
public:
    QtBannerView(Rect frame, std::string adsBase);
    void setAdUnitID(const std::string& id) override { unit_ = id; }
    std::string adUnitID() const override { return unit_; }
    void setRootViewController(void* controller) override { root_ = controller; }
    void loadRequest() override;
    bool requested() const override { return requested_; }
    void* rootViewController() const { return root_; }

private:
    std::string adsBase_;
    std::string unit_;
    void* root_ = nullptr;
    bool requested_ = false;
    QNetworkAccessManager network_;
};

} // namespace terrabo
