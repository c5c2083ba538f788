// Everything the shared code asks of the outside world. Exactly one platform
// (linux, uefi or sim) is linked into each program; these are plain
// functions, so a port access is one direct call.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// One byte access to I/O port (port & 0xFF), never cached, merged or repeated.
uint8_t IoRead8(uint16_t port);
void IoWrite8(uint16_t port, uint8_t value);

// A pause; every caller states it in microseconds.
void DelayUs(uint32_t us);

// The status screen: a console that can place its cursor clears and moves
// it; a plain stream ignores both and the text follows in order.
void ClearScreen();
void GotoXy(int column, int row);

// Start-up: make the ports usable. 0 when they are; otherwise the platform
// has printed why and the run ends with status 1 without any port access.
int OpenWindow();
// The common exit's clean-up; harmless when nothing was opened.
void CloseWindow();
// Ends the program from anywhere with status 0 or 1, after CloseWindow,
// releasing every file and buffer the run still holds.
[[noreturn]] void Exit(int status);

// Console: bytes exactly as given (UTF-8).
void ConsoleWrite(const char* text, size_t length);
// Text attributes of the console (foreground on black).
enum class Colour : uint8_t {
    kLightGreen = 0x0A,
    kLightRed = 0x0C,
};
void ConsoleColour(Colour colour);

// From the first byte to the EC until the keyboard is back on, the signals
// that would end the program (interrupt, terminate, hang-up, quit, terminal
// stop) are held: they only ask the run to stop at its next safe point.
// Outside that span they act as usual.
void HoldStopSignals();
void ReleaseStopSignals();
// True once such a signal came while they were held.
bool StopRequested();

// Monotonic microseconds, for time limits only.
uint64_t NowUs();

// Which part of the work the port accesses that follow belong to (see
// flash/phase.h); only the virtual board's platform records it.
void NotePhase(uint8_t phase);

// The image (or version) file, read once into memory.
struct File;
File* FileOpen(const char* name);
// Length found by seeking to the end and back to the start; false if unknown.
bool FileLength(File* file, uint64_t* length);
// Reads up to length bytes from the current position; returns how many.
size_t FileRead(File* file, uint8_t* buffer, size_t length);
void FileClose(File* file);

// The read-out's file: created new, written in order, then committed or
// discarded. One at a time. A run that ends before the commit (Exit) leaves
// no file behind.
struct OutFile;
// Null when the file cannot be created; *exists tells whether that is
// because something already has the name (it is never overwritten).
OutFile* FileCreate(const char* name, bool* exists);
// False when the bytes could not all be written.
bool FileWrite(OutFile* file, const uint8_t* bytes, size_t length);
// Closes the file. False when the data did not reach it whole; the file is
// removed then.
bool FileCommit(OutFile* file);
// Closes and removes the file.
void FileDiscard(OutFile* file);

// A run's record: appends one whole line to the named file, created when
// missing, never truncated; the line goes in as one piece, so records of
// runs that append at once never mix, and it is on the disk when this
// returns. False on any failure, a short write included.
bool AppendRecord(const char* name, const char* bytes, size_t length);

// A calendar time in UTC.
struct CivilTime {
    uint16_t year;
    uint8_t month;  // 1-12
    uint8_t day;    // 1-31
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
    uint16_t millisecond;
};
// The wall clock; false when it cannot be read.
bool UtcNow(CivilTime* time);

// The buffers of the image and of the read-out: the only allocations of the
// shared code.
uint8_t* BufferAlloc(size_t length);
void BufferFree(uint8_t* buffer);

}  // namespace platform
