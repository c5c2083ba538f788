// Test equipment: the unmodified AArch64 kovrinux on the virtual board under
// qemu-aarch64. Preloaded, this library stands in for /dev/mem: the window
// it maps faults on every access, and the fault handler performs each byte
// load or store on the board. The board comes from the variable
// KOVRIN_BOARD, in the syntax of kovrinux-sim's board options; the tool's
// clock and pauses run on the board's virtual clock.
#pragma once

#include <cstdint>

#include "sim/board.h"

namespace trap {

// The board, opened when the library is loaded, closed (files written) when
// the program exits.
sim::Board& TheBoard();
// After each access: --signal sends its signal once its access has come.
void AfterAccess();

// Ends the run at once with status 2 and "kovrin-trap: <text>" on standard
// error; what the tool printed so far is flushed first.
[[noreturn]] void Stop(const char* text);

}  // namespace trap
