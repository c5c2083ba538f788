#include "hexdump.h"

#include "common/print.h"

void hexdump(const uint8_t* data, int size, unsigned long page)
{
    kprint("\n\r%d bytes", size);
    for (int i = 0; i < size; i += 16) {
        kprint("\n\r%05lx: ", page * 256 + static_cast<unsigned long>(i));
        for (int j = i; j < i + 16; ++j) {
            if (j < size)
                kprint("%02x ", data[j]);
            else
                kputs("   ");
        }
        kputs("   ");
    }
}
