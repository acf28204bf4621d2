#include "SmallGazetteer.h"

#include "server/Gazetteer.h"
#include "server/IndexFormat.h"
#include "server/IndexWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>

namespace terrabo::server {
namespace {

std::vector<char> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

SectionEntry sectionEntry(const std::vector<char>& file, SectionId id) {
    FileHeader header;
    std::memcpy(&header, file.data(), sizeof header);
    for (uint32_t i = 0; i < header.sectionCount; ++i) {
        SectionEntry e;
        std::memcpy(&e, file.data() + sizeof header + i * sizeof e, sizeof e);
        if (e.id == static_cast<uint32_t>(id))
            return e;
    }
    ADD_FAILURE() << "no section " << static_cast<int>(id);
    return {};
}

template <typename T>
void patchFirst(std::vector<char>& file, SectionId id, const std::function<void(T&)>& change) {
    const SectionEntry e = sectionEntry(file, id);
    T record;
    std::memcpy(&record, file.data() + e.offset, sizeof record);
    change(record);
    std::memcpy(file.data() + e.offset, &record, sizeof record);
}

TEST(GazetteerLoad, RejectsDamagedFiles) {
    const std::vector<char> good = bytesOf(testing::smallGazetteerWriter().build());
    ASSERT_TRUE(Gazetteer::fromBytes(good));

    const struct {
        const char* what;
        std::function<void(std::vector<char>&)> damage;
    } cases[] = {
        {"empty", [](auto& f) { f.clear(); }},
        {"cut inside the header", [](auto& f) { f.resize(10); }},
        {"cut inside the sections", [](auto& f) { f.resize(f.size() / 2); }},
        {"foreign magic", [](auto& f) { f[0] = 'X'; }},
        {"other version", [](auto& f) { f[8] = 99; }},
        {"huge section count", [](auto& f) { f[12] = f[13] = f[14] = f[15] = '\xff'; }},
        {"section past the end",
         [](auto& f) {
             SectionEntry e;
             std::memcpy(&e, f.data() + sizeof(FileHeader), sizeof e);
             e.size = f.size();
             std::memcpy(f.data() + sizeof(FileHeader), &e, sizeof e);
         }},
        {"place name outside the strings",
         [](auto& f) {
             patchFirst<PlaceRecord>(f, SectionId::Places,
                                     [](auto& p) { p.name.offset = 0xFFFFFF00; });
         }},
        {"place in an unknown country",
         [](auto& f) {
             patchFirst<PlaceRecord>(f, SectionId::Places, [](auto& p) { p.country = 4000; });
         }},
        {"place off the globe",
         [](auto& f) {
             patchFirst<PlaceRecord>(f, SectionId::Places, [](auto& p) { p.latE5 = 9100000; });
         }},
        {"place of an unknown kind",
         [](auto& f) {
             patchFirst<PlaceRecord>(f, SectionId::Places, [](auto& p) { p.kind = 200; });
         }},
        {"place box upside down",
         [](auto& f) {
             patchFirst<PlaceRecord>(f, SectionId::Places, [](auto& p) {
                 p.flags |= kHasBox;
                 p.box = {10'00000, 0, -10'00000, 5'00000};
             });
         }},
        {"country box off the globe",
         [](auto& f) {
             patchFirst<CountryRecord>(f, SectionId::Countries, [](auto& c) {
                 c.flags |= kHasBox;
                 c.box = {0, -181'00000, 10'00000, 5'00000};
             });
         }},
        {"key for a place that is not there",
         [](auto& f) {
             patchFirst<KeyRecord>(f, SectionId::PlaceKeys, [](auto& k) { k.target = 5000; });
         }},
        {"key text runs past the strings",
         [](auto& f) {
             patchFirst<KeyRecord>(f, SectionId::CountryKeys,
                                   [](auto& k) { k.key.length = 0x7FFFFFFF; });
         }},
        {"region in an unknown country",
         [](auto& f) {
             patchFirst<RegionRecord>(f, SectionId::Regions, [](auto& r) { r.country = 999; });
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<char> file = good;
        c.damage(file);
        std::string error;
        EXPECT_FALSE(Gazetteer::fromBytes(file, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(GazetteerLoad, MissingFileSaysWhy) {
    std::string error;
    EXPECT_FALSE(Gazetteer::load("/nonexistent/gazetteer.idx", &error));
    EXPECT_NE(error.find("/nonexistent/gazetteer.idx"), std::string::npos);
}

TEST(IndexWriter, OutputDoesNotDependOnInputOrder) {
    std::vector<PlaceInput> places;
    for (uint32_t id = 1; id <= 500; ++id) {
        PlaceInput p;
        p.id = id;
        p.name = "Place" + std::to_string(id % 37);
        p.otherNames = {"Alt" + std::to_string(id % 11)};
        p.importance = (id * 7919) % 1000;
        p.lat = id % 90;
        p.lon = id % 180;
        p.country = id % 2 ? "AA" : "BB";
        places.push_back(p);
    }
    const auto build = [&](std::vector<PlaceInput> list) {
        IndexWriter w;
        w.addCountry({"BB", "Bee", {"Bee"}, {"BB"}, 1, 1, 1});
        w.addCountry({"AA", "Aye", {"Aye"}, {"AA"}, 2, 2, 2});
        for (auto& p : list)
            w.addPlace(std::move(p));
        return w.build();
    };
    const std::string first = build(places);
    std::shuffle(places.begin(), places.end(), std::mt19937(42));
    EXPECT_EQ(first, build(places));
}

// The best prefix match goes through block maxima; compare with a plain scan
// over enough keys to span several blocks of both sizes.
TEST(Gazetteer, BestPrefixMatchAgreesWithAPlainScan) {
    IndexWriter w;
    w.addCountry({"AA", "Aye", {"Aye"}, {"AA"}, 0, 0, 1});
    std::mt19937 random(7);
    for (uint32_t id = 1; id <= 20000; ++id) {
        PlaceInput p;
        p.id = id;
        std::string name = "k";
        for (int i = 0; i < 4; ++i)
            name += static_cast<char>('a' + random() % 6);
        p.name = name;
        p.hasAsciiName = true;
        p.otherNames = {name, "x" + name}; // an alternate name as well
        p.importance = static_cast<uint32_t>(random() % 1000000);
        p.country = "AA";
        w.addPlace(p);
    }
    const std::string bytes = w.build();
    const auto g = Gazetteer::fromBytes(bytesOf(bytes));
    ASSERT_TRUE(g);
    for (const char* prefix : {"k", "ka", "kab", "kfff", "x", "xk", "xkc", "kabcd", "z"}) {
        SCOPED_TRACE(prefix);
        const auto range = g->prefixKeys(g->placeKeys(), prefix);
        const size_t begin = static_cast<size_t>(range.data() - g->placeKeys().data());
        uint32_t bestScore = 0;
        bool any = false;
        for (const KeyRecord& k : range) {
            ASSERT_TRUE(g->text(k.key).starts_with(prefix));
            if (!any || g->score(k) > bestScore)
                bestScore = g->score(k);
            any = true;
        }
        if (range.empty())
            continue;
        const size_t best = g->bestScored(begin, begin + range.size());
        EXPECT_EQ(g->score(g->placeKeys()[best]), bestScore);
        // Every key just outside the range lacks the prefix.
        if (begin > 0) {
            EXPECT_FALSE(g->text(g->placeKeys()[begin - 1].key).starts_with(prefix));
        }
        if (begin + range.size() < g->placeKeys().size()) {
            EXPECT_FALSE(g->text(g->placeKeys()[begin + range.size()].key).starts_with(prefix));
        }
    }
}

} // namespace
} // namespace terrabo::server
