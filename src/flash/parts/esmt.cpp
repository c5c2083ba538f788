// ESMT F25L: its size is not taken from its id here.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kEsmt = PlainRow(0x8C, " SPI Vendor       : ESMT ", "ESMT");

}  // namespace flash::parts
