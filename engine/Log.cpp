#include "platform/Log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace terrabo {
namespace {
LogSink& sink() {
    static LogSink s;
    return s;
}
bool& toStderr() {
    static bool enabled = true;
    return enabled;
}
} // namespace

void setLogSink(LogSink s) { sink() = std::move(s); }
void setLogToStderr(bool enabled) { toStderr() = enabled; }

void logText(const std::string& line) {
    if (toStderr()) {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fputc('\n', stderr);
    }
    if (sink())
        sink()(line);
}

void logLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (n > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        line.assign(buffer.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    logText(line);
}

} // namespace terrabo
