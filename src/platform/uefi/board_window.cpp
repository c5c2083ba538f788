// kovrin-sim.efi: the virtual board in place of the LPC window and its clock,
// so that whole updates run in a real UEFI shell and can be set against
// kovrin-sim on the host. Board options come before "--" as there; this
// program knows the few that such a comparison needs:
//   kovrin-sim.efi [--flash PART] [--project NAME] [--flash-in FILE]
//                  [--flash-out FILE] -- ARGS
#include <cstddef>
#include <cstdint>

#include "common/print.h"
#include "common/text.h"
#include "driver/tool_main.h"
#include "platform/platform.h"
#include "platform/uefi/uefi_services.h"
#include "sim/board.h"
#include "sim/parts.h"

namespace {

// The board program's own refusals, apart from the tool's 0 and 1.
constexpr int kRefused = 2;

sim::Config gConfig;
sim::Board gBoard;
uint8_t* gFlash;

bool SetPart(const char* value)
{
    const sim::PartInfo* part = sim::FindPart(value);
    if (part == nullptr)
        return false;
    gConfig.flash = part->part;
    return true;
}

bool SetProject(const char* value)
{
    const size_t length = StrLen(value);
    if (length > sizeof gConfig.project)
        return false;
    for (size_t i = 0; i < sizeof gConfig.project; ++i)
        gConfig.project[i] = i < length ? static_cast<uint8_t>(value[i]) : 0;
    return true;
}

bool SetFlashIn(const char* value)
{
    gConfig.flash_in = value;
    return value[0] != '\0';
}

bool SetFlashOut(const char* value)
{
    gConfig.flash_out = value;
    return value[0] != '\0';
}

struct BoardOption {
    const char* name;
    bool (*apply)(const char* value);
};

const BoardOption kBoardOptions[] = {
    {"--flash", SetPart},
    {"--project", SetProject},
    {"--flash-in", SetFlashIn},
    {"--flash-out", SetFlashOut},
};

// Index of the tool's first argument, or -1 after printing why not.
int ParseBoardOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (StrCmp(argv[i], "--") == 0)
            return i + 1;
        const BoardOption* option = nullptr;
        for (const BoardOption& o : kBoardOptions) {
            if (StrCmp(argv[i], o.name) == 0)
                option = &o;
        }
        if (option == nullptr) {
            Print("kovrin-sim: unknown board option '%s' (board options end with --)\n", argv[i]);
            return -1;
        }
        if (i + 1 >= argc || StrCmp(argv[i + 1], "--") == 0) {
            Print("kovrin-sim: %s: missing value\n", argv[i]);
            return -1;
        }
        ++i;
        if (!option->apply(argv[i])) {
            Print("kovrin-sim: %s %s: not accepted\n", argv[i - 1], argv[i]);
            return -1;
        }
    }
    return argc;
}

size_t FlashBytes()
{
    return static_cast<size_t>(gConfig.flash_kb) * 1024;
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
        Print("kovrin-sim: --flash-in %s: cannot be read, or longer than the flash\n", gConfig.flash_in);
    return read;
}

}  // namespace

extern "C" int KovrinRunTool(int argc, char** argv)
{
    const int first = ParseBoardOptions(argc, argv);
    if (first < 0)
        return kRefused;

    gFlash = static_cast<uint8_t*>(UefiAlloc(FlashBytes()));
    char** args = static_cast<char**>(UefiAlloc(sizeof(char*) * static_cast<size_t>(argc - first + 2)));
    if (gFlash == nullptr || args == nullptr) {
        PrintText("kovrin-sim: no memory for the board\n");
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
        PrintText("kovrin-sim: no memory for --flash-out\n");
        return kRefused;
    }
    for (size_t a = 0; a < FlashBytes(); ++a)
        content[a] = gBoard.FlashByte(static_cast<uint32_t>(a));
    if (UefiFileWriteAll(gConfig.flash_out, content, FlashBytes()) == 0) {
        Print("kovrin-sim: --flash-out %s: cannot be written\n", gConfig.flash_out);
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
