// Every end of editing re-reads the whole history file and searches it
// linearly, so this is the cost a lookup pays before anything else happens.
#include "places/History.h"
#include "system/qt/PlistFile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace terrabo {
namespace {

constexpr int kPairs = 10'000;

std::vector<std::string> makeHistory(int pairs) {
    std::vector<std::string> list;
    list.reserve(2 * static_cast<std::size_t>(pairs));
    char buf[128];
    for (int i = 0; i < pairs; ++i) {
        std::snprintf(buf, sizeof buf, "Place %05d Town", i);
        list.emplace_back(buf);
        std::snprintf(buf, sizeof buf, "%.4f|%.4f|Place%%20%05d%%20Town%%2C%%20Some%%20Region",
                      -60.0 + i * 0.012, -170.0 + i * 0.034, i);
        list.emplace_back(buf);
    }
    return list;
}

class HistoryFile : public benchmark::Fixture {
  public:
    void SetUp(const benchmark::State&) override {
        path_ = dir_.filePath("name.plist").toStdString();
        if (!store_.writeStringArrayAtomically(path_, makeHistory(kPairs)))
            std::abort();
    }

  protected:
    // Reads the file and searches it, as one lookup does.
    void lookup(benchmark::State& state, const std::string& typed) {
        for (auto _ : state) {
            const StringArrayFile file = store_.readStringArray(path_);
            auto answer = findInHistory(file.items, typed);
            benchmark::DoNotOptimize(answer);
        }
    }

    QTemporaryDir dir_;
    PlistFile store_;
    std::string path_;
};

BENCHMARK_F(HistoryFile, ReadAndMissEveryPair)(benchmark::State& state) {
    lookup(state, "Nowhere at all");
}

BENCHMARK_F(HistoryFile, ReadAndHitTheNewestPair)(benchmark::State& state) {
    lookup(state, "Place 09999");
}

BENCHMARK_F(HistoryFile, ReadAndHitTheOldestPair)(benchmark::State& state) {
    lookup(state, "Place 00000");
}

// A fresh answer rewrites the whole file with one more pair.
BENCHMARK_F(HistoryFile, AppendOnePairAndRewrite)(benchmark::State& state) {
    std::vector<std::string> list = store_.readStringArray(path_).items;
    for (auto _ : state) {
        list.emplace_back("Extra place");
        list.emplace_back("1.0|2.0|Extra");
        benchmark::DoNotOptimize(store_.writeStringArrayAtomically(path_, list));
    }
}

void SearchOnly(benchmark::State& state) {
    const std::vector<std::string> list = makeHistory(kPairs);
    for (auto _ : state) {
        auto answer = findInHistory(list, "Nowhere at all");
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(SearchOnly);

} // namespace
} // namespace terrabo

BENCHMARK_MAIN();
