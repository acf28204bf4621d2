// Operations whose features are not built yet: each does nothing for now.
#include "overlay/TerraboLayer.h"
#include "world/CommandBoard.h"

namespace terrabo {

// Opens the web map once the web panel exists.
void TerraboLayer::mapAxn() {}
// Opens the page of other applications once the web panel exists.
void TerraboLayer::moreAxn() {}

} // namespace terrabo
