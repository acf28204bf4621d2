#pragma once

#include "automation/core/Json.h"

#include <ostream>

namespace terrabo::automation {

// Readable failure messages for values compared in the tests.
inline void PrintTo(const Json& value, std::ostream* os) {
    *os << value.dump();
}

} // namespace terrabo::automation
