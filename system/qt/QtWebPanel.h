#pragma once

#include "platform/WebPanel.h"
#include "system/qt/QtViews.h"

#include <QPointer>

#include <memory>

class QProgressBar;

namespace terrabo {

class WebEngineView;

// A panel made from a Designer file; the web engine view replaces the file's placeholder.
class QtWebPanel final : public WidgetView<WebPanel>, public WebView, public ActivityIndicator {
public:
    QtWebPanel(QWidget* root, WebPanelOwner& owner);
    ~QtWebPanel() override;

    WebView* webView() override { return this; }
    ActivityIndicator* activityIndicator() override { return this; }

    void loadRequest(const std::string& url) override;
    std::string url() const override { return url_; }
    bool loaded() const override { return loaded_; }
    void stopAnimating() override;
    bool isAnimating() const override { return animating_; }

private:
    std::unique_ptr<WebEngineView> engine_;
    QPointer<QProgressBar> indicator_;
    std::string url_;
    bool loaded_ = false;
    bool animating_ = true;
};

std::unique_ptr<WebPanel> loadQtWebPanel(const std::string& path, WebPanelOwner& owner);

} // namespace terrabo
