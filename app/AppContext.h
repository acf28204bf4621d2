#pragma once

#include <string>

namespace terrabo {

class ConnectivityProbe;
class HistoryStore;
class HttpClient;
class LocationService;
class Platform;
class RenderView;
class Window;

// The application's window, rendering view and platform services, for the
// overlay's operations that reach outside the scene.
struct AppContext {
    Platform* platform = nullptr;
    Window* window = nullptr;
    RenderView* renderView = nullptr;
    HttpClient* http = nullptr;
    ConnectivityProbe* connectivity = nullptr;
    HistoryStore* historyStore = nullptr;
    LocationService* location = nullptr;
    std::string documentsDir;
    std::string lookupBase;
    std::string mapBase;
    std::string appsUrl;
    std::string adsBase;
};

AppContext& appContext();

} // namespace terrabo
