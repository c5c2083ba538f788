#include "sim/host.h"

#include <cstdlib>
#include <cstring>

namespace sim {

int ParseBoardOptions(int argc, char* argv[], Config*, int* tool_first)
{
    *tool_first = argc;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--") == 0) {
            *tool_first = i + 1;
            break;
        }
    }
    return 0;
}

bool OpenBoard(const Config& config, Board* board)
{
    const size_t size = static_cast<size_t>(config.flash_kb) * 1024;
    auto* flash = static_cast<uint8_t*>(malloc(size));
    memset(flash, 0xFF, size);
    board->Init(config, flash);
    return true;
}

bool CloseBoard(const Config&, Board*)
{
    return true;
}

}  // namespace sim
