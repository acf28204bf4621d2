#include "SmallGazetteer.h"

#include "server/FeatureNames.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <tuple>
#include <unistd.h>

namespace terrabo::server::testing {

IndexWriter smallGazetteerWriter() {
    IndexWriter w;
    const auto place = [&](uint32_t id, std::string name, std::vector<std::string> others,
                           double lat, double lon, uint32_t population, std::string country,
                           std::string region) {
        PlaceInput p;
        p.id = id;
        p.name = std::move(name);
        p.hasAsciiName = !others.empty();
        p.otherNames = std::move(others);
        p.lat = lat;
        p.lon = lon;
        p.importance = population;
        p.country = std::move(country);
        p.region = std::move(region);
        w.addPlace(std::move(p));
    };
    place(1, "Paris", {"Paris", "Lutetia", "PAR"}, 48.85341, 2.3488, 2138551, "FR", "11");
    place(2, "Paris", {"Paris"}, 33.66094, -95.55551, 24782, "US", "TX");
    place(3, "London", {"London", "Londres"}, 51.50853, -0.12574, 8961989, "GB", "ENG");
    place(4, "London", {"London"}, 42.98339, -81.23304, 346765, "CA", "08");
    place(5, "Portland", {"Portland"}, 45.52345, -122.67621, 652503, "US", "OR");
    place(6, "Portland", {"Portland"}, 43.66147, -70.25533, 66881, "US", "ME");
    place(7, "Tromsø", {"Tromso", "Romsa"}, 69.6489, 18.95508, 38980, "NO", "56");
    place(8, "São Paulo", {"Sao Paulo"}, -23.5475, -46.63611, 12400232, "BR", "27");
    place(9, "Zürich", {"Zurich", "Zuerich"}, 47.36667, 8.55, 341730, "CH", "ZH");
    place(10, "Bengaluru", {"Bengaluru", "Bangalore"}, 12.97194, 77.59369, 8443675, "IN", "19");
    place(11, "Munich", {"Munich", "München", "Muenchen"}, 48.13743, 11.57549, 1260391, "DE", "02");
    place(12, "Dayton", {"Dayton", "Venice"}, 39.75895, -84.19161, 137644, "US", "OH");
    place(13, "Venice", {"Venice", "Venezia"}, 45.43713, 12.33265, 51298, "IT", "20");
    place(14, "Łódź", {"Lodz"}, 51.75, 19.46667, 768755, "PL", "74");
    place(15, "Ærøskøbing", {"Aeroskobing"}, 54.88803, 10.41117, 951, "DK", "21");
    place(16, "Newark", {"Newark"}, 40.73566, -74.17237, 281944, "US", "NJ");
    place(17, "Londonderry", {"Londonderry", "Derry"}, 54.9981, -7.30934, 83652, "GB", "NIR");
    place(18, "Portlaoise", {"Portlaoise"}, 53.03441, -7.29979, 22050, "IE", "L");
    place(19, "Kraków", {"Krakow", "Cracow"}, 50.06143, 19.93658, 755050, "PL", "77");
    place(20, "Sankt Gallen", {"Sankt Gallen", "St. Gallen"}, 47.42391, 9.37477, 70572, "CH", "SG");
    place(21, "Itá", {"Ita"}, -25.50972, -57.35861, 72000, "PY", "11");
    const auto feature = [&](uint32_t id, std::string name, PlaceKind kind, double lat, double lon,
                             uint32_t importance, std::string country,
                             std::optional<BoundingBox> box) {
        PlaceInput p;
        p.id = id;
        p.name = std::move(name);
        p.kind = kind;
        p.lat = lat;
        p.lon = lon;
        p.importance = importance;
        p.country = std::move(country);
        p.box = box;
        p.otherNames = nameVariants(p.name, kind);
        w.addPlace(std::move(p));
    };
    feature(100, "Lake Baikal", PlaceKind::Lake, 53.5, 108.2, 3000000, "", {{51.4, 55.8, 103.6, 109.9}});
    // Its box crosses the 180th meridian.
    feature(101, "Bering Sea", PlaceKind::Sea, 58, -178, 5000000, "", {{51.2, 66.3, 162.3, -157.1}});
    feature(102, "Mt. Everest", PlaceKind::Peak, 27.98, 86.92, 3750000, "", std::nullopt);
    feature(103, "Sahara", PlaceKind::Desert, 18.6, 0.35, 15000000, "", {{9.3, 34.3, -17.1, 38.5}});
    feature(104, "Nile", PlaceKind::River, 18.1, 30.9, 940000, "", {{15.6, 30.1, 30.3, 34}});
    feature(105, "Lago Titicaca", PlaceKind::Lake, -15.9, -69.4, 7500000, "", std::nullopt);
    feature(106, "Texas", PlaceKind::Region, 31.3, -99.3, 40000000, "US",
            {{25.8, 36.5, -106.6, -93.5}});
    feature(107, "Red Sea", PlaceKind::Sea, 20.3, 38.5, 15000000, "", std::nullopt);
    place(108, "Niles", {"Niles"}, 42.01892, -87.80284, 29803, "US", "IL");
    place(109, "Texas", {"Texas"}, 20.4, -98.9, 600, "MX", "");
    place(110, "Springfield", {"Springfield"}, 39.80172, -89.64371, 114394, "US", "IL");
    place(111, "Springfield", {"Springfield"}, 42.10148, -72.58981, 155929, "US", "MA");
    place(112, "Us", {"Us"}, 49.1, 1.97, 1300, "FR", "11");
    place(113, "Rio de Janeiro", {"Rio de Janeiro"}, -22.90642, -43.18223, 6747815, "BR", "21");
    PlaceInput airport;
    airport.id = 114;
    airport.name = "John F. Kennedy International Airport";
    airport.kind = PlaceKind::Airport;
    airport.lat = 40.64;
    airport.lon = -73.79;
    airport.importance = 200000;
    airport.country = "US";
    airport.region = "NY";
    airport.codes = {"JFK", "KJFK"};
    w.addPlace(airport);

    const auto country = [&](std::string code, std::string name, std::vector<std::string> names,
                             std::vector<std::string> codes, double lat, double lon,
                             uint32_t area) {
        w.addCountry(
            {std::move(code), std::move(name), std::move(names), std::move(codes), lat, lon, area});
    };
    country("FR", "France", {"France", "French Republic", "République française"}, {"FR", "FRA"},
            46, 2, 551695);
    country("US", "United States", {"United States", "USA", "United States of America"}, {"US"}, 38,
            -97, 9372610);
    country("GB", "United Kingdom", {"United Kingdom", "UK", "Great Britain"}, {"GB", "GBR"}, 54,
            -2, 242900);
    country("CA", "Canada", {"Canada"}, {"CA", "CAN"}, 60, -95, 9984670);
    country("DE", "Germany", {"Germany", "Deutschland"}, {"DE", "DEU"}, 51, 9, 357114);
    country("NO", "Norway", {"Norway", "Norge"}, {"NO", "NOR"}, 62, 10, 323802);
    country("BR", "Brazil", {"Brazil", "Brasil"}, {"BR", "BRA"}, -10, -55, 8515767);
    country("CH", "Switzerland", {"Switzerland", "Schweiz"}, {"CH", "CHE"}, 47, 8, 41284);
    country("IN", "India", {"India", "Bharat"}, {"IN", "IND"}, 20, 77, 3287590);
    country("IT", "Italy", {"Italy", "Italia"}, {"IT", "ITA"}, 42.83, 12.83, 301336);
    country("PL", "Poland", {"Poland", "Polska"}, {"PL", "POL"}, 52, 20, 312679);
    country("DK", "Denmark", {"Denmark", "Danmark"}, {"DK", "DNK"}, 56, 10, 43094);
    country("IE", "Ireland", {"Ireland", "Éire"}, {"IE", "IRL"}, 53, -8, 70273);
    country("PY", "Paraguay", {"Paraguay"}, {"PY", "PRY"}, -23, -58, 406752);
    country("MX", "Mexico", {"Mexico", "México"}, {"MX", "MEX"}, 23, -102, 1964375);
    country("TR", "Türkiye", {"Türkiye", "Republic of Türkiye", "Turkey", "Türkei"}, {"TR", "TUR"},
            39, 35, 783562);
    // "Guyana" is among French Guiana's names in some languages.
    country("GF", "French Guiana", {"French Guiana", "Guyane", "Guyana"}, {"GF", "GUF"}, 4, -53,
            83534);
    country("GY", "Guyana", {"Guyana", "Co-operative Republic of Guyana"}, {"GY", "GUY"}, 5, -59,
            214969);

    for (const auto& [c, code, name] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"FR", "11", "Île-de-France"}, {"US", "TX", "Texas"},
             {"US", "OR", "Oregon"},        {"US", "ME", "Maine"},
             {"US", "OH", "Ohio"},          {"US", "NJ", "New Jersey"},
             {"GB", "ENG", "England"},      {"GB", "NIR", "Northern Ireland"},
             {"CA", "08", "Ontario"},       {"NO", "56", "Troms"},
             {"BR", "27", "São Paulo"},     {"CH", "ZH", "Zurich"},
             {"IN", "19", "Karnataka"},     {"DE", "02", "Bavaria"},
             {"IT", "20", "Veneto"},        {"PL", "74", "Łódź Voivodeship"},
             {"DK", "21", "South Denmark"}, {"IE", "L", "Leinster"},
             {"PL", "77", "Lesser Poland"}, {"CH", "SG", "Saint Gallen"},
             {"US", "IL", "Illinois"},      {"US", "MA", "Massachusetts"},
             {"US", "NY", "New York"},      {"BR", "21", "Rio de Janeiro"}})
        w.addRegion({c, code, name});
    w.setWorldMap("M-1800 -1700l3600 0 0 3400-3600 0z");
    return w;
}

Gazetteer smallGazetteer() {
    const std::string bytes = smallGazetteerWriter().build();
    std::string error;
    auto g = Gazetteer::fromBytes(std::vector<char>(bytes.begin(), bytes.end()), &error);
    if (!g)
        throw std::runtime_error("small gazetteer does not load: " + error);
    return std::move(*g);
}

std::string smallGazetteerFile() {
    struct File {
        std::string path = "/tmp/terrabo-small-gazetteer-" + std::to_string(getpid()) + ".idx";
        File() {
            const std::string bytes = smallGazetteerWriter().build();
            std::ofstream(path, std::ios::binary)
                .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
        ~File() { std::remove(path.c_str()); }
    };
    static const File file;
    return file.path;
}

} // namespace terrabo::server::testing
