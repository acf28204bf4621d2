#include "server/Gazetteer.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <type_traits>

namespace terrabo::server {
namespace {

static_assert(std::endian::native == std::endian::little, "the index is little-endian");

constexpr size_t kSmallBlock = 64;
constexpr size_t kLargeBlock = kSmallBlock * kSmallBlock;

bool boxOk(const BoxE5& b) {
    return b.southE5 <= b.northE5 && b.southE5 >= -90'00000 && b.northE5 <= 90'00000 &&
           std::abs(b.westE5) <= 180'00000 && std::abs(b.eastE5) <= 180'00000;
}

bool fail(std::string* error, const std::string& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace

std::optional<Gazetteer> Gazetteer::load(const std::string& path, std::string* error) {
    // Mapped rather than read: the pages come straight from the page cache,
    // with no fresh memory to zero, and are shared between processes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(error, "cannot open " + path);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fail(error, "cannot read " + path);
        return std::nullopt;
    }
    const auto size = static_cast<size_t>(st.st_size);
    void* mapped = size ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0)
                        : MAP_FAILED;
    ::close(fd);
    if (size == 0)
        return fromStorage(nullptr, nullptr, 0, error);
    if (mapped == MAP_FAILED) {
        fail(error, "cannot map " + path);
        return std::nullopt;
    }
    std::shared_ptr<const void> storage(mapped, [size](const void* p) {
        ::munmap(const_cast<void*>(p), size);
    });
    return fromStorage(std::move(storage), static_cast<const char*>(mapped), size, error);
}

std::optional<Gazetteer> Gazetteer::fromBytes(std::vector<char> bytes, std::string* error) {
    auto owned = std::make_shared<std::vector<char>>(std::move(bytes));
    const char* data = owned->data();
    const size_t size = owned->size();
    return fromStorage(std::move(owned), data, size, error);
}

std::optional<Gazetteer> Gazetteer::fromStorage(std::shared_ptr<const void> storage,
                                                const char* data, size_t size,
                                                std::string* error) {
    Gazetteer g;
    g.storage_ = std::move(storage);
    g.data_ = data;
    g.size_ = size;
    const std::string_view b(data ? data : "", size);
    FileHeader header{};
    if (b.size() < sizeof header) {
        fail(error, "index file too short");
        return std::nullopt;
    }
    std::memcpy(&header, b.data(), sizeof header);
    if (std::memcmp(header.magic, kIndexMagic, sizeof header.magic) != 0) {
        fail(error, "not a gazetteer index");
        return std::nullopt;
    }
    if (header.version != kIndexVersion) {
        fail(error, "index version " + std::to_string(header.version) + ", expected " +
                        std::to_string(kIndexVersion));
        return std::nullopt;
    }
    if (header.sectionCount > (b.size() - sizeof header) / sizeof(SectionEntry)) {
        fail(error, "section table runs past the end");
        return std::nullopt;
    }
    for (uint32_t i = 0; i < header.sectionCount; ++i) {
        SectionEntry entry{};
        std::memcpy(&entry, b.data() + sizeof header + i * sizeof entry, sizeof entry);
        if (entry.offset > b.size() || entry.size > b.size() - entry.offset || entry.offset % 8) {
            fail(error, "section " + std::to_string(entry.id) + " lies outside the file");
            return std::nullopt;
        }
        const Range range{static_cast<size_t>(entry.offset), static_cast<size_t>(entry.size)};
        switch (static_cast<SectionId>(entry.id)) {
        case SectionId::Strings:
            g.strings_ = range;
            break;
        case SectionId::Places:
            g.places_ = range;
            break;
        case SectionId::PlaceKeys:
            g.placeKeys_ = range;
            break;
        case SectionId::Countries:
            g.countries_ = range;
            break;
        case SectionId::CountryKeys:
            g.countryKeys_ = range;
            break;
        case SectionId::Regions:
            g.regions_ = range;
            break;
        case SectionId::WorldMap:
            g.worldMap_ = range;
            break;
        case SectionId::TypoKeys:
            g.typoKeys_ = range;
            break;
        default:
            break; // newer, optional sections
        }
    }
    if (!g.validate(error))
        return std::nullopt;
    g.buildScoreBlocks();
    return g;
}

bool Gazetteer::validate(std::string* error) const {
    const auto wholeRecords = [](Range r, size_t recordSize) { return r.size % recordSize == 0; };
    if (!wholeRecords(places_, sizeof(PlaceRecord)) ||
        !wholeRecords(placeKeys_, sizeof(KeyRecord)) ||
        !wholeRecords(countries_, sizeof(CountryRecord)) ||
        !wholeRecords(countryKeys_, sizeof(KeyRecord)) ||
        !wholeRecords(regions_, sizeof(RegionRecord)) ||
        !wholeRecords(typoKeys_, sizeof(TypoRecord)))
        return fail(error, "a section holds a partial record");

    const auto textOk = [&](StringRef s) {
        return s.offset <= strings_.size && s.length <= strings_.size - s.offset;
    };
    const size_t countryCount = countries().size();
    const size_t regionCount = regions().size();
    for (const CountryRecord& c : countries()) {
        if (!textOk(c.name))
            return fail(error, "a country name lies outside the strings");
        if ((c.flags & kHasBox) && !boxOk(c.box))
            return fail(error, "a country's box lies off the globe");
    }
    for (const RegionRecord& r : regions())
        if (!textOk(r.name) || !textOk(r.key) || !textOk(r.codeKey) || r.country >= countryCount)
            return fail(error, "a region refers outside the index");
    for (const PlaceRecord& p : places()) {
        if (!textOk(p.name) || (p.country != kNoCountry && p.country >= countryCount) ||
            (p.region != kNoRegion && p.region >= regionCount))
            return fail(error, "a place refers outside the index");
        if (std::abs(p.latE5) > 90'00000 || std::abs(p.lonE5) > 180'00000)
            return fail(error, "a place lies off the globe");
        if (p.kind >= kPlaceKindCount)
            return fail(error, "a place is of an unknown kind");
        if ((p.flags & kHasBox) && !boxOk(p.box))
            return fail(error, "a place's box lies off the globe");
    }
    const size_t placeCount = places().size();
    for (const KeyRecord& k : placeKeys())
        if (!textOk(k.key) || (k.target & kTargetMask) >= placeCount)
            return fail(error, "a place key refers outside the index");
    for (const KeyRecord& k : countryKeys())
        if (!textOk(k.key) || (k.target & kTargetMask) >= countryCount)
            return fail(error, "a country key refers outside the index");
    const size_t placeKeyCount = placeKeys().size();
    const size_t countryKeyCount = countryKeys().size();
    uint32_t previousHash = 0;
    for (const TypoRecord& t : typoKeys()) {
        const uint32_t key = t.key & ~kTypoCountry;
        if (key >= (t.key & kTypoCountry ? countryKeyCount : placeKeyCount))
            return fail(error, "a typo key refers outside the index");
        if (t.hash < previousHash)
            return fail(error, "the typo keys are out of order");
        previousHash = t.hash;
    }
    return true;
}

std::string_view Gazetteer::text(StringRef ref) const {
    return {data_ + strings_.offset + ref.offset, ref.length};
}

std::string_view Gazetteer::worldMap() const {
    return {data_ + worldMap_.offset, worldMap_.size};
}

std::span<const KeyRecord> Gazetteer::exactKeys(std::span<const KeyRecord> keys,
                                                std::string_view key) const {
    const auto [first, last] =
        std::equal_range(keys.begin(), keys.end(), key, [this](const auto& a, const auto& b) {
            if constexpr (std::is_same_v<std::decay_t<decltype(a)>, KeyRecord>)
                return text(a.key) < b;
            else
                return a < text(b.key);
        });
    return {first, last};
}

std::span<const KeyRecord> Gazetteer::prefixKeys(std::span<const KeyRecord> keys,
                                                 std::string_view key) const {
    const auto head = [&](const KeyRecord& k) { return text(k.key).substr(0, key.size()); };
    const auto first = std::partition_point(keys.begin(), keys.end(),
                                            [&](const KeyRecord& k) { return head(k) < key; });
    const auto last =
        std::partition_point(first, keys.end(), [&](const KeyRecord& k) { return head(k) == key; });
    return {first, last};
}

void Gazetteer::buildScoreBlocks() {
    const std::span<const KeyRecord> keys = placeKeys();
    smallBlocks_.clear();
    largeBlocks_.clear();
    for (size_t begin = 0; begin < keys.size(); begin += kSmallBlock) {
        const size_t end = std::min(keys.size(), begin + kSmallBlock);
        Best best{0, static_cast<uint32_t>(begin)};
        bool any = false;
        for (size_t i = begin; i < end; ++i) {
            const uint32_t keyScore = score(keys[i]);
            if (!any || keyScore > best.score) {
                best = {keyScore, static_cast<uint32_t>(i)};
                any = true;
            }
        }
        smallBlocks_.push_back(best);
    }
    for (size_t begin = 0; begin < smallBlocks_.size(); begin += kSmallBlock) {
        const size_t end = std::min(smallBlocks_.size(), begin + kSmallBlock);
        Best best = smallBlocks_[begin];
        for (size_t i = begin + 1; i < end; ++i)
            if (smallBlocks_[i].score > best.score)
                best = smallBlocks_[i];
        largeBlocks_.push_back(best);
    }
}

Gazetteer::Best Gazetteer::bestIn(size_t begin, size_t end) const {
    const std::span<const KeyRecord> keys = placeKeys();
    Best best{0, static_cast<uint32_t>(begin)};
    bool any = false;
    const auto consider = [&](Best candidate) {
        if (!any || candidate.score > best.score) {
            best = candidate;
            any = true;
        }
    };
    for (size_t i = begin; i < end;) {
        if (i % kLargeBlock == 0 && end - i >= kLargeBlock) {
            consider(largeBlocks_[i / kLargeBlock]);
            i += kLargeBlock;
        } else if (i % kSmallBlock == 0 && end - i >= kSmallBlock) {
            consider(smallBlocks_[i / kSmallBlock]);
            i += kSmallBlock;
        } else {
            consider({score(keys[i]), static_cast<uint32_t>(i)});
            ++i;
        }
    }
    return best;
}

uint32_t Gazetteer::score(const KeyRecord& placeKey) const {
    const PlaceRecord& p = places()[placeKey.target & kTargetMask];
    return placeKeyScore(placeKey.target, p.importance, p.flags);
}

size_t Gazetteer::bestScored(size_t begin, size_t end) const {
    return bestIn(begin, end).position;
}

} // namespace terrabo::server
