// The virtual board behind the trapped window. Its clock runs as under
// kovrin-sim: 1 us per port access, plus the program's pauses (Stall), so
// the board goes through the very same states as on the host.
#include <cstddef>
#include <cstdint>

#include "sim/board.h"
#include "sim/options.h"
#include "sim/trap/uefi/trap_services.h"

namespace {

sim::Board gBoard;
uint8_t* gFlash;
// Why the last options were refused; the command prints it.
sim::BoardArgs gRefusal;

// The options as the board's own parser reads them, after a program name;
// those that need a host (files, clock, signals) have no place here.
const char* ReadBoardOptions(int argc, char** argv, sim::Config* config, int* bad)
{
    char** words = static_cast<char**>(TrapAlloc(sizeof(char*) * static_cast<size_t>(argc + 2)));
    if (words == nullptr) {
        *bad = -1;
        return "no memory for the options";
    }
    words[0] = const_cast<char*>("board");
    for (int i = 0; i < argc; ++i)
        words[i + 1] = argv[i];
    words[argc + 1] = nullptr;
    gRefusal = sim::BoardArgs{};
    sim::ParseBoardArgs(argc + 1, words, config, &gRefusal);
    TrapFree(words);
    *bad = -1;
    switch (gRefusal.start) {
    case sim::BoardStart::kRun:
        break;
    case sim::BoardStart::kRefused:
        return gRefusal.why.c_str();
    case sim::BoardStart::kHelp:
    case sim::BoardStart::kVersion:
        return "--help and --version are the board programs' own";
    }
    if (gRefusal.tool_first <= argc) {
        *bad = gRefusal.tool_first - 1;
        return "no tool arguments here: run the tool after the reset";
    }
    if (gRefusal.host_only != 0) {
        *bad = gRefusal.host_only - 1;
        return "not available in the UEFI shell";
    }
    // No file is read or written here: the flash would start erased and
    // stay unsaved without a word.
    if (config->flash_in != nullptr || config->flash_out != nullptr)
        return "--flash-in and --flash-out are not taken here: the flash starts erased, board save writes it";
    return nullptr;
}

}  // namespace

extern "C" const char* TrapBoardReset(int argc, char** argv, int* bad)
{
    sim::Config config;
    if (const char* wrong = ReadBoardOptions(argc, argv, &config, bad); wrong != nullptr)
        return wrong;

    const size_t bytes = static_cast<size_t>(sim::FlashKb(config)) * 1024;
    uint8_t* flash = static_cast<uint8_t*>(TrapAlloc(bytes));
    if (flash == nullptr) {
        *bad = -1;
        return "no memory for the flash";
    }
    for (size_t a = 0; a < bytes; ++a)
        flash[a] = 0xFF;
    TrapFree(gFlash);
    gFlash = flash;
    // Nothing of the last run's board carries over.
    gBoard = sim::Board{};
    gBoard.Init(config, gFlash);
    return nullptr;
}

extern "C" unsigned char TrapBoardRead(unsigned char port)
{
    return gBoard.Read(port);
}

extern "C" void TrapBoardWrite(unsigned char port, unsigned char value)
{
    gBoard.Write(port, value);
}

extern "C" void TrapBoardPause(unsigned long long us)
{
    gBoard.Pause(us);
}

extern "C" unsigned long long TrapBoardFlashSize()
{
    return gBoard.FlashSize();
}

extern "C" void TrapBoardFlashCopy(unsigned char* buffer)
{
    for (size_t a = 0; a < gBoard.FlashSize(); ++a)
        buffer[a] = gBoard.FlashByte(static_cast<uint32_t>(a));
}
