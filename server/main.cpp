// terrabo-server: the offline lookup service, web map, apps page and house
// ads behind Terrabo's network features.
#include "server/Gazetteer.h"
#include "server/HttpServer.h"
#include "server/ServerOptions.h"
#include "server/Service.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace terrabo::server;

namespace {

// Every connection is a descriptor; the usual soft limit of 1024 is low for
// a burst of clients.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 65536);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char** argv) {
    ServerOptions defaults;
    defaults.port = TERRABO_SERVER_DEFAULT_PORT;
    defaults.indexPath = TERRABO_SERVER_DEFAULT_INDEX;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        std::fputs(kServerUsage, stdout);
        return 0;
    }
    std::string error;
    const auto options = parseServerOptions(args, defaults, &error);
    if (!options) {
        std::fprintf(stderr, "terrabo-server: %s\n%s", error.c_str(), kServerUsage);
        return 2;
    }

    // Signals are taken by one thread with sigwait; every other thread,
    // the pool's included, inherits this mask. A client that hangs up while
    // it is answered must not end the process.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    raiseDescriptorLimit();

    const auto started = std::chrono::steady_clock::now();
    const auto gazetteer = Gazetteer::load(options->indexPath, &error);
    if (!gazetteer) {
        std::fprintf(stderr, "terrabo-server: %s\n", error.c_str());
        return 1;
    }
    const double loadMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    std::fprintf(stderr, "terrabo-server: %zu places from %s in %.0f ms\n",
                 gazetteer->places().size(), options->indexPath.c_str(), loadMs);

    const Service service(*gazetteer);
    ServerSettings settings;
    settings.initialThreads = static_cast<size_t>(options->threads);
    settings.maxThreads = std::max<size_t>(settings.maxThreads, settings.initialThreads);
    settings.logRequests = !options->quiet;
    bool ok = false;
    {
        HttpServer server(service, settings);
        const int port = server.bind(options->host, options->port);
        if (port < 0) {
            std::fprintf(stderr, "terrabo-server: cannot listen on %s port %d\n",
                         options->host.c_str(), options->port);
            return 1;
        }
        std::fprintf(stderr, "terrabo-server: listening on http://%s:%d\n", options->host.c_str(),
                     port);

        std::atomic<bool> serving{true};
        std::thread signalWaiter([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            if (serving)
                std::fprintf(stderr, "terrabo-server: stopping on signal %d\n", signal);
            server.stop();
        });
        ok = server.run();
        serving = false;
        kill(getpid(), SIGTERM); // lets the waiter go if serving ended on its own
        signalWaiter.join();
    } // the last request lines are written here
    std::fprintf(stderr, "terrabo-server: stopped\n");
    return ok ? 0 : 1;
}
