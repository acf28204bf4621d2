#pragma once

#include <optional>
#include <string>

namespace terrabo {

// The command line of the app, for scripted and interactive runs alike:
//   terrabo [--script FILE] [--screen WxH] [--model NAME] [--system-version V]
//           [--documents DIR] [--lookup-base URL] [--map-base URL]
//           [--apps-url URL] [--ads-base URL]
// Each option also takes the form --name=value. Absent options stay empty and
// the app uses its built-in defaults.
struct LaunchOptions {
    std::optional<std::string> script; // a path, or "-" for standard input
    int screenWidth = 320;             // points
    int screenHeight = 480;
    std::optional<std::string> model;
    std::optional<std::string> systemVersion;
    std::optional<std::string> documents;
    std::optional<std::string> lookupBase;
    std::optional<std::string> mapBase;
    std::optional<std::string> appsUrl;
    std::optional<std::string> adsBase;
};

// False with a message on an unknown option, a missing value or a bad one.
// The toolkit's own arguments must be removed first. `script` is filled even
// when another option is bad, so a scripted run can still answer in JSON.
bool parseLaunchOptions(int argc, char** argv, LaunchOptions& options, std::string& error);

} // namespace terrabo
