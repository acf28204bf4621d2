// Operations whose features are not built yet: each does nothing for now.
#include "overlay/TerraboLayer.h"
#include "world/CommandBoard.h"

namespace terrabo {

// Creates and requests the banner once the banner service exists.
void TerraboLayer::callAd() {}
// Opens the web map once the web panel exists.
void TerraboLayer::mapAxn() {}
// Opens the page of other applications once the web panel exists.
void TerraboLayer::moreAxn() {}
// Asks for the device's position once the location service exists.
void TerraboLayer::homeLocAxn() {}

} // namespace terrabo
