// The makers in the order the status screen has always searched them.
#include "parts.h"

namespace flash {

namespace {

const PartRow* const kRows[] = {
    &parts::kSst,  &parts::kWinbond, &parts::kAtmel, &parts::kSt,  &parts::kSpansion,   &parts::kMxic,
    &parts::kAmic, &parts::kEon,     &parts::kEsmt,  &parts::kIte, &parts::kGigaDevice, &parts::kPmc,
};

// Vendor id 0 (not identified) and ids no row holds.
constexpr PartRow kGeneric = parts::PlainRow(0x00, nullptr, nullptr);

}  // namespace

const PartRow& FindPartRow(uint8_t vendor)
{
    for (const PartRow* row : kRows) {
        if (row->vendor == vendor)
            return *row;
    }
    return kGeneric;
}

}  // namespace flash
