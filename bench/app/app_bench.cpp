// Frame costs of the real app at 320 x 480 while the globe spins: the logic
// tick alone, and tick + draw on the GL view, as thread CPU time per frame;
// resident memory after 600 frames (10 s at 60 frames a second).
#include "automation/ScriptedRun.h"
#include "engine/Director.h"
#include "system/qt/DirectorBinding.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

double threadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    const double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    std::printf("%-22s median %8.1f us   p99 %8.1f us   (%zu frames)\n", what, median * 1e6, p99 * 1e6,
                samples.size());
}

} // namespace

int main(int argc, char** argv) {
    using namespace terrabo;
    QtRuntime runtime(argc, argv);
    LaunchOptions options;
    options.script = "-";
    ScriptedRun run(runtime, options);
    RunningApp& app = run.app();
    app.launch();
    DirectorBinding* binding = app.platform().binding();
    if (!binding) {
        std::fprintf(stderr, "no GL view\n");
        return 1;
    }
    constexpr double dt = 1.0 / 60.0;
    // Warm up: textures and buffers go to the GPU in the first frames.
    for (int i = 0; i < 30; ++i) {
        run.clock().advance(dt);
        binding->renderFrame();
    }
    std::vector<double> frames;
    for (int i = 0; i < 600; ++i) {
        run.clock().advance(dt);
        const double start = threadSeconds();
        binding->renderFrame();
        frames.push_back(threadSeconds() - start);
    }
    std::vector<double> ticks;
    Director& director = Director::shared();
    for (int i = 0; i < 600; ++i) {
        run.clock().advance(dt);
        const double start = threadSeconds();
        director.scheduler().tick(static_cast<float>(dt));
        ticks.push_back(threadSeconds() - start);
    }
    report("frame (tick + draw)", frames);
    report("logic tick", ticks);
    std::printf("resident memory        %ld MiB after %d frames\n", residentKiB() / 1024, 630);
    return 0;
}
