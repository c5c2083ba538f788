// What the run has changed on the board and must undo if it ends early:
// the keyboard interface disabled, the EC in flash mode.
#pragma once

#include <cstdint>

namespace hostio {

// Call before sending keyboard command 0xAD, and with false once 0xAE is sent.
void SessionKeyboardDisabled(bool disabled);
// Call before sending EC command 0xDC with the closing command that will end
// flash mode (0xFC or 0xFE), and with 0 once the closing command is sent.
void SessionFlashMode(uint8_t closing_command);

}  // namespace hostio
