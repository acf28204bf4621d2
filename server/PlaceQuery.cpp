#include "server/PlaceQuery.h"

#include "server/TextFold.h"
#include "server/Utf8.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace terrabo::server {
namespace {

// A prefix with qualifiers is checked key by key, so a short one could walk
// most of the index; these bound the work of one query.
constexpr size_t kMinQualifiedPrefix = 3;
constexpr size_t kMaxQualifiedPrefixScan = 1 << 16;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool hasControlCharacters(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && !isBlank(static_cast<char>(c))) || c == 0x7F)
            return true;
        // U+0080..U+009F
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            return true;
    }
    return false;
}

void skipBlanks(std::string_view& s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
}

bool readNumber(std::string_view& s, double& value) {
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    const size_t digitsAt = !s.empty() && s.front() == '-' ? 1 : 0;
    // from_chars also reads "inf" and "nan"; a coordinate starts with a digit.
    if (s.size() <= digitsAt ||
        !(std::isdigit(static_cast<unsigned char>(s[digitsAt])) || s[digitsAt] == '.'))
        return false;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || !std::isfinite(value))
        return false;
    s.remove_prefix(static_cast<size_t>(end - s.data()));
    return true;
}

std::optional<BoundingBox> boxOf(uint8_t flags, const BoxE5& b) {
    if (!(flags & kHasBox))
        return std::nullopt;
    return BoundingBox{b.southE5 / 1e5, b.northE5 / 1e5, b.westE5 / 1e5, b.eastE5 / 1e5};
}

FoundPlace placeAt(const Gazetteer& g, uint32_t index) {
    const PlaceRecord& p = g.places()[index];
    FoundPlace found;
    found.kind = FoundPlace::Kind::Place;
    found.placeKind = static_cast<PlaceKind>(p.kind);
    found.bbox = boxOf(p.flags, p.box);
    found.lat = p.latE5 / 1e5;
    found.lon = p.lonE5 / 1e5;
    found.name = g.text(p.name);
    if (p.region != kNoRegion)
        found.region = g.text(g.regions()[p.region].name);
    if (p.country != kNoCountry)
        found.country = g.text(g.countries()[p.country].name);
    return found;
}

FoundPlace countryAt(const Gazetteer& g, uint32_t index) {
    const CountryRecord& c = g.countries()[index];
    FoundPlace found;
    found.kind = FoundPlace::Kind::Country;
    found.placeKind = PlaceKind::Country;
    found.bbox = boxOf(c.flags, c.box);
    found.lat = c.latE5 / 1e5;
    found.lon = c.lonE5 / 1e5;
    found.name = g.text(c.name);
    found.country = found.name;
    found.areaKm2 = c.areaKm2;
    return found;
}

struct Qualifier {
    std::string key;
    std::vector<uint16_t> countries;
};

class QualifierFilter {
  public:
    QualifierFilter(const Gazetteer& g, std::vector<std::string> keys) : g_(g) {
        for (std::string& key : keys) {
            Qualifier q{std::move(key), {}};
            for (const KeyRecord& k : g.exactKeys(g.countryKeys(), q.key))
                q.countries.push_back(static_cast<uint16_t>(k.target & kTargetMask));
            qualifiers_.push_back(std::move(q));
        }
    }

    bool accepts(const PlaceRecord& p) const {
        for (const Qualifier& q : qualifiers_) {
            const bool country =
                p.country != kNoCountry &&
                std::find(q.countries.begin(), q.countries.end(), p.country) != q.countries.end();
            bool region = false;
            if (!country && p.region != kNoRegion) {
                const RegionRecord& r = g_.regions()[p.region];
                region = g_.text(r.key) == q.key || g_.text(r.codeKey) == q.key;
            }
            if (!country && !region)
                return false;
        }
        return true;
    }

  private:
    const Gazetteer& g_;
    std::vector<Qualifier> qualifiers_;
};

std::optional<FoundPlace> findUnqualified(const Gazetteer& g, const std::string& name) {
    const auto countries = g.exactKeys(g.countryKeys(), name);
    for (const KeyRecord& k : countries)
        if (!(k.target & kQualifierOnly))
            return countryAt(g, k.target);
    const auto exact = g.exactKeys(g.placeKeys(), name);
    if (!exact.empty())
        return placeAt(g, exact.front().target & kTargetMask);
    // A bare code ("DE") yields to a place of that name, but not to prefixes.
    if (!countries.empty())
        return countryAt(g, countries.front().target & kTargetMask);
    const auto prefix = g.prefixKeys(g.placeKeys(), name);
    if (prefix.empty())
        return std::nullopt;
    const size_t begin = static_cast<size_t>(prefix.data() - g.placeKeys().data());
    const size_t best = g.bestScored(begin, begin + prefix.size());
    return placeAt(g, g.placeKeys()[best].target & kTargetMask);
}

std::optional<FoundPlace> findQualified(const Gazetteer& g, const std::string& name,
                                        std::vector<std::string> qualifiers) {
    const QualifierFilter filter(g, std::move(qualifiers));
    const auto places = g.places();
    for (const KeyRecord& k : g.exactKeys(g.placeKeys(), name))
        if (filter.accepts(places[k.target & kTargetMask]))
            return placeAt(g, k.target & kTargetMask);
    if (name.size() < kMinQualifiedPrefix)
        return std::nullopt;
    const KeyRecord* best = nullptr;
    size_t scanned = 0;
    for (const KeyRecord& k : g.prefixKeys(g.placeKeys(), name)) {
        if (++scanned > kMaxQualifiedPrefixScan)
            break;
        if (filter.accepts(places[k.target & kTargetMask]) &&
            (!best || g.score(k) > g.score(*best)))
            best = &k;
    }
    if (!best)
        return std::nullopt;
    return placeAt(g, best->target & kTargetMask);
}

} // namespace

std::string_view placeKindName(PlaceKind kind) {
    static constexpr std::string_view kNames[kPlaceKindCount] = {
        "",          "region",   "",       "ocean",      "sea",    "gulf",
        "bay",       "strait",   "range",  "peak",       "volcano", "lake",
        "reservoir", "river",    "island", "islands",    "desert", "plateau",
        "peninsula", "plain",    "basin",  "valley",     "delta",  "continent",
        "area",      "park",     "airport", "cape",      "waterfall", "playa",
    };
    const auto i = static_cast<size_t>(kind);
    return i < kPlaceKindCount ? kNames[i] : std::string_view();
}

std::optional<std::pair<double, double>> parseCoordinates(std::string_view text) {
    std::string_view s = text;
    skipBlanks(s);
    double lat, lon;
    if (!readNumber(s, lat))
        return std::nullopt;
    const size_t before = s.size();
    skipBlanks(s);
    const bool blankSeparated = s.size() != before;
    if (!s.empty() && (s.front() == ',' || s.front() == ';')) {
        s.remove_prefix(1);
        skipBlanks(s);
    } else if (!blankSeparated) {
        return std::nullopt;
    }
    if (!readNumber(s, lon))
        return std::nullopt;
    skipBlanks(s);
    if (!s.empty())
        return std::nullopt;
    return std::pair{lat, lon};
}

bool isQueryText(std::string_view text) {
    return text.size() <= kMaxQueryBytes && isValidUtf8(text) && !hasControlCharacters(text);
}

std::optional<FoundPlace> findPlace(const Gazetteer& g, std::string_view text) {
    if (!isQueryText(text))
        return std::nullopt;

    if (const auto coordinates = parseCoordinates(text)) {
        const auto [lat, lon] = *coordinates;
        if (std::abs(lat) > 90 || std::abs(lon) > 180)
            return std::nullopt;
        FoundPlace found;
        found.kind = FoundPlace::Kind::Coordinates;
        found.lat = lat;
        found.lon = lon;
        return found;
    }

    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(foldText(text.substr(start, comma - start)).value_or(""));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    const std::string name = std::move(parts.front());
    if (name.empty())
        return std::nullopt;
    std::vector<std::string> qualifiers;
    for (size_t i = 1; i < parts.size(); ++i)
        if (!parts[i].empty())
            qualifiers.push_back(std::move(parts[i]));
    if (qualifiers.empty())
        return findUnqualified(g, name);
    return findQualified(g, name, std::move(qualifiers));
}

} // namespace terrabo::server
