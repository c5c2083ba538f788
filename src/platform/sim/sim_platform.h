// The virtual board as the tool's platform: ports, pauses and the clock go
// to a sim::Board instead of the LPC window.
#pragma once

#include <cstdint>
#include <string>

#include "sim/board.h"

namespace simplat {

// The board the tool's ports reach from now on. real_time makes pauses also
// sleep for real.
void Install(sim::Board* board, bool real_time);

// Console text goes to *out instead of standard output (nullptr: stdout).
void CaptureConsole(std::string* out);

// Run when the tool ends, on every road (normal return or platform::Exit):
// receives the tool's status and returns the program's.
void SetFinish(int (*finish)(int status));

// Sends the program signal signo once the board has seen `accesses` port
// accesses (0: never), as an operator would at that moment.
void RaiseAfter(int signo, uint64_t accesses);

// Told of every phase change (flash/phase.h) from now on (nullptr: none).
void ObservePhases(void (*observer)(uint8_t phase));

}  // namespace simplat
