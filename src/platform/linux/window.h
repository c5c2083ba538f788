// The LPC I/O window of the Linux program: 256 bytes of physical memory at
// 0x20000000, mapped from /dev/mem; I/O port N is byte N of the window.
#pragma once

namespace platform {

// Maps the window from device_path (tests map a sparse file in place of
// /dev/mem): 0 when mapped, 1 after printing why not.
int MapWindowFrom(const char* device_path);

}  // namespace platform
