#pragma once

#include <optional>
#include <string>
#include <vector>

namespace terrabo {

// The history is a flat list of pairs: a query as typed, then the lookup
// service's answer to it. The oldest pair comes first.
//
// Returns the answer of the oldest query that contains typed (case-sensitive,
// byte for byte); answers are never searched. A query at the end of a list of
// odd length has no answer, so it is no hit. An empty typed text is in every
// query, so callers deal with it before searching.
std::optional<std::string> findInHistory(const std::vector<std::string>& history,
                                         const std::string& typed);

} // namespace terrabo
