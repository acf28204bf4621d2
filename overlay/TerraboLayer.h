#pragma once

#include "engine/math/Vec.h"
#include "engine3d/WorldLayer.h"
#include "places/LocationGetter.h"
#include "platform/Banner.h"
#include "platform/TextField.h"
#include "platform/WebPanel.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace terrabo {

class Label;
class MenuItem;
class Sprite;
class View;

// The control overlay: draws the globe world as its content and puts the bars,
// buttons and the place label over it. It never moves the camera or the globe
// itself; it writes requests into the command board.
class TerraboLayer : public WorldLayer,
                     public TextFieldDelegate,
                     public LocationGetterDelegate,
                     public WebPanelOwner {
public:
    ~TerraboLayer() override;

    void initializeContols() override;

    // Touch gestures on the scene.
    void touchesBegan(const TouchSet& touches) override;
    void touchesMoved(const TouchSet& touches) override;
    void touchesEnded(const TouchSet& touches) override;
    void stopAxn();

    // Zoom buttons, flag and place label.
    void zoomInAxn();
    void zoomOutAxn();
    void placeFlag();
    void removePlaceLabel();

    // Place finding.
    void serAxn();
    void specifyStartLevel();
    bool textFieldShouldReturn(TextField& field) override;
    void textFieldDidEndEditing(TextField& field) override;
    void reading();
    std::string saveFilePath() const;
    void callZoom();
    bool connected();
    // Whether the route toward the host of `address` can be used.
    bool connected(const std::string& address);

    // Web panel.
    void mapAxn();
    void moreAxn();
    void webAxn();
    void doneAction() override;
    void webViewDidFinishLoad() override;

    // Current location.
    void homeLocAxn();
    void newPhysicalLocation(const LocationFix& location) override;

    // Banner.
    void callAd();

    std::unique_ptr<BannerView> bannerView;
    std::unique_ptr<TextField> myText;
    Sprite* header = nullptr;
    Sprite* buttbg = nullptr;
    Sprite* buttbg1 = nullptr;
    Vec2 startLoc;
    Vec2 endLoc;
    std::optional<std::string> str;
    std::optional<std::string> result1;
    Label* label = nullptr;
    MenuItem* serButt = nullptr;
    MenuItem* flagButt = nullptr;
    MenuItem* homeLocButt = nullptr;
    MenuItem* zoomInButton = nullptr;
    MenuItem* zoomOutButton = nullptr;
    bool more = false;
    bool typing = false;
    bool history = false;
    std::unique_ptr<std::vector<std::string>> arr;
    std::unique_ptr<std::vector<std::string>> placeArr;
    std::unique_ptr<LocationGetter> locationGetter;
    bool left1 = false;
    bool right1 = false;
    WebView* myWebView = nullptr;
    ActivityIndicator* activityIndicator = nullptr;
    std::unique_ptr<WebPanel> webDisplayView;

    // Where the menu keeps the flag button while no place is marked, and where it shows it.
    static constexpr Vec2 kFlagHidden{190.0f, -275.0f};
    static constexpr Vec2 kFlagShown{190.0f, 275.0f};

private:
    void hideFlag();
    void closeSearchField();
    void evaluateAnswer(const std::string& answer);
    void startAutoZoomTimer();
};

} // namespace terrabo
