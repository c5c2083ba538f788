// The board options in front of "--" on the command line of kovrinux-sim
// and kovrin-sim.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "sim/host.h"
#include "sim/parts.h"
#include "complain.h"
#include "values.h"

namespace sim {

namespace {

using host::ParseByte;
using host::ParseDecimal;
using host::ParseHex;
using host::Split;

// Ports of the devices at fixed places, which the BRAM bank must leave alone.
constexpr uint8_t kFixedPorts[] = {0x4E, 0x4F, 0x60, 0x62, 0x64, 0x66, 0x68, 0x6C};

// An option's handler returns what is wrong with its value ("" when all is
// well). value is the argument itself, so it may be kept in the config.
using Apply = std::string (*)(const char* value, Config* config);

struct Option {
    const char* name;
    bool takes_value;
    Apply apply;
};

std::string PartList()
{
    size_t count = 0;
    const PartInfo* parts = AllParts(&count);
    std::string list;
    for (size_t p = 0; p < count; ++p)
        list += (p == 0 ? "" : ", ") + std::string(parts[p].name);
    return list;
}

std::string ZeroFilledText(const char* value, uint8_t* out, size_t size)
{
    const size_t length = strlen(value);
    if (length > size)
        return "longer than " + std::to_string(size) + " bytes";
    memset(out, 0, size);
    memcpy(out, value, length);
    return "";
}

std::string HexByte(const char* value, uint8_t* out)
{
    const auto byte = ParseHex(value, 0xFF);
    if (!byte)
        return "not a hex byte";
    *out = static_cast<uint8_t>(*byte);
    return "";
}

std::string FileName(const char* value, const char** out)
{
    if (*value == '\0')
        return "empty file name";
    *out = value;
    return "";
}

std::string BankCollision(uint16_t base)
{
    const uint8_t bank[] = {static_cast<uint8_t>(base), static_cast<uint8_t>(base + 1)};
    for (const uint8_t port : bank) {
        for (const uint8_t fixed : kFixedPorts) {
            if (port == fixed) {
                char text[64];
                snprintf(text, sizeof text, "its bank would take port 0x%02X of another device", port);
                return text;
            }
        }
    }
    return "";
}

const Option kOptions[] = {
    {"--flash", true,
     [](const char* value, Config* config) -> std::string {
         const PartInfo* part = FindPart(value);
         if (part == nullptr)
             return "unknown part; one of " + PartList();
         config->flash = part->part;
         return "";
     }},
    {"--flash-size", true,
     [](const char* value, Config* config) -> std::string {
         const auto kb = ParseDecimal(value, 16384);
         if (!kb || *kb < 64 || (*kb & (*kb - 1)) != 0)
             return "not a power of two from 64 to 16384";
         config->flash_kb = static_cast<uint32_t>(*kb);
         return "";
     }},
    {"--flash-in", true, [](const char* value, Config* config) { return FileName(value, &config->flash_in); }},
    {"--flash-out", true, [](const char* value, Config* config) { return FileName(value, &config->flash_out); }},
    {"--chip-id", true,
     [](const char* value, Config* config) -> std::string {
         if (strcmp(value, "none") == 0) {
             config->sio_present = false;
             return "";
         }
         const auto id = ParseHex(value, 0xFFFF);
         if (!id)
             return "not a 16-bit hex number or none";
         config->sio_present = true;
         config->chip_id = static_cast<uint16_t>(*id);
         return "";
     }},
    {"--ldn-base", true,
     [](const char* value, Config* config) -> std::string {
         const auto base = ParseHex(value, 0xFFFF);
         if (!base)
             return "not a 16-bit hex number";
         if (std::string clash = BankCollision(static_cast<uint16_t>(*base)); !clash.empty())
             return clash;
         config->ldn_base = static_cast<uint16_t>(*base);
         return "";
     }},
    {"--bram", true,
     [](const char* value, Config* config) -> std::string {
         const auto parts = Split(value, ',');
         const auto high = parts ? ParseByte(parts->first) : std::nullopt;
         const auto low = parts ? ParseByte(parts->second) : std::nullopt;
         if (!high || !low)
             return "not H,L (bytes, decimal or 0x hex)";
         config->bram[0] = *high;
         config->bram[1] = *low;
         return "";
     }},
    {"--ec-version", true,
     [](const char* value, Config* config) -> std::string {
         const auto parts = Split(value, '.');
         const auto high = parts ? ParseDecimal(parts->first, 0xFF) : std::nullopt;
         const auto low = parts ? ParseDecimal(parts->second, 0xFF) : std::nullopt;
         if (!high || !low)
             return "not H.L (decimal bytes)";
         config->ec_version[0] = static_cast<uint8_t>(*high);
         config->ec_version[1] = static_cast<uint8_t>(*low);
         return "";
     }},
    {"--project", true,
     [](const char* value, Config* config) {
         return ZeroFilledText(value, config->project, sizeof config->project);
     }},
    {"--varnel", true,
     [](const char* value, Config* config) {
         return ZeroFilledText(value, config->varnel, sizeof config->varnel);
     }},
    {"--ack", true, [](const char* value, Config* config) { return HexByte(value, &config->ack); }},
    {"--status", true, [](const char* value, Config* config) { return HexByte(value, &config->flash_status); }},
    {"--stuck", true,
     [](const char* value, Config* config) -> std::string {
         const auto parts = Split(value, '=');
         const auto address = parts ? ParseHex(parts->first, 0xFFFFFFFF) : std::nullopt;
         const auto byte = parts ? ParseHex(parts->second, 0xFF) : std::nullopt;
         if (!address || !byte)
             return "not ADDR=VAL (hex)";
         if (config->stuck_count == Config::kMaxStuck)
             return "more than " + std::to_string(Config::kMaxStuck) + " stuck bytes";
         config->stuck[config->stuck_count++] = {static_cast<uint32_t>(*address), static_cast<uint8_t>(*byte)};
         return "";
     }},
    {"--kbc-pending", true,
     [](const char* value, Config* config) -> std::string {
         const auto count = ParseDecimal(value, 0xFFFFFFFF);
         if (!count)
             return "not a decimal count";
         config->kbc_pending = static_cast<uint32_t>(*count);
         return "";
     }},
    {"--hang", true,
     [](const char* value, Config* config) -> std::string {
         const auto count = ParseDecimal(value, UINT64_MAX);
         if (!count)
             return "not a decimal count";
         config->hang = true;
         config->hang_after = *count;
         return "";
     }},
    {"--access-us", true,
     [](const char* value, Config* config) -> std::string {
         // 0 would stop the clock while the tool polls: its waits would never end.
         const auto us = ParseDecimal(value, 1000000);
         if (!us || *us == 0)
             return "not a decimal count from 1 to 1000000";
         config->port_access_us = static_cast<uint32_t>(*us);
         return "";
     }},
    {"--flash-busy-forever", false,
     [](const char*, Config* config) -> std::string {
         config->flash_busy_forever = true;
         return "";
     }},
    {"--trace", true, [](const char* value, Config* config) { return FileName(value, &config->trace); }},
    {"--stats", true, [](const char* value, Config* config) { return FileName(value, &config->stats); }},
    {"--signal", true,
     [](const char* value, Config* config) -> std::string {
         struct Name {
             const char* name;
             int signo;
         };
         static constexpr Name kNames[] = {{"INT", SIGINT},   {"TERM", SIGTERM}, {"HUP", SIGHUP},
                                       {"QUIT", SIGQUIT}, {"TSTP", SIGTSTP}, {"PIPE", SIGPIPE}};
         const auto parts = Split(value, '@');
         const auto after = parts ? ParseDecimal(parts->second, UINT64_MAX) : std::nullopt;
         if (!parts || !after || *after == 0)
             return "not NAME@N (INT, TERM, HUP, QUIT, TSTP or PIPE; N port accesses from 1)";
         for (const Name& n : kNames) {
             if (parts->first == n.name) {
                 config->signal = n.signo;
                 config->signal_after = *after;
                 return "";
             }
         }
         return "not NAME@N (INT, TERM, HUP, QUIT, TSTP or PIPE; N port accesses from 1)";
     }},
    {"--real-time", false,
     [](const char*, Config* config) -> std::string {
         config->real_time = true;
         return "";
     }},
};

const Option* FindOption(const char* name)
{
    for (const Option& option : kOptions) {
        if (strcmp(name, option.name) == 0)
            return &option;
    }
    return nullptr;
}

int Refuse(const std::string& message)
{
    host::Complain(message);
    return 2;
}

}  // namespace

int ParseBoardOptions(int argc, char* argv[], Config* config, int* tool_first)
{
    if (argc > 0)
        host::SetProgramName(argv[0]);
    *tool_first = argc;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--") == 0) {
            *tool_first = i + 1;
            break;
        }
        const Option* option = FindOption(arg);
        if (option == nullptr)
            return Refuse(std::string("unknown board option '") + arg + "' (board options end with --)");
        const char* value = "";
        if (option->takes_value) {
            if (i + 1 >= argc || strcmp(argv[i + 1], "--") == 0)
                return Refuse(std::string(arg) + ": missing value");
            value = argv[++i];
        }
        if (std::string wrong = option->apply(value, config); !wrong.empty()) {
            const std::string shown = option->takes_value ? std::string(arg) + " " + value : arg;
            return Refuse(shown + ": " + wrong);
        }
    }

    // Checks that need every option seen.
    const uint64_t flash_bytes = static_cast<uint64_t>(config->flash_kb) * 1024;
    for (size_t s = 0; s < config->stuck_count; ++s) {
        if (config->stuck[s].address >= flash_bytes) {
            char text[96];
            snprintf(text, sizeof text, "--stuck %X: address outside the %u KB flash", config->stuck[s].address,
                     config->flash_kb);
            return Refuse(text);
        }
    }
    return 0;
}

}  // namespace sim
