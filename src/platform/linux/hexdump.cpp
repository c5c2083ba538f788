#include "hexdump.h"

#include "common/print.h"

namespace platform {

void HexDump(const uint8_t* data, int size, unsigned long page)
{
    Print("\n\r%d bytes", size);
    for (int i = 0; i < size; i += 16) {
        Print("\n\r%05lx: ", page * 256 + static_cast<unsigned long>(i));
        for (int j = i; j < i + 16; ++j) {
            if (j < size)
                Print("%02x ", data[j]);
            else
                PrintText("   ");
        }
        PrintText("   ");
    }
}

}  // namespace platform
