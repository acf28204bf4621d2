#include "server/ServerOptions.h"

#include <charconv>

namespace terrabo::server {
namespace {

bool readInt(const std::string& text, int low, int high, int& out) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

} // namespace

std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args,
                                                ServerOptions options, std::string* error) {
    const auto fail = [&](std::string why) -> std::optional<ServerOptions> {
        if (error)
            *error = std::move(why);
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (arg != "--host" && arg != "--port" && arg != "--index" && arg != "--threads")
            return fail("unknown argument " + arg);
        if (i + 1 >= args.size())
            return fail(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--host") {
            if (value.empty())
                return fail("--host needs an address");
            options.host = value;
        } else if (arg == "--port") {
            if (!readInt(value, 0, 65535, options.port))
                return fail("--port takes 0 to 65535, not " + value);
        } else if (arg == "--index") {
            options.indexPath = value;
        } else if (!readInt(value, 2, 4096, options.threads)) {
            return fail("--threads takes 2 to 4096, not " + value);
        }
    }
    return options;
}

} // namespace terrabo::server
