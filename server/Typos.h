#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Typing mistakes found with deletions on both sides: a name and a
// misspelling of it within k edits share a text that each reaches by
// deleting at most k letters, so the index holds the deletions of every name
// and a lookup tries the deletions of the query.
namespace terrabo::server {

// Edits tolerated in a name of `length` letters: none below 5, one from 5,
// two from 9.
int typoBudget(size_t length);

// Deletions the index files for a name of `length` letters: the budget, but
// one only for the longest names, whose pairs of deletions are too many;
// they are still found with one edit.
int indexedDeletions(size_t length);

// `key` itself and every text it gives by deleting up to `deletions` letters,
// each once.
std::vector<std::string> deletionVariants(std::string_view key, int deletions);

// Edits between a and b (insertions, deletions, substitutions, swaps of two
// neighbours), or limit + 1 when there are more than `limit`.
int editDistance(std::string_view a, std::string_view b, int limit);

// The hash under which the index files a deletion variant (FNV-1a).
inline uint32_t typoHash(std::string_view text) {
    uint32_t h = 2166136261u;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

} // namespace terrabo::server
