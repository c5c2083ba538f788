// The LPC I/O window of the Linux program: 256 bytes of physical memory at
// 0x20000000, mapped from /dev/mem; I/O port N is byte N of the window.
#pragma once

#include <cstdint>

extern int fd;        // the memory device; negative only after a failed open
extern uint8_t* mem;  // the mapped window

// Maps the window from /dev/mem: 0 when mapped, 1 when it could not be.
int MemMap6266();
// The same on another device file (tests map a sparse file in its place).
int MemMapDevice(const char* path);
// Closes the device, then unmaps the window (nothing if never mapped).
void MemUnmap6266();

// Direct waits on the ACPI EC status port 0x66: input buffer empty, output
// buffer full. They return at once after a failed open.
void EcIbFree();
void EcObFull();
