// The virtual board behind the trapped window. Its clock runs as under
// kovrin-sim: 1 us per port access, plus the program's pauses (Stall), so
// the board goes through the very same states as on the host.
#include <cstddef>
#include <cstdint>

#include "platform/uefi/trap/trap_services.h"
#include "sim/board.h"
#include "sim/parts.h"

namespace {

sim::Board gBoard;
uint8_t* gFlash;

bool Same(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// A decimal number up to max, digits only.
bool Decimal(const char* text, uint64_t max, uint64_t* value)
{
    uint64_t n = 0;
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9')
            return false;
        const uint64_t digit = static_cast<uint64_t>(*text - '0');
        if (n > (max - digit) / 10)
            return false;
        n = n * 10 + digit;
    }
    *value = n;
    return true;
}

// Each returns why the value is refused, or nullptr.
using Apply = const char* (*)(const char* value, sim::Config* config);

struct Option {
    const char* name;
    Apply apply;
};

const Option kOptions[] = {
    {"--flash",
     [](const char* value, sim::Config* config) -> const char* {
         const sim::PartInfo* part = sim::FindPart(value);
         if (part == nullptr)
             return "unknown part";
         config->flash = part->part;
         return nullptr;
     }},
    {"--flash-size",
     [](const char* value, sim::Config* config) -> const char* {
         uint64_t kb = 0;
         if (!Decimal(value, 16384, &kb) || kb < 64 || (kb & (kb - 1)) != 0)
             return "not a power of two from 64 to 16384";
         config->flash_kb = static_cast<uint32_t>(kb);
         return nullptr;
     }},
    {"--project",
     [](const char* value, sim::Config* config) -> const char* {
         size_t length = 0;
         while (value[length] != '\0')
             ++length;
         if (length > sizeof config->project)
             return "longer than 10 bytes";
         for (size_t i = 0; i < sizeof config->project; ++i)
             config->project[i] = i < length ? static_cast<uint8_t>(value[i]) : 0;
         return nullptr;
     }},
    {"--hang",
     [](const char* value, sim::Config* config) -> const char* {
         uint64_t count = 0;
         if (!Decimal(value, UINT64_MAX, &count))
             return "not a decimal count";
         config->hang = true;
         config->hang_after = count;
         return nullptr;
     }},
};

// The board options this driver knows, in the syntax of the -sim programs.
// The one place that reads them: the board's own parser takes over here
// once it builds freestanding.
const char* ReadBoardOptions(int argc, char** argv, sim::Config* config, int* bad)
{
    for (int i = 0; i < argc; ++i) {
        *bad = i;
        const Option* option = nullptr;
        for (const Option& o : kOptions) {
            if (Same(argv[i], o.name))
                option = &o;
        }
        if (option == nullptr)
            return "unknown board option";
        if (i + 1 >= argc)
            return "missing value";
        ++i;
        if (const char* wrong = option->apply(argv[i], config); wrong != nullptr)
            return wrong;
    }
    return nullptr;
}

}  // namespace

extern "C" const char* TrapBoardReset(int argc, char** argv, int* bad)
{
    sim::Config config;
    if (const char* wrong = ReadBoardOptions(argc, argv, &config, bad); wrong != nullptr)
        return wrong;

    const size_t bytes = static_cast<size_t>(config.flash_kb) * 1024;
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
