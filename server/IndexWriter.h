#pragma once

#include "server/BoundingBox.h"
#include "server/IndexFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace terrabo::server {

struct PlaceInput {
    uint32_t id = 0; // tie-breaker that keeps the file the same from run to run
    std::string name;
    bool hasAsciiName = false;           // then otherNames[0] is the ASCII name
    std::vector<std::string> otherNames; // ASCII name, alternate names
    double lat = 0;
    double lon = 0;
    uint32_t importance = 0; // population, or its like for features
    std::string country;     // ISO 3166 alpha-2
    std::string region;      // admin-1 code within the country
    PlaceKind kind = PlaceKind::Settlement;
    std::optional<BoundingBox> box;
    std::vector<std::string> codes; // IATA and ICAO codes, found only as typed codes
    bool capital = false; // importance raised kCapitalWeight times for its own names
};

struct CountryInput {
    std::string code; // ISO 3166 alpha-2
    std::string name;
    std::vector<std::string> names; // each one finds the country on its own
    std::vector<std::string> codes; // only select the country after a comma
    double lat = 0;
    double lon = 0;
    uint32_t areaKm2 = 0;
    std::optional<BoundingBox> box;
};

struct RegionInput {
    std::string country;
    std::string code;
    std::string name;
};

// What the typo index holds, to keep it within tens of megabytes: the own
// names of settlements from this population (a misspelling should not land
// in a hamlet), and every name of other places from this importance.
inline constexpr uint32_t kTypoMinPopulation = 5000;
inline constexpr uint32_t kTypoMinFeature = 20'000;

// Collects the gazetteer and writes it in the index file's layout.
// Output depends only on the input, not on the order it came in.
class IndexWriter {
  public:
    void addPlace(PlaceInput place) { places_.push_back(std::move(place)); }
    void addCountry(CountryInput country) { countries_.push_back(std::move(country)); }
    void addRegion(RegionInput region) { regions_.push_back(std::move(region)); }
    void setWorldMap(std::string svgPath) { worldMap_ = std::move(svgPath); }

    std::string build() const;

  private:
    std::vector<PlaceInput> places_;
    std::vector<CountryInput> countries_;
    std::vector<RegionInput> regions_;
    std::string worldMap_;
};

} // namespace terrabo::server
