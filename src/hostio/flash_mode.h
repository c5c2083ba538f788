// Flash mode: the keyboard off and the EC handing its SPI flash to the host.
// The update and both stand-alone modes open and close it the same way, and
// a run that ends early (wait.h) closes it as well as it still can.
#pragma once

#include <cstdint>

namespace hostio {

// Keyboard off, EC into flash mode, the acknowledge reported (a wrong one
// changes nothing). closing is the command that will end flash mode
// (kEcClose or kEcCloseWithReset): a timeout from here on sends it, and
// the keyboard's enable, before the run ends.
void OpenFlashMode(uint8_t closing);
// The closing command, then the keyboard back on.
void CloseFlashMode(uint8_t closing);

// A line a timeout prints after its report, before it closes flash mode
// (null: none). An update sets it once the flash begins to change.
void SetTimeoutAdvice(const char* line);

}  // namespace hostio
