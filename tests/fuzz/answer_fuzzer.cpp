// Any bytes as the lookup service's answer. The documented contract: the
// answer evaluated fresh and its copy stored in the history and read back
// evaluate the same, and no coordinate is ever infinite or undefined.
#include "places/LookupAnswer.h"
#include "system/qt/PropertyList.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace terrabo;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    if (body.size() > kMaxAnswerBytes)
        return 0; // no answer at all

    const std::string fresh = decodeAnswerText(body);
    const auto history = plist::readStringArray(plist::writeStringArray({"typed", fresh}));
    check(history && history->size() == 2, "the history did not read back");
    const std::string& stored = (*history)[1];
    check(stored == fresh, "the stored answer differs from the fresh one");

    const auto now = evaluateAnswer(fresh);
    const auto later = evaluateAnswer(stored);
    check(now.has_value() == later.has_value(), "found fresh but not stored, or back");
    if (now) {
        check(std::isfinite(now->latitude) && std::isfinite(now->longitude), "infinite place");
        check(sameFloat(now->latitude, later->latitude) &&
                  sameFloat(now->longitude, later->longitude) && now->details == later->details,
              "a different place once stored");
        check(now->details.find('N') == std::string::npos, "a found place whose details say N");
    }
    // The raw body goes through the evaluation too, whatever it holds.
    if (const auto raw = evaluateAnswer(body))
        check(std::isfinite(raw->latitude) && std::isfinite(raw->longitude), "infinite raw place");
    return 0;
}
