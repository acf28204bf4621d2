#pragma once

#include "platform/HistoryStore.h"

#include <cstdint>

namespace terrabo {

// XML property lists whose root is an array of strings.
class PlistFile final : public HistoryStore {
  public:
    // A larger file reads as not an array: it is left alone rather than
    // pulled into memory whole.
    explicit PlistFile(std::int64_t maxFileBytes = std::int64_t{64} << 20)
        : maxFileBytes_(maxFileBytes) {}

    StringArrayFile readStringArray(const std::string& path) override;
    // Creates the folder if needed. Characters XML cannot carry become U+FFFD.
    bool writeStringArrayAtomically(const std::string& path,
                                    const std::vector<std::string>& items) override;

  private:
    std::int64_t maxFileBytes_;
};

} // namespace terrabo
