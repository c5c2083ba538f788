#pragma once

namespace driver {

// The tool's entry: what each platform's program entry calls with its
// arguments. Returns the exit status, 0 or 1.
int ToolMain(int argc, char* argv[]);

}  // namespace driver
