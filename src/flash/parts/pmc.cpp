// PMC Pm25LV: its JEDEC answer begins with the continuation code.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kPmc = PlainRow(0x7F, " SPI Vendor       : PMCDevice ", "PMC");

}  // namespace flash::parts
