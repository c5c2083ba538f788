#pragma once

// The tool's entry: what each platform's program entry calls with its
// arguments. Returns the exit status, 0 or 1.
int ToolMain(int argc, char* argv[]);
// The common exit: releases the I/O window and gives back the status.
int CommonExit(int status);
