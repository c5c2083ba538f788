// Placeholder until the part models land: a flash that answers nothing.
#include "spi_flash.h"

namespace sim {

void SpiFlash::Init(const Config&, uint8_t*, const uint64_t*, Stats*, Trace*) {}
void SpiFlash::Select() {}
void SpiFlash::Deselect() {}
void SpiFlash::Write(uint8_t) {}
uint8_t SpiFlash::Read()
{
    return 0xFF;
}
uint8_t SpiFlash::ByteAt(uint32_t) const
{
    return 0xFF;
}
size_t SpiFlash::size() const
{
    return 0;
}

}  // namespace sim
