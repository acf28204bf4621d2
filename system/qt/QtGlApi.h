#pragma once

#include "platform/GlApi.h"

namespace terrabo {

// Fills the table from the current Qt GL context; false if an entry is missing.
bool loadGlApi(GlApi& api);

} // namespace terrabo
