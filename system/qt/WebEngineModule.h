#pragma once

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace terrabo {

// A web engine view living in a module of its own, loaded when the first web
// panel opens: until then nothing of the web engine is loaded, mapped or
// started, which keeps it out of start-up time and memory.
class WebEngineView {
public:
    virtual ~WebEngineView() = default;
    // Owned by its Qt parent.
    virtual QWidget* widget() = 0;
    virtual void load(const std::string& url) = 0;
};

// Made with a parent and called back once per finished load. Null, after one
// log line, when the module cannot be loaded.
std::unique_ptr<WebEngineView> createWebEngineView(QWidget* parent, std::function<void()> finished);

// The module's entry point.
using CreateWebEngineViewFunction = WebEngineView* (*)(QWidget* parent, std::function<void()> finished);
inline constexpr const char* kWebEngineModuleEntry = "terrabo_create_web_engine_view";

} // namespace terrabo
