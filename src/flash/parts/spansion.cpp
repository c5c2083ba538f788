// Spansion S25FL: its device codes are no log2 of the size.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kSpansion = PlainRow(0x01, " SPI Vendor       : Spansion ", "Spansion");

}  // namespace flash::parts
