// The board's messages on standard error, each "<program>: <text>".
#pragma once

#include <string>

namespace sim::host {

// The name shown in front (the program's own, without its directory).
void SetProgramName(const char* argv0);
const char* ProgramName();
void Complain(const std::string& text);

}  // namespace sim::host
