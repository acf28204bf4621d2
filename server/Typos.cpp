#include "server/Typos.h"

#include <algorithm>
#include <array>

namespace terrabo::server {

int typoBudget(size_t length) {
    return length >= 9 ? 2 : length >= 5 ? 1 : 0;
}

int indexedDeletions(size_t length) {
    return length > 16 ? 1 : typoBudget(length);
}

std::vector<std::string> deletionVariants(std::string_view key, int deletions) {
    std::vector<std::string> out{std::string(key)};
    size_t from = 0;
    for (int round = 0; round < deletions; ++round) {
        const size_t to = out.size();
        for (size_t i = from; i < to; ++i) {
            const std::string base = out[i];
            for (size_t at = 0; at < base.size(); ++at) {
                // Deleting either of two equal neighbours gives the same text.
                if (at > 0 && base[at] == base[at - 1])
                    continue;
                std::string v = base;
                v.erase(at, 1);
                out.push_back(std::move(v));
            }
        }
        from = to;
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

int editDistance(std::string_view a, std::string_view b, int limit) {
    const size_t n = a.size(), m = b.size();
    if ((n > m ? n - m : m - n) > static_cast<size_t>(limit))
        return limit + 1;
    // Names are short: three rows of the table on the stack would do, but a
    // query may be long, so rows grow as needed.
    std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
    for (size_t j = 0; j <= m; ++j)
        previous[j] = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i) {
        current[0] = static_cast<int>(i);
        int rowBest = current[0];
        for (size_t j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[j - 2] + 1);
            current[j] = d;
            rowBest = std::min(rowBest, d);
        }
        if (rowBest > limit)
            return limit + 1;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[m], limit + 1);
}

} // namespace terrabo::server
