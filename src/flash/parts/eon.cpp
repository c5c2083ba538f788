// EON EN25: its size is not taken from its id here.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kEon = PlainRow(0x1C, " SPI Vendor       : EON ", "EON");

}  // namespace flash::parts
