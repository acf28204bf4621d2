#pragma once

#include <memory>
#include <string>
#include <vector>

namespace terrabo {

class QtPlatform;
struct LifecycleHandlers;

// The Qt application object and the event loop, behind a Qt-free face.
class QtRuntime {
public:
    QtRuntime(int& argc, char** argv);
    ~QtRuntime();

    // The arguments Qt left after taking its own.
    std::vector<std::string> arguments() const;
    int exec();
    void processEvents();
    // Real time passes while the event loop keeps running.
    void waitFor(double seconds);

    void watchLifecycle(QtPlatform& platform, const LifecycleHandlers& handlers);
    // Before the handlers' targets go: closing the window still sends events.
    void stopWatchingLifecycle();
    // The window with its GL content and widgets, as a PNG.
    static bool screenshot(QtPlatform& platform, const std::string& file, std::string& error);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace terrabo
