#pragma once

#include "server/IndexFormat.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace terrabo::server {

// The loaded index: read-only after loading, so any number of threads may
// look things up at once.
class Gazetteer {
  public:
    // Checks every offset and reference before it is trusted; a damaged or
    // foreign file gives nothing and a reason in `error`.
    static std::optional<Gazetteer> load(const std::string& path, std::string* error = nullptr);
    static std::optional<Gazetteer> fromBytes(std::vector<char> bytes,
                                              std::string* error = nullptr);

    std::span<const PlaceRecord> places() const { return section<PlaceRecord>(places_); }
    std::span<const KeyRecord> placeKeys() const { return section<KeyRecord>(placeKeys_); }
    std::span<const CountryRecord> countries() const { return section<CountryRecord>(countries_); }
    std::span<const KeyRecord> countryKeys() const { return section<KeyRecord>(countryKeys_); }
    std::span<const RegionRecord> regions() const { return section<RegionRecord>(regions_); }
    std::span<const TypoRecord> typoKeys() const { return section<TypoRecord>(typoKeys_); }
    std::string_view worldMap() const;
    std::string_view text(StringRef ref) const;

    // Key records whose key equals, or starts with, `key` (a folded text).
    std::span<const KeyRecord> exactKeys(std::span<const KeyRecord> keys,
                                         std::string_view key) const;
    std::span<const KeyRecord> prefixKeys(std::span<const KeyRecord> keys,
                                          std::string_view key) const;

    // How well a place key ranks: its place's importance, less for an
    // alternate name.
    uint32_t score(const KeyRecord& placeKey) const;
    // Position in placeKeys() of the best scored key in [begin, end).
    size_t bestScored(size_t begin, size_t end) const;

  private:
    struct Range {
        size_t offset = 0;
        size_t size = 0;
    };

    Gazetteer() = default;
    template <typename T> std::span<const T> section(Range r) const {
        return {reinterpret_cast<const T*>(data_ + r.offset), r.size / sizeof(T)};
    }
    bool validate(std::string* error) const;
    void buildScoreBlocks();

    struct Best {
        uint32_t score;
        uint32_t position;
    };
    Best bestIn(size_t begin, size_t end) const;

    static std::optional<Gazetteer> fromStorage(std::shared_ptr<const void> storage,
                                                const char* data, size_t size,
                                                std::string* error);

    std::shared_ptr<const void> storage_; // keeps data_ alive: a mapping or a vector
    const char* data_ = nullptr;
    size_t size_ = 0;
    Range strings_, places_, placeKeys_, countries_, countryKeys_, regions_, worldMap_, typoKeys_;
    std::vector<Best> smallBlocks_; // per kSmallBlock place keys
    std::vector<Best> largeBlocks_; // per kSmallBlock * kSmallBlock place keys
};

} // namespace terrabo::server
