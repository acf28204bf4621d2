// Query texts as they arrive in a request, through decoding, matching and
// the answer. An answer for a real place must never look like "not found"
// to the client, and no input may crash.
#include "server/Gazetteer.h"
#include "server/IndexWriter.h"
#include "server/LookupAnswer.h"
#include "server/PercentCoding.h"
#include "server/PlaceQuery.h"
#include "server/Service.h"
#include "server/TextFold.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace terrabo::server;

namespace {

// The real index when it has been built, else a few places of our own.
const Gazetteer& gazetteer() {
    static const Gazetteer g = [] {
        if (auto real = Gazetteer::load(TERRABO_GAZETTEER_INDEX))
            return std::move(*real);
        IndexWriter w;
        w.addCountry({"FR", "France", {"France"}, {"FR", "FRA"}, 46, 2, 551695});
        w.addCountry({"US", "United States", {"United States", "USA"}, {"US"}, 38, -97, 9372610});
        w.addRegion({"US", "TX", "Texas"});
        w.addPlace({1, "Paris", true, {"Paris", "Lutèce"}, 48.85, 2.35, 2138551, "FR", "11"});
        w.addPlace({2, "Paris", true, {"Paris"}, 33.66, -95.56, 24782, "US", "TX"});
        w.addPlace({3, "Newark", true, {"Newark"}, 40.74, -74.17, 281944, "US", "NJ"});
        const std::string bytes = w.build();
        return std::move(*Gazetteer::fromBytes(std::vector<char>(bytes.begin(), bytes.end())));
    }();
    return g;
}

bool firstFieldsHoldN(const std::string& answer) {
    size_t start = 0;
    for (int field = 0; field < 3; ++field) {
        const size_t bar = answer.find('|', start);
        if (answer.substr(start, bar - start).find('N') != std::string::npos)
            return true;
        if (bar == std::string::npos)
            return false;
        start = bar + 1;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Service service(gazetteer());
    const std::string raw(reinterpret_cast<const char*>(data), size);

    if (const auto text = percentDecode(raw)) {
        foldText(*text);
        parseCoordinates(*text);
        const auto place = findPlace(gazetteer(), *text);
        const std::string answer = lookupAnswer(place);
        if (place && firstFieldsHoldN(answer)) {
            std::fprintf(stderr, "answer for a place reads as not found: %s\n", answer.c_str());
            std::abort();
        }
    }
    service.handle("POST", "/zentra/decode.php?address=" + raw);
    service.handle("GET", "/maps?q=" + raw);
    service.handle("GET", "/ads/banner?unit=" + raw);
    service.handle("GET", raw);
    return 0;
}
