// terrabo-server: the offline lookup service, web map, apps page and house
// ads behind Terrabo's network features.
#include "server/Gazetteer.h"
#include "server/HttpServer.h"
#include "server/ServerOptions.h"
#include "server/Service.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/socket.h>
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

// The listening socket when the service manager opened it for us
// (socket activation: LISTEN_PID and LISTEN_FDS, the first one at 3).
int inheritedSocket() {
    const char* pid = std::getenv("LISTEN_PID");
    const char* fds = std::getenv("LISTEN_FDS");
    if (!pid || !fds || std::atol(pid) != static_cast<long>(getpid()) || std::atoi(fds) < 1)
        return -1;
    unsetenv("LISTEN_PID");
    unsetenv("LISTEN_FDS");
    unsetenv("LISTEN_FDNAMES");
    fcntl(3, F_SETFD, FD_CLOEXEC);
    return 3;
}

std::string socketAddress(int fd) {
    sockaddr_storage addr{};
    socklen_t length = sizeof addr;
    char text[INET6_ADDRSTRLEN] = "?";
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
        if (addr.ss_family == AF_INET)
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&addr)->sin_addr, text, sizeof text);
        else if (addr.ss_family == AF_INET6)
            inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&addr)->sin6_addr, text,
                      sizeof text);
    }
    return text;
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
    settings.initialThreads = options->threads > 0
                                  ? static_cast<size_t>(options->threads)
                                  : std::max<size_t>(std::thread::hardware_concurrency(), 1);
    settings.maxThreads = std::max<size_t>(settings.maxThreads, settings.initialThreads);
    settings.logRequests = !options->quiet;
    bool ok = false;
    {
        HttpServer server(service, settings);
        std::error_code sizeError;
        const auto indexBytes = std::filesystem::file_size(options->indexPath, sizeError);
        server.metrics().setIndex(gazetteer->places().size(), sizeError ? 0 : indexBytes,
                                  loadMs / 1000);
        const int inherited = inheritedSocket();
        const int port =
            inherited >= 0 ? server.adopt(inherited) : server.bind(options->host, options->port);
        if (port < 0 && inherited >= 0) {
            std::fprintf(stderr,
                         "terrabo-server: the socket handed over does not listen for TCP\n");
            return 1;
        }
        if (port < 0) {
            std::fprintf(stderr, "terrabo-server: cannot listen on %s port %d\n",
                         options->host.c_str(), options->port);
            return 1;
        }
        const std::string host = inherited >= 0 ? socketAddress(inherited) : options->host;
        std::fprintf(stderr, "terrabo-server: listening on http://%s:%d\n", host.c_str(), port);

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
