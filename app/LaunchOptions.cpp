#include "app/LaunchOptions.h"

#include <charconv>
#include <string_view>

namespace terrabo {

namespace {

// Larger than any screen, small enough that a window of it can be made.
constexpr int kMaxScreenSide = 16384;

bool parseSide(std::string_view text, int& side) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), side);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           side > 0 && side <= kMaxScreenSide;
}

bool parseScreen(std::string_view text, LaunchOptions& options) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    int width = 0, height = 0;
    if (!parseSide(text.substr(0, x), width) || !parseSide(text.substr(x + 1), height))
        return false;
    options.screenWidth = width;
    options.screenHeight = height;
    return true;
}

// An absolute address: a scheme, "://" and something after it.
bool isAddress(std::string_view text) {
    const std::size_t colon = text.find("://");
    if (colon == 0 || colon == std::string_view::npos || colon + 3 >= text.size())
        return false;
    for (const char c : text.substr(0, colon)) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!ok)
            return false;
    }
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= ' ')
            return false;
    return true;
}

enum class Kind { Path, Screen, Text, Address };

struct Option {
    std::string_view name;
    Kind kind;
    std::optional<std::string> LaunchOptions::*field; // null for --screen
};

constexpr Option kOptions[] = {
    {"--script", Kind::Path, &LaunchOptions::script},
    {"--screen", Kind::Screen, nullptr},
    {"--model", Kind::Text, &LaunchOptions::model},
    {"--system-version", Kind::Text, &LaunchOptions::systemVersion},
    {"--documents", Kind::Path, &LaunchOptions::documents},
    {"--lookup-base", Kind::Address, &LaunchOptions::lookupBase},
    {"--map-base", Kind::Address, &LaunchOptions::mapBase},
    {"--apps-url", Kind::Address, &LaunchOptions::appsUrl},
    {"--ads-base", Kind::Address, &LaunchOptions::adsBase},
};

const Option* findOption(std::string_view name) {
    for (const Option& option : kOptions)
        if (option.name == name)
            return &option;
    return nullptr;
}

// A value never starts with "--": that is the next option, the value forgotten.
bool isOptionName(std::string_view arg) {
    return arg.starts_with("--");
}

} // namespace

bool parseLaunchOptions(int argc, char** argv, LaunchOptions& options, std::string& error) {
    // First only the script, so that any later error is reported the scripted way.
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string_view(argv[i]) == "--script" && !isOptionName(argv[i + 1]))
            options.script = argv[i + 1];
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]).starts_with("--script="))
            options.script = std::string(std::string_view(argv[i]).substr(9));

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const Option* option = arg.starts_with("--") ? findOption(name) : nullptr;
        if (!option) {
            error = arg.starts_with("-") ? "unknown option '" + std::string(arg) + "'"
                                         : "unexpected argument '" + std::string(arg) + "'";
            return false;
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < argc && !isOptionName(argv[i + 1])) {
            value = argv[++i];
        } else {
            error = std::string(name) + " needs a value";
            return false;
        }
        const std::string shown = std::string(name) + " '" + std::string(value) + "'";
        if (value.empty()) {
            error = std::string(name) + " needs a value";
            return false;
        }
        switch (option->kind) {
        case Kind::Screen:
            if (!parseScreen(value, options)) {
                error = "bad " + shown + ": expected WIDTHxHEIGHT in points, each 1 to " +
                        std::to_string(kMaxScreenSide);
                return false;
            }
            continue;
        case Kind::Address:
            if (!isAddress(value)) {
                error = "bad " + shown + ": expected an address like http://host:port";
                return false;
            }
            break;
        case Kind::Path:
        case Kind::Text:
            break;
        }
        options.*(option->field) = std::string(value);
    }
    return true;
}

} // namespace terrabo
