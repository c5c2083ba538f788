// The tool's platform interface over the firmware services, shared by
// kovrin.efi and kovrin-sim.efi. What differs between the two, the ports and
// the clock, is in port_window.cpp and board_window.cpp.
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "platform/uefi/uefi_services.h"

namespace platform {

void ClearScreen()
{
    UefiClearScreen();
}

void GotoXy(int column, int row)
{
    UefiSetCursor(column, row);
}

void NotePhase(uint8_t) {}

// The shell delivers no signals.
void HoldStopSignals() {}
void ReleaseStopSignals() {}
bool StopRequested()
{
    return false;
}

int OpenWindow()
{
    return 0;
}

void CloseWindow() {}

void Exit(int status)
{
    UefiExit(status);
}

void ConsoleWrite(const char* text, size_t length)
{
    UefiConsoleWrite(text, length);
}

void ConsoleColour(Colour colour)
{
    UefiSetAttribute(static_cast<uint8_t>(colour));
}

File* FileOpen(const char* name)
{
    return static_cast<File*>(UefiFileOpen(name));
}

bool FileLength(File* file, uint64_t* length)
{
    unsigned long long n = 0;
    if (UefiFileLength(file, &n) == 0)
        return false;
    *length = n;
    return true;
}

size_t FileRead(File* file, uint8_t* buffer, size_t length)
{
    return static_cast<size_t>(UefiFileRead(file, buffer, length));
}

void FileClose(File* file)
{
    UefiFileClose(file);
}

OutFile* FileCreate(const char* name, bool* exists)
{
    int found = 0;
    OutFile* file = static_cast<OutFile*>(UefiFileCreate(name, &found));
    *exists = found != 0;
    return file;
}

bool FileWrite(OutFile* file, const uint8_t* bytes, size_t length)
{
    return UefiFileWrite(file, bytes, length) != 0;
}

bool FileCommit(OutFile* file)
{
    return UefiFileCommit(file) != 0;
}

void FileDiscard(OutFile* file)
{
    UefiFileDiscard(file);
}

bool AppendRecord(const char* name, const char* bytes, size_t length)
{
    return UefiFileAppend(name, reinterpret_cast<const unsigned char*>(bytes), length) != 0;
}

bool UtcNow(CivilTime* time)
{
    CALENDAR_TIME now{};
    if (UefiUtcNow(&now) == 0)
        return false;
    *time = {now.Year, now.Month, now.Day, now.Hour, now.Minute, now.Second, now.Millisecond};
    return true;
}

uint8_t* BufferAlloc(size_t length)
{
    return static_cast<uint8_t*>(UefiAlloc(length));
}

void BufferFree(uint8_t* buffer)
{
    UefiFree(buffer);
}

}  // namespace platform
