// Taking the EC into flash mode with the keyboard off, and back out. The
// update and both stand-alone modes open and close it the same way.
#pragma once

#include <cstdint>

namespace ec {
inline constexpr uint8_t kPrepareUpdate = 0xDD;
inline constexpr uint8_t kEnterFlashMode = 0xDC;
inline constexpr uint8_t kFlashModeAck = 0x33;
inline constexpr uint8_t kCloseWithReset = 0xFC;
inline constexpr uint8_t kClose = 0xFE;
}  // namespace ec

namespace kbc {
inline constexpr uint8_t kDisableKeyboard = 0xAD;
inline constexpr uint8_t kEnableKeyboard = 0xAE;
}  // namespace kbc

// Keyboard off, EC into flash mode, the acknowledge reported (a wrong one
// changes nothing). closing is the command that will end flash mode: a
// timeout from here on sends it, and 0xAE, before the run ends.
void OpenFlashMode(uint8_t closing);
// The closing command, then the keyboard back on.
void CloseFlashMode(uint8_t closing);
