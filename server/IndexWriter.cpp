#include "server/IndexWriter.h"

#include "server/IndexFormat.h"
#include "server/TextFold.h"
#include "server/Typos.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

namespace terrabo::server {
namespace {

class StringPool {
  public:
    StringRef add(const std::string& text) {
        auto [it, inserted] = offsets_.try_emplace(text, static_cast<uint32_t>(blob_.size()));
        if (inserted)
            blob_ += text;
        return StringRef{it->second, static_cast<uint32_t>(text.size())};
    }
    const std::string& blob() const { return blob_; }

  private:
    std::unordered_map<std::string, uint32_t> offsets_;
    std::string blob_;
};

int32_t toE5(double degrees) {
    return static_cast<int32_t>(std::lround(degrees * 1e5));
}

BoxE5 toBoxE5(const BoundingBox& b) {
    return {toE5(b.latMin), toE5(b.lonMin), toE5(b.latMax), toE5(b.lonMax)};
}

bool boxOnGlobe(const BoundingBox& b) {
    return b.latMin <= b.latMax && b.latMin >= -90 && b.latMax <= 90 && b.lonMin >= -180 &&
           b.lonMin <= 180 && b.lonMax >= -180 && b.lonMax <= 180;
}

std::string foldedOrEmpty(const std::string& text) {
    return foldText(text).value_or("");
}

template <typename T> void appendRecords(std::string& out, const std::vector<T>& records) {
    out.append(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(T));
}

struct PendingKey {
    std::string key;
    uint32_t target;
    uint32_t rank; // smaller sorts first within one key
};

std::vector<KeyRecord> keyRecords(std::vector<PendingKey>& keys, StringPool& pool) {
    std::sort(keys.begin(), keys.end(), [](const PendingKey& a, const PendingKey& b) {
        if (a.key != b.key)
            return a.key < b.key;
        if ((a.target & kWordPrefix) != (b.target & kWordPrefix))
            return !(a.target & kWordPrefix);
        if (a.rank != b.rank)
            return a.rank < b.rank;
        return a.target < b.target;
    });
    std::vector<KeyRecord> records;
    records.reserve(keys.size());
    for (const PendingKey& k : keys)
        records.push_back(KeyRecord{pool.add(k.key), k.target});
    return records;
}

// The folded texts of a name's first words, where they differ from the
// whole: "rio", "riode" of "Rio de Janeiro".
std::vector<std::string> wordPrefixes(const std::string& name) {
    std::vector<std::string> out;
    for (size_t i = 1; i < name.size(); ++i) {
        if ((name[i] != ' ' && name[i] != '-') || name[i - 1] == ' ' || name[i - 1] == '-')
            continue;
        std::string key = foldedOrEmpty(name.substr(0, i));
        if (key.size() >= 4 && (out.empty() || out.back() != key))
            out.push_back(std::move(key));
    }
    return out;
}

bool typoCandidate(std::string_view key) {
    if (typoBudget(key.size()) == 0)
        return false;
    for (const char c : key)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

void addTypoRecords(std::vector<TypoRecord>& out, std::string_view key, uint32_t ref) {
    for (const std::string& v : deletionVariants(key, indexedDeletions(key.size())))
        out.push_back({typoHash(v), ref});
}

} // namespace

std::string IndexWriter::build() const {
    StringPool pool;

    std::vector<CountryInput> countries = countries_;
    std::stable_sort(countries.begin(), countries.end(),
                     [](const CountryInput& a, const CountryInput& b) { return a.code < b.code; });
    std::map<std::string, uint16_t> countryIndex;
    std::vector<CountryRecord> countryRecords;
    std::vector<PendingKey> countryKeys;
    for (const CountryInput& c : countries) {
        if (c.code.size() != 2 || countryIndex.count(c.code) || countryRecords.size() >= kNoCountry)
            continue;
        const auto index = static_cast<uint16_t>(countryRecords.size());
        countryIndex[c.code] = index;
        CountryRecord record{};
        record.name = pool.add(c.name);
        record.latE5 = toE5(c.lat);
        record.lonE5 = toE5(c.lon);
        record.areaKm2 = c.areaKm2;
        std::memcpy(record.code, c.code.data(), 2);
        if (c.box && boxOnGlobe(*c.box)) {
            record.flags |= kHasBox;
            record.box = toBoxE5(*c.box);
        }
        countryRecords.push_back(record);

        // A name's place in the list is its rank: a country's own names
        // come first, and win over the same word among another's names in
        // other languages.
        std::map<std::string, uint32_t> names;
        for (const std::string& n : c.names)
            if (auto key = foldedOrEmpty(n); !key.empty())
                names.try_emplace(std::move(key), static_cast<uint32_t>(names.size()));
        std::set<std::string> codes;
        for (const std::string& n : c.codes)
            if (auto key = foldedOrEmpty(n); !key.empty() && !names.count(key))
                codes.insert(key);
        for (const auto& [key, rank] : names)
            countryKeys.push_back({key, index, rank});
        for (const std::string& key : codes)
            countryKeys.push_back({key, index | kQualifierOnly, 0});
    }

    std::vector<RegionInput> regions = regions_;
    std::stable_sort(regions.begin(), regions.end(),
                     [](const RegionInput& a, const RegionInput& b) {
                         return std::tie(a.country, a.code) < std::tie(b.country, b.code);
                     });
    std::map<std::pair<std::string, std::string>, uint32_t> regionIndex;
    std::vector<RegionRecord> regionRecords;
    for (const RegionInput& r : regions) {
        const auto country = countryIndex.find(r.country);
        if (country == countryIndex.end() || regionIndex.count({r.country, r.code}))
            continue;
        regionIndex[{r.country, r.code}] = static_cast<uint32_t>(regionRecords.size());
        RegionRecord record{};
        record.name = pool.add(r.name);
        record.key = pool.add(foldedOrEmpty(r.name));
        record.codeKey = pool.add(foldedOrEmpty(r.code));
        record.country = country->second;
        regionRecords.push_back(record);
    }

    std::vector<const PlaceInput*> places;
    for (const PlaceInput& p : places_)
        places.push_back(&p);
    std::stable_sort(places.begin(), places.end(),
                     [](const PlaceInput* a, const PlaceInput* b) { return a->id < b->id; });
    std::vector<PlaceRecord> placeRecords;
    std::vector<PendingKey> placeKeys;
    for (const PlaceInput* p : places) {
        const auto index = static_cast<uint32_t>(placeRecords.size());
        PlaceRecord record{};
        record.latE5 = toE5(p->lat);
        record.lonE5 = toE5(p->lon);
        record.importance = p->importance;
        record.name = pool.add(p->name);
        record.kind = static_cast<uint8_t>(p->kind);
        if (p->capital)
            record.flags |= kCapital;
        if (p->box && boxOnGlobe(*p->box)) {
            record.flags |= kHasBox;
            record.box = toBoxE5(*p->box);
        }
        const auto country = countryIndex.find(p->country);
        record.country = country == countryIndex.end() ? kNoCountry : country->second;
        const auto region = regionIndex.find({p->country, p->region});
        record.region = region == regionIndex.end() ? kNoRegion : region->second;
        placeRecords.push_back(record);

        // The name and the ASCII name are the place's own; the rest are
        // alternates unless they fold to one of those. A settlement's first
        // words find it by its own names only: GeoNames' alternates are many.
        std::map<std::string, uint32_t> keys;
        const auto addKey = [&](std::string key, uint32_t flag) {
            if (key.empty())
                return;
            auto [it, inserted] = keys.try_emplace(std::move(key), flag);
            if (!inserted && (it->second & kWordPrefix) == (flag & kWordPrefix))
                it->second &= flag;
            else if (!inserted && !(flag & kWordPrefix))
                it->second = flag; // a whole name beats a first-words key
        };
        for (size_t i = 0; i < p->otherNames.size() + 1; ++i) {
            const std::string& name = i == 0 ? p->name : p->otherNames[i - 1];
            const uint32_t flag = i == 0 || (i == 1 && p->hasAsciiName) ? 0 : kAlternateName;
            addKey(foldedOrEmpty(name), flag);
        }
        for (size_t i = 0; i < p->otherNames.size() + 1; ++i) {
            const std::string& name = i == 0 ? p->name : p->otherNames[i - 1];
            const uint32_t flag = i == 0 || (i == 1 && p->hasAsciiName) ? 0 : kAlternateName;
            if (flag && p->kind == PlaceKind::Settlement)
                continue;
            for (std::string& prefix : wordPrefixes(name))
                if (!keys.count(prefix) || (keys[prefix] & kWordPrefix))
                    addKey(std::move(prefix), flag | kWordPrefix);
        }
        for (const std::string& code : p->codes)
            if (auto key = foldedOrEmpty(code); !key.empty())
                keys[kCodeMark + key] = 0;
        // Best score first, so the first exact hit is the best one.
        for (const auto& [key, flag] : keys)
            placeKeys.push_back({key, index | flag, ~placeKeyScore(flag, record.importance, record.flags)});
    }

    const std::vector<KeyRecord> placeKeyRecords = keyRecords(placeKeys, pool);
    const std::vector<KeyRecord> countryKeyRecords = keyRecords(countryKeys, pool);

    std::vector<TypoRecord> typoRecords;
    for (size_t i = 0; i < placeKeys.size(); ++i) {
        const PendingKey& k = placeKeys[i];
        const PlaceRecord& p = placeRecords[k.target & kTargetMask];
        const bool settlement = p.kind == static_cast<uint8_t>(PlaceKind::Settlement);
        if ((k.target & kWordPrefix) || !typoCandidate(k.key) ||
            (settlement && ((k.target & kAlternateName) || p.importance < kTypoMinPopulation)) ||
            (!settlement && p.importance < kTypoMinFeature))
            continue;
        addTypoRecords(typoRecords, k.key, static_cast<uint32_t>(i));
    }
    for (size_t i = 0; i < countryKeys.size(); ++i)
        if (!(countryKeys[i].target & kQualifierOnly) && typoCandidate(countryKeys[i].key))
            addTypoRecords(typoRecords, countryKeys[i].key, kTypoCountry | static_cast<uint32_t>(i));
    std::sort(typoRecords.begin(), typoRecords.end(), [](const TypoRecord& a, const TypoRecord& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.key < b.key;
    });

    std::vector<std::pair<SectionId, std::string>> sections;
    sections.emplace_back(SectionId::Strings, pool.blob());
    std::string bytes;
    appendRecords(bytes, placeRecords);
    sections.emplace_back(SectionId::Places, std::move(bytes));
    bytes.clear();
    appendRecords(bytes, placeKeyRecords);
    sections.emplace_back(SectionId::PlaceKeys, std::move(bytes));
    bytes.clear();
    appendRecords(bytes, countryRecords);
    sections.emplace_back(SectionId::Countries, std::move(bytes));
    bytes.clear();
    appendRecords(bytes, countryKeyRecords);
    sections.emplace_back(SectionId::CountryKeys, std::move(bytes));
    bytes.clear();
    appendRecords(bytes, regionRecords);
    sections.emplace_back(SectionId::Regions, std::move(bytes));
    sections.emplace_back(SectionId::WorldMap, worldMap_);
    bytes.clear();
    appendRecords(bytes, typoRecords);
    sections.emplace_back(SectionId::TypoKeys, std::move(bytes));

    FileHeader header{};
    std::memcpy(header.magic, kIndexMagic, sizeof header.magic);
    header.version = kIndexVersion;
    header.sectionCount = static_cast<uint32_t>(sections.size());

    const auto align8 = [](uint64_t n) { return (n + 7) & ~uint64_t{7}; };
    std::vector<SectionEntry> table;
    uint64_t offset = align8(sizeof header + sections.size() * sizeof(SectionEntry));
    for (const auto& [id, data] : sections) {
        table.push_back(SectionEntry{static_cast<uint32_t>(id), 0, offset, data.size()});
        offset = align8(offset + data.size());
    }

    std::string out;
    out.reserve(offset);
    out.append(reinterpret_cast<const char*>(&header), sizeof header);
    appendRecords(out, table);
    for (size_t i = 0; i < sections.size(); ++i) {
        out.resize(table[i].offset, '\0');
        out += sections[i].second;
    }
    out.resize(offset, '\0');
    return out;
}

} // namespace terrabo::server
