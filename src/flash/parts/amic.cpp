// AMIC A25L: its size is not taken from its id here.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kAmic = PlainRow(0x37, " SPI Vendor       : AMIC ", "AMIC");

}  // namespace flash::parts
