#pragma once

#include "platform/HistoryStore.h"
#include "system/qt/PropertyList.h"

#include <cstdint>
#include <optional>

struct stat;

namespace terrabo {

// XML property lists whose root is an array of strings.
class PlistFile final : public HistoryStore {
  public:
    // A larger file reads as not an array: it is left alone rather than
    // pulled into memory whole.
    explicit PlistFile(std::int64_t maxFileBytes = plist::kMaxDocumentBytes)
        : maxFileBytes_(maxFileBytes) {}

    // Reads the file again only when it changed on disk since it was last read
    // or written here (another inode, size, modification or change time).
    StringArrayFile readStringArray(const std::string& path) override;
    // Creates the folder if needed. Characters XML cannot carry become U+FFFD.
    bool writeStringArrayAtomically(const std::string& path,
                                    const std::vector<std::string>& items) override;

  private:
    struct Signature {
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, modified = 0, changed = 0; // times in nanoseconds
        bool operator==(const Signature&) const = default;
    };
    static Signature signatureOf(const struct stat& st);
    struct Known {
        std::string path;
        Signature signature;
        StringArrayFile file;
    };

    std::int64_t maxFileBytes_;
    std::optional<Known> known_;
};

} // namespace terrabo
