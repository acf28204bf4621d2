#pragma once

namespace terrabo {

class Platform;
class RenderView;
class Window;

// The application's window, rendering view and platform, for the overlay's
// operations that place native views (search field, panel, banner).
struct AppContext {
    Platform* platform = nullptr;
    Window* window = nullptr;
    RenderView* renderView = nullptr;
};

AppContext& appContext();

} // namespace terrabo
