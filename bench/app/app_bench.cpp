// Frame costs of the real app at 320 x 480 while the globe spins: the logic
// tick alone, and tick + draw on the GL view waited for to the end, as CPU
// time of every thread per frame (the rasteriser draws on threads of its
// own); resident memory after 600 frames (10 s at 60 frames a second), whole
// and without the GL driver's own mappings.
#include "automation/ScriptedRun.h"
#include "engine/Director.h"
#include "system/qt/DirectorBinding.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

double processSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

double wallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

struct Resident {
    long wholeKiB = 0;
    long driverKiB = 0; // libLLVM and the *_dri.so driver
};

Resident resident() {
    std::ifstream smaps("/proc/self/smaps");
    Resident r;
    std::string line;
    bool driver = false;
    while (std::getline(smaps, line)) {
        if (line.rfind("Rss:", 0) == 0) {
            const long kib = std::stol(line.substr(4));
            r.wholeKiB += kib;
            if (driver)
                r.driverKiB += kib;
        } else if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) &&
                   line.find('-') != std::string::npos && line.find(':') > line.find(' ')) {
            driver = line.find("libLLVM") != std::string::npos ||
                     line.find("_dri.so") != std::string::npos;
        }
    }
    return r;
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
    std::vector<double> frames, frameWalls;
    for (int i = 0; i < 600; ++i) {
        run.clock().advance(dt);
        const double start = processSeconds(), wallStart = wallSeconds();
        binding->renderFrame();
        frames.push_back(processSeconds() - start);
        frameWalls.push_back(wallSeconds() - wallStart);
    }
    std::vector<double> ticks;
    Director& director = Director::shared();
    for (int i = 0; i < 600; ++i) {
        run.clock().advance(dt);
        const double start = processSeconds();
        director.scheduler().tick(static_cast<float>(dt));
        ticks.push_back(processSeconds() - start);
    }
    report("frame CPU, all threads", frames);
    report("frame wall time", frameWalls);
    report("logic tick CPU", ticks);
    const Resident r = resident();
    std::printf("resident memory        %ld MiB after %d frames, %ld MiB without the GL driver\n",
                r.wholeKiB / 1024, 630, (r.wholeKiB - r.driverKiB) / 1024);
    return 0;
}
