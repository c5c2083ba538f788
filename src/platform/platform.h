// Everything the shared code asks of the outside world. Exactly one platform
// (linux, uefi or sim) is linked into each program; these are plain
// functions, so a port access is one direct call.
#pragma once

#include <cstddef>
#include <cstdint>

// One byte access to I/O port (port & 0xFF), never cached, merged or repeated.
uint8_t IoRead8(uint16_t port);
void IoWrite8(uint16_t port, uint32_t value);

// A pause of n units: milliseconds in kovrinux, microseconds in kovrin.
void delay(int32_t n);
void clrscr();
void gotoxy(int x, int y);

namespace platform {

// Start-up: make the ports usable. 0 when they are; otherwise the platform
// has printed why and the run ends with status 1 without any port access.
int OpenWindow();
// The common exit's clean-up; harmless when nothing was opened.
void CloseWindow();
// Ends the program from anywhere with status 0 or 1, after CloseWindow.
[[noreturn]] void Exit(int status);

// Console: bytes exactly as given (UTF-8).
void ConsoleWrite(const char* text, size_t length);
// Text attribute (foreground on background, 0x0C light red, 0x0A light green).
void ConsoleAttribute(uint8_t attribute);

// Monotonic microseconds, for time limits only.
uint64_t NowUs();

// The image (or version) file, read once into memory.
struct File;
File* FileOpen(const char* name);
// Length found by seeking to the end and back to the start; false if unknown.
bool FileLength(File* file, uint64_t* length);
// Reads up to length bytes from the current position; returns how many.
size_t FileRead(File* file, uint8_t* buffer, size_t length);
void FileClose(File* file);

// The image buffer: the only allocation of the shared code.
uint8_t* BufferAlloc(size_t length);
void BufferFree(uint8_t* buffer);

}  // namespace platform
