// One lookup as the server does it, from the decoded text to the answer;
// and loading the index, which the server does once at start.
//
//   build/bench/server/server_bench --benchmark_repetitions=5
//   --benchmark_report_aggregates_only=true
#include "server/Gazetteer.h"
#include "server/LookupAnswer.h"
#include "server/PlaceQuery.h"
#include "server/Service.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace terrabo::server {
namespace {

const Gazetteer& gazetteer() {
    static const Gazetteer g = [] {
        std::string error;
        auto loaded = Gazetteer::load(TERRABO_GAZETTEER_INDEX, &error);
        if (!loaded) {
            std::fprintf(stderr, "server_bench: %s\n", error.c_str());
            std::exit(1);
        }
        return std::move(*loaded);
    }();
    return g;
}

void lookup(benchmark::State& state, const char* text) {
    const Gazetteer& g = gazetteer();
    for (auto _ : state)
        benchmark::DoNotOptimize(lookupAnswer(findPlace(g, text)));
}
BENCHMARK_CAPTURE(lookup, exact, "Paris");
BENCHMARK_CAPTURE(lookup, accents, "sao paulo");
BENCHMARK_CAPTURE(lookup, alternate, "Bangalore");
BENCHMARK_CAPTURE(lookup, qualified, "Portland, Oregon");
BENCHMARK_CAPTURE(lookup, country, "Deutschland");
BENCHMARK_CAPTURE(lookup, coordinates, "12.972,77.595");
BENCHMARK_CAPTURE(lookup, prefix, "Frankf");
BENCHMARK_CAPTURE(lookup, shortPrefix, "s");
BENCHMARK_CAPTURE(lookup, qualifiedPrefix, "sao, Brazil");
BENCHMARK_CAPTURE(lookup, qualifiedShortPrefix, "san, USA");
BENCHMARK_CAPTURE(lookup, notFound, "Xyzzyplugh");

void request(benchmark::State& state) {
    const Service service(gazetteer());
    for (auto _ : state)
        benchmark::DoNotOptimize(
            service.handle("POST", "/zentra/decode.php?address=Paris%2C%20Texas"));
}
BENCHMARK(request);

void loadIndex(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Gazetteer::load(TERRABO_GAZETTEER_INDEX));
}
BENCHMARK(loadIndex)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace terrabo::server

BENCHMARK_MAIN();
