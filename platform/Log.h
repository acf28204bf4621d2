#pragma once

#include <functional>
#include <string>

namespace terrabo {

// The diagnostic log: one plain line per call, no level, no time stamp.
// printf-style, like the lines the app writes ("i     %d", "zoom in !!!!!").
void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logText(const std::string& line);

// Where lines go besides standard error; scripted runs collect them.
using LogSink = std::function<void(const std::string&)>;
void setLogSink(LogSink sink);
void setLogToStderr(bool enabled);

} // namespace terrabo
