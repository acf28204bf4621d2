#pragma once

#include "platform/View.h"

#include <string>

namespace terrabo {

class WebView {
public:
    virtual ~WebView() = default;
    // A plain request with the platform's default cache policy and time-out.
    virtual void loadRequest(const std::string& url) = 0;
    virtual std::string url() const = 0;
    virtual bool loaded() const = 0;
};

class ActivityIndicator {
public:
    virtual ~ActivityIndicator() = default;
    virtual void stopAnimating() = 0;
    virtual bool isAnimating() const = 0;
};

// Who an interface file's done button and web view report to.
class WebPanelOwner {
public:
    virtual ~WebPanelOwner() = default;
    virtual void doneAction() = 0;
    virtual void webViewDidFinishLoad() = 0;
};

// The panel loaded from an interface file: a web view, a busy indicator that
// turns from the start, and a done button.
class WebPanel : public View {
public:
    virtual WebView* webView() = 0;
    virtual ActivityIndicator* activityIndicator() = 0;
};

} // namespace terrabo
