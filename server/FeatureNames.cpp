#include "server/FeatureNames.h"

#include "server/TextFold.h"

#include <algorithm>
#include <array>

namespace terrabo::server {
namespace {

constexpr KindMask kLakes = kindBit(PlaceKind::Lake) | kindBit(PlaceKind::Reservoir);
constexpr KindMask kMountains =
    kindBit(PlaceKind::Peak) | kindBit(PlaceKind::Volcano) | kindBit(PlaceKind::Range);
constexpr KindMask kIslands = kindBit(PlaceKind::Island) | kindBit(PlaceKind::Archipelago);
constexpr KindMask kWaters = kindBit(PlaceKind::Sea) | kindBit(PlaceKind::Ocean) |
                             kindBit(PlaceKind::Gulf) | kindBit(PlaceKind::Bay) |
                             kindBit(PlaceKind::Strait);

struct Generic {
    std::string_view folded; // the word or words, folded
    KindMask kinds;
    std::string_view longForm; // what an abbreviation stands for, or empty
};

// Words before the proper name.
constexpr Generic kLeading[] = {
    {"lake", kLakes, ""},
    {"lago", kLakes, ""},
    {"lac", kLakes, ""},
    {"loch", kLakes, ""},
    {"lough", kLakes, ""},
    {"laguna", kLakes, ""},
    {"ozero", kLakes, ""},
    {"mount", kMountains, ""},
    {"mt", kMountains, "Mount"},
    {"monte", kMountains, ""},
    {"mont", kMountains, ""},
    {"gora", kMountains, ""},
    {"pico", kMountains, ""},
    {"cerro", kMountains, ""},
    {"volcan", kMountains, ""},
    {"volcano", kMountains, ""},
    {"gunung", kMountains, ""},
    {"jabal", kMountains, ""},
    {"jebel", kMountains, ""},
    {"isla", kIslands, ""},
    {"ile", kIslands, ""},
    {"isle", kIslands, ""},
    {"isleof", kIslands, ""},
    {"island", kIslands, ""},
    {"ilha", kIslands, ""},
    {"pulau", kIslands, ""},
    {"rio", kindBit(PlaceKind::River), ""},
    {"river", kindBit(PlaceKind::River), ""},
    {"departementde", kindBit(PlaceKind::Region), ""},
    {"departementdela", kindBit(PlaceKind::Region), ""},
    {"departementdel", kindBit(PlaceKind::Region), ""},
    {"departementdu", kindBit(PlaceKind::Region), ""},
    {"departementdes", kindBit(PlaceKind::Region), ""},
    {"departamentode", kindBit(PlaceKind::Region), ""},
    {"departamentodel", kindBit(PlaceKind::Region), ""},
    {"provinciade", kindBit(PlaceKind::Region), ""},
    {"provinciadi", kindBit(PlaceKind::Region), ""},
    {"provinciadel", kindBit(PlaceKind::Region), ""},
    {"provincede", kindBit(PlaceKind::Region), ""},
    {"provinceof", kindBit(PlaceKind::Region), ""},
    {"estadode", kindBit(PlaceKind::Region), ""},
    {"stateof", kindBit(PlaceKind::Region), ""},
    {"regionde", kindBit(PlaceKind::Region), ""},
    {"cityof", kindBit(PlaceKind::Region), ""},
    {"countyof", kindBit(PlaceKind::Region), ""},
    {"landkreis", kindBit(PlaceKind::Region), ""},
};

// Words after it.
constexpr Generic kTrailing[] = {
    {"lake", kLakes, ""},
    {"reservoir", kLakes, ""},
    {"res", kLakes, "Reservoir"},
    {"sea", kWaters, ""},
    {"ocean", kWaters, ""},
    {"gulf", kWaters, ""},
    {"bay", kWaters, ""},
    {"strait", kWaters, ""},
    {"channel", kWaters, ""},
    {"sound", kWaters, ""},
    {"river", kindBit(PlaceKind::River), ""},
    {"r", kindBit(PlaceKind::River), "River"},
    {"mountains", kMountains, ""},
    {"mountain", kMountains, ""},
    {"mts", kMountains, "Mountains"},
    {"range", kMountains, ""},
    {"ranges", kMountains, ""},
    {"ra", kMountains, "Range"},
    {"hills", kMountains, ""},
    {"highlands", kMountains, ""},
    {"peak", kMountains, ""},
    {"volcano", kMountains, ""},
    {"massif", kMountains, ""},
    {"desert", kindBit(PlaceKind::Desert), ""},
    {"island", kIslands, ""},
    {"islands", kIslands, ""},
    {"isles", kIslands, ""},
    {"i", kIslands, "Island"},
    {"is", kIslands, "Islands"},
    {"plateau", kindBit(PlaceKind::Plateau), ""},
    {"peninsula", kindBit(PlaceKind::Peninsula), ""},
    {"pen", kindBit(PlaceKind::Peninsula), "Peninsula"},
    {"basin", kindBit(PlaceKind::Basin), ""},
    {"delta", kindBit(PlaceKind::Delta), ""},
    {"valley", kindBit(PlaceKind::Valley), ""},
    {"plain", kindBit(PlaceKind::Plain), ""},
    {"plains", kindBit(PlaceKind::Plain), ""},
    {"nationalpark", kindBit(PlaceKind::Park), ""},
    {"np", kindBit(PlaceKind::Park), "National Park"},
    {"park", kindBit(PlaceKind::Park), ""},
    {"internationalairport", kindBit(PlaceKind::Airport), ""},
    {"intlairport", kindBit(PlaceKind::Airport), ""},
    {"regionalairport", kindBit(PlaceKind::Airport), ""},
    {"airport", kindBit(PlaceKind::Airport), ""},
    {"airfield", kindBit(PlaceKind::Airport), ""},
    {"county", kindBit(PlaceKind::Region), ""},
    {"parish", kindBit(PlaceKind::Region), ""},
    {"province", kindBit(PlaceKind::Region), ""},
    {"region", kindBit(PlaceKind::Region), ""},
    {"department", kindBit(PlaceKind::Region), ""},
    {"district", kindBit(PlaceKind::Region), ""},
    {"state", kindBit(PlaceKind::Region), ""},
    {"oblast", kindBit(PlaceKind::Region), ""},
    {"prefecture", kindBit(PlaceKind::Region), ""},
    {"governorate", kindBit(PlaceKind::Region), ""},
    {"municipality", kindBit(PlaceKind::Region), ""},
    {"voivodeship", kindBit(PlaceKind::Region), ""},
    {"krai", kindBit(PlaceKind::Region), ""},
};

// What is left must still name the feature on its own: "Red" of "Red Sea"
// or "North" of "North Sea" does not.
constexpr std::array<std::string_view, 40> kTooVague = {
    "red",    "black",   "white",   "yellow", "green",    "blue",     "dead",   "north",
    "south",  "east",    "west",    "great",  "little",   "big",      "upper",  "lower",
    "grand",  "central", "inner",   "outer",  "new",      "old",      "salt",   "long",
    "high",   "san",     "santa",   "saint",  "northern", "southern", "eastern", "western",
    "middle", "first",   "second",  "the",    "lake",     "mount",    "golden",  "silver",
};

constexpr std::array<std::string_view, 9> kJoiningWords = {"of",  "the", "de", "del", "di",
                                                          "du", "la",  "le", "des"};

template <typename T, size_t N> bool contains(const std::array<T, N>& list, std::string_view s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(text.substr(start, i - start));
    }
    return out;
}

std::string foldedWords(const std::vector<std::string_view>& w, size_t begin, size_t end) {
    std::string out;
    for (size_t i = begin; i < end; ++i)
        out += foldText(w[i]).value_or("");
    return out;
}

std::string joined(const std::vector<std::string_view>& w, size_t begin, size_t end) {
    std::string out;
    for (size_t i = begin; i < end; ++i) {
        if (!out.empty())
            out += ' ';
        out += w[i];
    }
    return out;
}

bool meaningful(const std::vector<std::string_view>& w, size_t begin, size_t end) {
    if (begin >= end)
        return false;
    const std::string rest = foldedWords(w, begin, end);
    const std::string first = foldText(w[begin]).value_or("");
    return rest.size() >= 4 && !contains(kTooVague, rest) && !contains(kJoiningWords, first);
}

// The longest generic phrase of up to three words at the start (leading) or
// the end of `w`, and how many words it takes.
template <size_t N>
const Generic* findGeneric(const Generic (&table)[N], const std::vector<std::string_view>& w,
                           bool leading, size_t& taken) {
    for (size_t n = std::min<size_t>(3, w.size() - 1); n >= 1; --n) {
        const std::string phrase =
            leading ? foldedWords(w, 0, n) : foldedWords(w, w.size() - n, w.size());
        for (const Generic& g : table)
            if (g.folded == phrase) {
                taken = n;
                return &g;
            }
    }
    return nullptr;
}

} // namespace

std::vector<std::string> nameVariants(std::string_view name, PlaceKind kind) {
    std::vector<std::string> out;
    const std::vector<std::string_view> w = words(name);
    if (w.size() < 2)
        return out;
    const KindMask bit = kindBit(kind);
    size_t lead = 0, trail = 0;
    const Generic* leading = findGeneric(kLeading, w, true, lead);
    const Generic* trailing = findGeneric(kTrailing, w, false, trail);
    if (leading && !(leading->kinds & bit))
        leading = nullptr;
    if (trailing && !(trailing->kinds & bit))
        trailing = nullptr;
    if (leading && !leading->longForm.empty())
        out.push_back(std::string(leading->longForm) + " " + joined(w, lead, w.size()));
    // "Mt." stands for Mont and Monte as well: "Mont Blanc" is "Mt. Blanc".
    if (leading && leading->folded == "mt")
        for (const char* form : {"Mont ", "Monte "})
            out.push_back(form + joined(w, lead, w.size()));
    if (trailing && !trailing->longForm.empty())
        out.push_back(joined(w, 0, w.size() - trail) + " " + std::string(trailing->longForm));
    const size_t begin = leading ? lead : 0;
    const size_t end = trailing ? w.size() - trail : w.size();
    if ((leading || trailing) && meaningful(w, begin, end))
        out.push_back(joined(w, begin, end));
    // "Lake Saint Clair" for "Lake St. Clair".
    for (size_t i = 0; i < w.size(); ++i)
        if (w[i] == "St." || w[i] == "St") {
            std::string v = joined(w, 0, i);
            v += (v.empty() ? "" : " ") + std::string("Saint");
            if (i + 1 < w.size())
                v += " " + joined(w, i + 1, w.size());
            out.push_back(std::move(v));
            break;
        }
    return out;
}

std::optional<GenericQuery> withoutGenericWord(std::string_view text) {
    const std::vector<std::string_view> w = words(text);
    if (w.size() < 2)
        return std::nullopt;
    size_t lead = 0, trail = 0;
    if (const Generic* g = findGeneric(kLeading, w, true, lead); g && meaningful(w, lead, w.size()))
        return GenericQuery{foldedWords(w, lead, w.size()), g->kinds};
    if (const Generic* g = findGeneric(kTrailing, w, false, trail);
        g && meaningful(w, 0, w.size() - trail))
        return GenericQuery{foldedWords(w, 0, w.size() - trail), g->kinds};
    return std::nullopt;
}

} // namespace terrabo::server
