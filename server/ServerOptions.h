#pragma once

#include <optional>
#include <string>
#include <vector>

namespace terrabo::server {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 0;
    std::string indexPath;
    int threads = 0; // event loops answering requests; 0: one per core
    bool quiet = false;
};

// terrabo-server [--host H] [--port N] [--index FILE] [--threads N] [--quiet]
// Nothing, and the reason in `error`, for anything else.
std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args,
                                                ServerOptions defaults, std::string* error);

inline constexpr const char* kServerUsage =
    "usage: terrabo-server [--host 127.0.0.1] [--port N] [--index FILE] [--threads N] [--quiet]\n";

} // namespace terrabo::server
