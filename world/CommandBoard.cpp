#include "world/CommandBoard.h"

namespace terrabo {

CommandBoard& commandBoard() {
    static CommandBoard board;
    return board;
}

} // namespace terrabo
