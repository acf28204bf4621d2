// Every end of editing starts from what is on disk: the history file is read
// (again only if it changed) and searched linearly, so this is the cost a
// lookup pays before anything else happens. Arguments: pairs in the history.
#include "places/History.h"
#include "system/qt/PlistFile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace terrabo {
namespace {

std::vector<std::string> makeHistory(int pairs) {
    std::vector<std::string> list;
    list.reserve(2 * static_cast<std::size_t>(pairs));
    char buf[128];
    for (int i = 0; i < pairs; ++i) {
        std::snprintf(buf, sizeof buf, "Place %06d Town", i);
        list.emplace_back(buf);
        std::snprintf(buf, sizeof buf, "%.4f|%.4f|Place%%20%06d%%20Town%%2C%%20Some%%20Region",
                      -60.0 + i * 0.0012, -170.0 + i * 0.0034, i);
        list.emplace_back(buf);
    }
    return list;
}

class HistoryFile : public benchmark::Fixture {
  public:
    void SetUp(const benchmark::State& state) override {
        pairs_ = static_cast<int>(state.range(0));
        path_ = dir_.filePath("name.plist").toStdString();
        if (!PlistFile().writeStringArrayAtomically(path_, makeHistory(pairs_)))
            std::abort();
        struct stat st {};
        ::stat(path_.c_str(), &st);
        fileBytes_ = static_cast<double>(st.st_size);
    }

  protected:
    // Reads the file and searches it, as one lookup does; changed: another
    // program touched the file before each lookup.
    void lookup(benchmark::State& state, const std::string& typed, bool changed) {
        PlistFile store;
        for (auto _ : state) {
            if (changed)
                ::utimensat(AT_FDCWD, path_.c_str(), nullptr, 0);
            const StringArrayFile file = store.readStringArray(path_);
            auto answer = findInHistory(file.items, typed);
            benchmark::DoNotOptimize(answer);
        }
        state.counters["file_bytes"] = fileBytes_;
    }
    std::string newest() const {
        char buf[32];
        std::snprintf(buf, sizeof buf, "Place %06d", pairs_ - 1);
        return buf;
    }

    QTemporaryDir dir_;
    std::string path_;
    int pairs_ = 0;
    double fileBytes_ = 0;
};

BENCHMARK_DEFINE_F(HistoryFile, ReadAndMissEveryPair)(benchmark::State& state) {
    lookup(state, "Nowhere at all", false);
}
BENCHMARK_DEFINE_F(HistoryFile, ReadChangedFileAndMissEveryPair)(benchmark::State& state) {
    lookup(state, "Nowhere at all", true);
}
BENCHMARK_DEFINE_F(HistoryFile, ReadAndHitTheNewestPair)(benchmark::State& state) {
    lookup(state, newest(), false);
}
BENCHMARK_DEFINE_F(HistoryFile, ReadAndHitTheOldestPair)(benchmark::State& state) {
    lookup(state, "Place 000000", false);
}

// A fresh answer rewrites the whole file with one more pair; the next end of
// editing reads it.
BENCHMARK_DEFINE_F(HistoryFile, AppendOnePairRewriteAndRead)(benchmark::State& state) {
    PlistFile store;
    std::vector<std::string> list = store.readStringArray(path_).items;
    for (auto _ : state) {
        list.emplace_back("Extra place");
        list.emplace_back("1.0|2.0|Extra");
        benchmark::DoNotOptimize(store.writeStringArrayAtomically(path_, list));
        const StringArrayFile file = store.readStringArray(path_);
        benchmark::DoNotOptimize(file.items.size());
    }
}

#define HISTORY_SIZES Unit(benchmark::kMillisecond)->Arg(10'000)->Arg(100'000)
BENCHMARK_REGISTER_F(HistoryFile, ReadAndMissEveryPair)->HISTORY_SIZES;
BENCHMARK_REGISTER_F(HistoryFile, ReadChangedFileAndMissEveryPair)->HISTORY_SIZES;
BENCHMARK_REGISTER_F(HistoryFile, ReadAndHitTheNewestPair)->HISTORY_SIZES;
BENCHMARK_REGISTER_F(HistoryFile, ReadAndHitTheOldestPair)->HISTORY_SIZES;
BENCHMARK_REGISTER_F(HistoryFile, AppendOnePairRewriteAndRead)->HISTORY_SIZES;

void SearchOnly(benchmark::State& state) {
    const std::vector<std::string> list = makeHistory(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto answer = findInHistory(list, "Nowhere at all");
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(SearchOnly)->HISTORY_SIZES;

} // namespace
} // namespace terrabo

BENCHMARK_MAIN();
