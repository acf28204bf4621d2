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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

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
BENCHMARK_CAPTURE(lookup, region, "Texas");
BENCHMARK_CAPTURE(lookup, sea, "Mediterranean Sea");
BENCHMARK_CAPTURE(lookup, genericWord, "Lake Titicaca");
BENCHMARK_CAPTURE(lookup, airportCode, "JFK");
BENCHMARK_CAPTURE(lookup, commaless, "london united kingdom");
BENCHMARK_CAPTURE(lookup, typo, "Londno");
BENCHMARK_CAPTURE(lookup, longTypo, "Philadelpia");
BENCHMARK_CAPTURE(lookup, typoNotFound, "Qwertyuiopasdf");

// Every query of the test tables, each timed on its own: the median and the
// 99th percentile of one lookup over the mix, in microseconds.
void lookupMix(benchmark::State& state) {
    std::vector<std::string> queries;
    std::ifstream in(std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                     "tests/unit/server/data/lookups.tsv");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            queries.push_back(line.substr(line.find('\t') + 1, line.find('\t', line.find('\t') + 1) -
                                                                  line.find('\t') - 1));
    if (queries.empty()) {
        state.SkipWithError("no lookup tables");
        return;
    }
    const Gazetteer& g = gazetteer();
    std::vector<double> micros;
    for (auto _ : state)
        for (const std::string& q : queries) {
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(lookupAnswer(findPlace(g, q)));
            micros.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count());
        }
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["max_us"] = micros.back();
    state.counters["queries"] = static_cast<double>(queries.size());
}
BENCHMARK(lookupMix)->Unit(benchmark::kMillisecond);

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
