#pragma once

#include <cstdint>

// The gazetteer index file: a header, a table of sections, and the sections,
// each 8-byte aligned, little-endian, laid out so the server can use them as
// they lie in memory. Raise kIndexVersion with any change of layout.
namespace terrabo::server {

inline constexpr char kIndexMagic[8] = {'T', 'R', 'B', 'G', 'A', 'Z', 'I', 'X'};
inline constexpr uint32_t kIndexVersion = 3;

enum class SectionId : uint32_t {
    Strings = 1,     // UTF-8 text referred to by StringRef
    Places = 2,      // PlaceRecord[]
    PlaceKeys = 3,   // KeyRecord[] -> place, by key, then score (largest first)
    Countries = 4,   // CountryRecord[]
    CountryKeys = 5, // KeyRecord[] -> country, by key; kQualifierOnly marks codes
    Regions = 6,     // RegionRecord[]
    WorldMap = 7,    // SVG path data of the countries, 0.1 degree units, Mercator
    TypoKeys = 8,    // TypoRecord[], by hash: deletion variants of the names
};

struct FileHeader {
    char magic[8];
    uint32_t version;
    uint32_t sectionCount;
};

struct SectionEntry {
    uint32_t id;
    uint32_t reserved;
    uint64_t offset;
    uint64_t size;
};

struct StringRef {
    uint32_t offset;
    uint32_t length;
};

inline constexpr uint16_t kNoCountry = 0xFFFF;
inline constexpr uint32_t kNoRegion = 0xFFFFFFFF;

// What a place is. Settlements are GeoNames' populated places; the rest are
// areas, lines and points of the world's geography.
enum class PlaceKind : uint8_t {
    Settlement,
    Region,
    Country,
    Ocean,
    Sea,
    Gulf,
    Bay,
    Strait,
    Range,
    Peak,
    Volcano,
    Lake,
    Reservoir,
    River,
    Island,
    Archipelago,
    Desert,
    Plateau,
    Peninsula,
    Plain,
    Basin,
    Valley,
    Delta,
    Continent,
    Area,
    Park,
    Airport,
    Cape,
    Waterfall,
    Playa,
};
inline constexpr uint8_t kPlaceKindCount = static_cast<uint8_t>(PlaceKind::Playa) + 1;

// A bounding box in degrees * 1e5; westE5 > eastE5 when it crosses the 180th
// meridian.
struct BoxE5 {
    int32_t southE5;
    int32_t westE5;
    int32_t northE5;
    int32_t eastE5;
};

inline constexpr uint8_t kHasBox = 1;
// A national capital: its importance is raised for its own names only, since
// its alternate names are many ("Bali" is Paris in Chinese).
inline constexpr uint8_t kCapital = 2;
inline constexpr uint32_t kCapitalWeight = 20;

struct PlaceRecord {
    int32_t latE5; // degrees * 1e5, north positive
    int32_t lonE5; // degrees * 1e5, east positive
    uint32_t importance; // population, or its like for features
    StringRef name;
    uint16_t country;
    uint8_t kind; // PlaceKind
    uint8_t flags; // kHasBox, kCapital
    uint32_t region;
    BoxE5 box; // valid with kHasBox
};

// The top two bits of a key's target are flags; the rest is the index.
inline constexpr uint32_t kKeyFlag = 0x80000000u;
inline constexpr uint32_t kTargetMask = 0x3FFFFFFFu;
// A place key that is the first words of a name ("rio" of "Rio de Janeiro"),
// found only when nothing matches in full; within one key these sort after
// the whole names.
inline constexpr uint32_t kWordPrefix = 0x40000000u;
// Codes (IATA, ICAO) are filed under this character, which no folded text
// holds, so only a code typed as one finds them.
inline constexpr char kCodeMark = '#';
// Country codes ("FR", "FRA") select a country after a comma; on their own
// they give way to a place of that name ("Ita" is a town in Paraguay).
inline constexpr uint32_t kQualifierOnly = kKeyFlag;
// A place's alternate names rank below the names of others: GeoNames lists
// "Venice" among the names of Dayton, Ohio, which outnumbers Venice.
inline constexpr uint32_t kAlternateName = kKeyFlag;
inline constexpr uint32_t kAlternateNameWeight = 10;

inline uint32_t placeKeyScore(uint32_t target, uint32_t importance, uint8_t flags = 0) {
    if (!(target & kAlternateName))
        return importance;
    return importance / kAlternateNameWeight / (flags & kCapital ? kCapitalWeight : 1);
}

struct KeyRecord {
    StringRef key; // folded text
    uint32_t target;
};

// A deletion variant's hash and the key it came from: a place key's position,
// or a country key's with kTypoCountry.
struct TypoRecord {
    uint32_t hash;
    uint32_t key;
};
inline constexpr uint32_t kTypoCountry = 0x80000000u;

struct CountryRecord {
    StringRef name;
    int32_t latE5;
    int32_t lonE5;
    uint32_t areaKm2;
    char code[2];
    uint8_t flags; // kHasBox
    uint8_t reserved;
    BoxE5 box;
};

struct RegionRecord {
    StringRef name;
    StringRef key;     // folded name
    StringRef codeKey; // folded admin code, e.g. "tx" for Texas
    uint16_t country;
    uint16_t reserved;
};

static_assert(sizeof(FileHeader) == 16);
static_assert(sizeof(SectionEntry) == 24);
static_assert(sizeof(PlaceRecord) == 44);
static_assert(sizeof(KeyRecord) == 12);
static_assert(sizeof(TypoRecord) == 8);
static_assert(sizeof(CountryRecord) == 40);
static_assert(sizeof(RegionRecord) == 28);

} // namespace terrabo::server
