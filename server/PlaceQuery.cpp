#include "server/PlaceQuery.h"

#include "server/FeatureNames.h"
#include "server/TextFold.h"
#include "server/Typos.h"
#include "server/Utf8.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace terrabo::server {
namespace {

// Shorter texts are matched whole only: three letters start too many names.
constexpr size_t kMinPrefix = 4;
// A qualified name is checked record by record; this bounds the work of one
// query on a very common name.
constexpr size_t kMaxQualifiedScan = 1 << 16;

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

// Whole names come before first-words keys within one key's records.
std::span<const KeyRecord> wholeNames(std::span<const KeyRecord> keys) {
    const auto end = std::partition_point(keys.begin(), keys.end(), [](const KeyRecord& k) {
        return !(k.target & kWordPrefix);
    });
    return {keys.begin(), end};
}

std::span<const KeyRecord> firstWords(std::span<const KeyRecord> keys) {
    return keys.subspan(wholeNames(keys).size());
}

bool isUpperCode(std::string_view text, size_t minLength, size_t maxLength) {
    if (text.size() < minLength || text.size() > maxLength)
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string_view trimmed(std::string_view s) {
    skipBlanks(s);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<FoundPlace> countryByCode(const Gazetteer& g, const std::string& key) {
    for (const KeyRecord& k : g.exactKeys(g.countryKeys(), key))
        return countryAt(g, k.target & kTargetMask);
    return std::nullopt;
}

// A code typed in capitals: "FRA" and "DE" are countries, "JFK" and "EGLL"
// airports. A well-known place of that name still wins over a two-letter
// country code ("LA").
std::optional<FoundPlace> findCode(const Gazetteer& g, std::string_view typed,
                                   const std::string& key) {
    constexpr uint32_t kKnownByTwoLetters = 100'000;
    if (isUpperCode(typed, 2, 2)) {
        const auto exact = wholeNames(g.exactKeys(g.placeKeys(), key));
        if (!exact.empty() && g.score(exact.front()) >= kKnownByTwoLetters)
            return placeAt(g, exact.front().target & kTargetMask);
        return countryByCode(g, key);
    }
    if (isUpperCode(typed, 3, 3))
        if (auto country = countryByCode(g, key))
            return country;
    if (isUpperCode(typed, 3, 4)) {
        const auto code = g.exactKeys(g.placeKeys(), kCodeMark + key);
        if (!code.empty())
            return placeAt(g, code.front().target & kTargetMask);
    }
    return std::nullopt;
}

// "Lake Titicaca" for "Lago Titicaca", "Everest mountain": the rest of the
// text names a feature of the kind its generic word says.
std::optional<FoundPlace> findWithoutGenericWord(const Gazetteer& g, std::string_view typed) {
    const auto generic = withoutGenericWord(typed);
    if (!generic)
        return std::nullopt;
    for (const KeyRecord& k : wholeNames(g.exactKeys(g.placeKeys(), generic->rest))) {
        const uint32_t index = k.target & kTargetMask;
        if (generic->kinds & kindBit(static_cast<PlaceKind>(g.places()[index].kind)))
            return placeAt(g, index);
    }
    return std::nullopt;
}

std::optional<FoundPlace> findTypo(const Gazetteer& g, const std::string& name) {
    const int budget = typoBudget(name.size());
    if (budget == 0 || g.typoKeys().empty() ||
        !std::all_of(name.begin(), name.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        }))
        return std::nullopt;
    const auto typos = g.typoKeys();
    const KeyRecord* bestPlace = nullptr;
    std::optional<uint32_t> bestCountry;
    uint64_t bestScore = 0;
    for (const std::string& variant : deletionVariants(name, budget)) {
        const uint32_t hash = typoHash(variant);
        auto it = std::lower_bound(typos.begin(), typos.end(), hash,
                                   [](const TypoRecord& t, uint32_t h) { return t.hash < h; });
        for (; it != typos.end() && it->hash == hash; ++it) {
            const bool country = it->key & kTypoCountry;
            const uint32_t ref = it->key & ~kTypoCountry;
            const KeyRecord& k = country ? g.countryKeys()[ref] : g.placeKeys()[ref];
            const std::string_view candidate = g.text(k.key);
            const int allowed = std::min(budget, typoBudget(candidate.size()));
            const int distance = editDistance(name, candidate, allowed);
            if (distance == 0 || distance > allowed)
                continue;
            // Countries first, then by importance; two edits count for less.
            uint64_t score = country ? (uint64_t{1} << 40) : g.score(k);
            if (distance == 2)
                score /= 4;
            if (score > bestScore || (!bestPlace && !bestCountry)) {
                bestScore = score;
                bestPlace = country ? nullptr : &k;
                bestCountry = country ? std::optional(k.target & kTargetMask) : std::nullopt;
            }
        }
    }
    if (bestCountry)
        return countryAt(g, *bestCountry);
    if (bestPlace)
        return placeAt(g, bestPlace->target & kTargetMask);
    return std::nullopt;
}

std::optional<FoundPlace> findQualified(const Gazetteer& g, const std::string& name,
                                        std::vector<std::string> qualifiers) {
    const QualifierFilter filter(g, std::move(qualifiers));
    const auto places = g.places();
    const auto keys = g.exactKeys(g.placeKeys(), name);
    // Whole names first, each part best first; first words only from 4 letters.
    const size_t limit = name.size() >= kMinPrefix ? keys.size() : wholeNames(keys).size();
    for (size_t i = 0; i < limit && i < kMaxQualifiedScan; ++i)
        if (filter.accepts(places[keys[i].target & kTargetMask]))
            return placeAt(g, keys[i].target & kTargetMask);
    return std::nullopt;
}

std::vector<std::string_view> blankSeparatedWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// "Paris France", "Springfield Illinois", "Portland OR": the last words
// name a country or a region (by name, or by code when typed in capitals),
// and the words before them a place there.
std::optional<FoundPlace> findTrailingQualifier(const Gazetteer& g, std::string_view typed) {
    const std::vector<std::string_view> words = blankSeparatedWords(typed);
    for (size_t n = 1; n <= 3 && n < words.size(); ++n) {
        const std::string_view tail(words[words.size() - n].data(),
                                    words.back().data() + words.back().size() -
                                        words[words.size() - n].data());
        const std::string tailKey = foldText(tail).value_or("");
        bool qualifies = isUpperCode(tail, 2, 3);
        for (const KeyRecord& k : g.exactKeys(g.countryKeys(), tailKey))
            qualifies = qualifies || !(k.target & kQualifierOnly);
        for (const KeyRecord& k : wholeNames(g.exactKeys(g.placeKeys(), tailKey)))
            qualifies = qualifies || g.places()[k.target & kTargetMask].kind ==
                                         static_cast<uint8_t>(PlaceKind::Region);
        for (size_t i = 0; !qualifies && i < g.regions().size(); ++i)
            qualifies = g.text(g.regions()[i].key) == tailKey;
        if (!qualifies)
            continue;
        const std::string_view head(words.front().data(),
                                    words[words.size() - n - 1].data() +
                                        words[words.size() - n - 1].size() - words.front().data());
        const std::string headKey = foldText(head).value_or("");
        if (auto found = findQualified(g, headKey, {tailKey}))
            return found;
    }
    return std::nullopt;
}

std::optional<FoundPlace> findUnqualified(const Gazetteer& g, std::string_view typed,
                                          const std::string& name) {
    typed = trimmed(typed);
    if (auto code = findCode(g, typed, name))
        return code;
    const auto countries = g.exactKeys(g.countryKeys(), name);
    for (const KeyRecord& k : countries)
        if (!(k.target & kQualifierOnly))
            return countryAt(g, k.target & kTargetMask);
    const auto keys = g.exactKeys(g.placeKeys(), name);
    const auto exact = wholeNames(keys);
    if (!exact.empty())
        return placeAt(g, exact.front().target & kTargetMask);
    // A bare code ("de") yields to a place of that name, but not to prefixes.
    if (!countries.empty())
        return countryAt(g, countries.front().target & kTargetMask);
    if (auto found = findWithoutGenericWord(g, typed))
        return found;
    if (auto found = findTrailingQualifier(g, typed))
        return found;
    // The first words of a name, never a part of a word: "Nile" is not the
    // start of "Niles".
    if (const auto prefix = firstWords(keys); !prefix.empty() && name.size() >= kMinPrefix)
        return placeAt(g, prefix.front().target & kTargetMask);
    return findTypo(g, name);
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
        return findUnqualified(g, text, name);
    return findQualified(g, name, std::move(qualifiers));
}

} // namespace terrabo::server
