// kovrin-sim.efi: the virtual board in place of the LPC window and its clock,
// so that whole updates run in a real UEFI shell and can be set against
// kovrin-sim on the host. Board options come before "--" and are read by the
// board's own parser, as there; those that need the host's files, clock or
// signals (--trace, --trace-time, --stats, --real-time, --signal) are refused
// here.
#include <cstddef>
#include <cstdint>

#include "common/print.h"
#include "common/program.h"
#include "driver/tool_main.h"
#include "platform/platform.h"
#include "platform/uefi/uefi_services.h"
#include "sim/board.h"
#include "sim/options.h"
#include "sim/parts.h"

namespace {

// The board program's own refusals, apart from the tool's 0 and 1.
constexpr int kRefused = 2;
constexpr const char* kBoardProgram = "kovrin-sim";

sim::Config gConfig;
sim::Board gBoard;
uint8_t* gFlash;

size_t FlashBytes()
{
    return static_cast<size_t>(sim::FlashKb(gConfig)) * 1024;
}

void ShowLine(void*, const char* line)
{
    Print("%s\n", line);
}

// -1: the board stands; otherwise the status to end with.
int ReadOptions(int argc, char** argv, int* tool_first)
{
    sim::BoardArgs args;
    sim::ParseBoardArgs(argc, argv, &gConfig, &args);
    *tool_first = args.tool_first;
    switch (args.start) {
    case sim::BoardStart::kRefused:
        Print("%s: %s\n", kBoardProgram, args.why.c_str());
        return kRefused;
    case sim::BoardStart::kHelp:
        sim::BoardHelp(kBoardProgram, false, ShowLine, nullptr);
        return 0;
    case sim::BoardStart::kVersion:
        Print("%s %s\n", kBoardProgram, kProgram.version);
        return 0;
    case sim::BoardStart::kRun:
        break;
    }
    if (args.host_only != 0) {
        Print("%s: %s: not available in the UEFI shell\n", kBoardProgram, argv[args.host_only]);
        return kRefused;
    }
    return -1;
}

// The power-on content from byte 0, through the tool's own file functions;
// a shorter file leaves the rest erased, as on the host.
bool ReadFlashIn()
{
    platform::File* in = platform::FileOpen(gConfig.flash_in);
    uint64_t length = 0;
    const bool fits = in != nullptr && platform::FileLength(in, &length) && length <= FlashBytes();
    const bool read = fits && platform::FileRead(in, gFlash, static_cast<size_t>(length)) == length;
    if (in != nullptr)
        platform::FileClose(in);
    if (!read)
        Print("%s: --flash-in %s: cannot be read, or longer than the %u KB flash\n", kBoardProgram,
              gConfig.flash_in, static_cast<unsigned>(sim::FlashKb(gConfig)));
    return read;
}

}  // namespace

extern "C" int KovrinRunTool(int argc, char** argv)
{
    int first = argc;
    if (const int status = ReadOptions(argc, argv, &first); status >= 0)
        return status;

    gFlash = static_cast<uint8_t*>(UefiAlloc(FlashBytes()));
    char** args = static_cast<char**>(UefiAlloc(sizeof(char*) * static_cast<size_t>(argc - first + 2)));
    if (gFlash == nullptr || args == nullptr) {
        Print("%s: no memory for the board\n", kBoardProgram);
        return kRefused;
    }
    for (size_t a = 0; a < FlashBytes(); ++a)
        gFlash[a] = 0xFF;
    if (gConfig.flash_in != nullptr && !ReadFlashIn()) {
        UefiFree(gFlash);
        gFlash = nullptr;  // no board ran: nothing for --flash-out
        return kRefused;
    }
    gBoard.Init(gConfig, gFlash);

    // The tool sees the simulator's own name as its program name.
    int count = 0;
    args[count++] = argv[0];
    for (int i = first; i < argc; ++i)
        args[count++] = argv[i];
    args[count] = nullptr;
    return driver::ToolMain(count, args);
}

// What the flash reads back goes to --flash-out, however the run ended.
extern "C" int KovrinRunEnded(int status)
{
    if (gFlash == nullptr || gConfig.flash_out == nullptr)
        return status;
    uint8_t* content = static_cast<uint8_t*>(UefiAlloc(FlashBytes()));
    if (content == nullptr) {
        Print("%s: no memory for --flash-out\n", kBoardProgram);
        return kRefused;
    }
    for (size_t a = 0; a < FlashBytes(); ++a)
        content[a] = gBoard.FlashByte(static_cast<uint32_t>(a));
    if (UefiFileWriteAll(gConfig.flash_out, content, FlashBytes()) == 0) {
        Print("%s: --flash-out %s: cannot be written\n", kBoardProgram, gConfig.flash_out);
        return kRefused;
    }
    return status;
}

namespace platform {

uint8_t IoRead8(uint16_t port)
{
    return gBoard.Read(static_cast<uint8_t>(port));
}

void IoWrite8(uint16_t port, uint8_t value)
{
    gBoard.Write(static_cast<uint8_t>(port), value);
}

// Pauses pass on the board's clock only: a 128 KB update takes seconds of
// board time and none of the shell's.
void DelayUs(uint32_t us)
{
    if (us > 0)
        gBoard.Pause(us);
}

uint64_t NowUs()
{
    return gBoard.NowUs();
}

}  // namespace platform
