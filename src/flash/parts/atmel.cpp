// Atmel AT25: its ids code the size in a way not relied on here.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kAtmel = PlainRow(0x1F, " SPI Vendor       : Atmel ", "Atmel");

}  // namespace flash::parts
