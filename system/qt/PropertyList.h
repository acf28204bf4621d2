#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace terrabo::plist {

// Larger documents are refused unread: nobody's history gets that big, and a
// file that does is not ours.
constexpr std::size_t kMaxDocumentBytes = std::size_t{16} << 20;

// The array of strings of an XML property list in UTF-8, or nullopt for any
// other document. Refused as well, because they serve only to attack the
// reader: a document type with an internal subset (entity declarations),
// references to entities other than XML's five, attributes on strings or
// arrays, more than a few attributes on the root, invalid UTF-8, and
// documents over kMaxDocumentBytes. One pass, no recursion, no expansion.
std::optional<std::vector<std::string>> readStringArray(std::string_view document);

// The document readStringArray gives items back from, each item as
// utf8::storable leaves it: text XML can hold comes back byte for byte,
// carriage returns and leading or trailing blanks included.
std::string writeStringArray(const std::vector<std::string>& items);

} // namespace terrabo::plist
