#pragma once

#include <string>
#include <vector>

namespace terrabo {

struct StringArrayFile {
    enum class State {
        Missing,    // no file at the path
        NotAnArray, // a file that does not read as an array of strings
        Array,
    };
    State state = State::Missing;
    std::vector<std::string> items; // UTF-8; only for Array
};

// Files holding one array of strings, such as the lookup history.
class HistoryStore {
  public:
    virtual ~HistoryStore() = default;
    virtual StringArrayFile readStringArray(const std::string& path) = 0;
    // Replaces the file in one step: a reader sees the old file or the new one.
    virtual bool writeStringArrayAtomically(const std::string& path,
                                            const std::vector<std::string>& items) = 0;
};

} // namespace terrabo
