// Any bytes as a history file, and any list of texts written as one. A file
// either reads as a list that writes back and reads again unchanged, or is
// refused; a written list always reads back as what the file can hold.
#include "system/qt/PropertyList.h"
#include "engine/Utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace terrabo;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (auto items = plist::readStringArray(bytes)) {
        for (const std::string& item : *items)
            check(utf8::storable(item) == item, "a read text the file could not hold");
        const auto again = plist::readStringArray(plist::writeStringArray(*items));
        check(again && *again == *items, "a read list changed when written back");
    }

    // The same bytes as a list of texts, split at NUL.
    std::vector<std::string> list;
    std::vector<std::string> stored;
    for (std::size_t from = 0; from <= size;) {
        std::size_t to = bytes.find('\0', from);
        if (to == std::string_view::npos)
            to = size;
        list.emplace_back(bytes.substr(from, to - from));
        stored.push_back(utf8::storable(list.back()));
        from = to + 1;
    }
    const auto read = plist::readStringArray(plist::writeStringArray(list));
    check(read && *read == stored, "a written list did not read back");
    return 0;
}
