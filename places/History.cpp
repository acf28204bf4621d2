#include "places/History.h"

namespace terrabo {

std::optional<std::string> findInHistory(const std::vector<std::string>& history,
                                         const std::string& typed) {
    for (std::size_t query = 0; query + 1 < history.size(); query += 2)
        if (history[query].find(typed) != std::string::npos)
            return history[query + 1];
    return std::nullopt;
}

} // namespace terrabo
