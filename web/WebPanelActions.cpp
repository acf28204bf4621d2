// The flag and more buttons open a page in the in-app panel; done closes it.
#include "app/AppContext.h"
#include "engine/Director.h"
#include "overlay/TerraboLayer.h"
#include "places/LookupRequest.h"
#include "platform/Log.h"
#include "platform/Platform.h"

namespace terrabo {
namespace {

std::string describe(const std::vector<std::string>& list) {
    std::string text = "(";
    for (std::size_t i = 0; i < list.size(); ++i)
        text += (i ? ", " : "") + list[i];
    return text + ")";
}

} // namespace

void TerraboLayer::moreAxn() {
    if (connected(appContext().appsUrl)) {
        more = true;
        webAxn();
        return;
    }
    if (appContext().platform)
        appContext().platform->showAlert("Sorry", "We are unable to connect. Please check your internet connection", "OK");
}

void TerraboLayer::mapAxn() {
    logLine("entered:::::::: %s", describe(arr ? *arr : std::vector<std::string>{}).c_str());
    webAxn();
}

void TerraboLayer::webAxn() {
    logLine("&&&&&&  ");
    AppContext& app = appContext();
    std::string address;
    if (more) {
        address = app.appsUrl;
        more = false;
    } else {
        const std::string place = result1.value_or("");
        logLine("before.....result11111");
        logLine("&&&&&&  in:%s", place.c_str());
        address = makeMapAddress(app.mapBase, place);
        logLine("&&&&&&  %s", address.c_str());
    }
    if (!app.platform || !app.renderView)
        return;
    // One panel at a time: a new opening replaces the one on screen.
    if (webDisplayView)
        doneAction();
    webDisplayView = app.platform->loadWebPanel("moreAppInterface", *this, myWebView, activityIndicator);
    if (!webDisplayView)
        return;
    if (app.platform->mainScreen().bounds.height < 568.0f)
        webDisplayView->setFrame({0.0f, 0.0f, 320.0f, 480.0f});
    app.renderView->addSubview(*webDisplayView);
    if (myWebView)
        myWebView->loadRequest(address);
}

void TerraboLayer::doneAction() {
    if (webDisplayView)
        webDisplayView->removeFromSuperview();
    webDisplayView.reset();
    myWebView = nullptr;
    activityIndicator = nullptr;
}

void TerraboLayer::webViewDidFinishLoad() {
    if (activityIndicator)
        activityIndicator->stopAnimating();
}

} // namespace terrabo
