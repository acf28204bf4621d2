#pragma once

#include "automation/core/Json.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace terrabo::automation {

// Numbers in expectations match within this, absolute: the state's floats are
// 32-bit values and scripts write them as short decimals.
constexpr double kNumberTolerance = 1e-4;

// The value at a dotted path ("alerts.0.message"); array elements by index.
// A missing field, or a step into something that is neither object nor
// array, yields null.
const Json& valueAtPath(const Json& root, std::string_view path);

// Deep comparison, numbers within the tolerance, object key order ignored.
bool jsonMatches(const Json& expected, const Json& actual);

// An array holding a matching element, or a string holding a substring.
bool jsonContains(const Json& container, const Json& value);

// An array's element count or a string's length in Unicode code points (so
// "Zürich" is 6 long, as a person counts it); none for other values.
std::optional<std::size_t> jsonLength(const Json& value);

std::size_t utf8CodePoints(std::string_view text);

} // namespace terrabo::automation
