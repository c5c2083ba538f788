#include "options.h"

#include "parts.h"

namespace sim {

namespace {

using Why = Text<400>;

// Ports of the devices at fixed places, which the BRAM bank must leave alone.
constexpr uint8_t kFixedPorts[] = {0x4E, 0x4F, 0x60, 0x62, 0x64, 0x66, 0x68, 0x6C};

constexpr size_t Length(const char* text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

bool Same(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The whole of [begin, end) as a number in base 10 or 16, at most max: no
// sign, blank or stray character.
bool Number(const char* begin, const char* end, unsigned base, uint64_t max, uint64_t* out)
{
    if (begin == end)
        return false;
    uint64_t value = 0;
    for (const char* p = begin; p != end; ++p) {
        unsigned digit;
        const char c = *p;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        if (value > (max - digit) / base)
            return false;
        value = value * base + digit;
    }
    *out = value;
    return true;
}

bool HexPrefix(const char* begin, const char* end)
{
    return end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X');
}

bool Decimal(const char* text, uint64_t max, uint64_t* out)
{
    return Number(text, text + Length(text), 10, max, out);
}

// Hex digits with an optional 0x.
bool Hex(const char* begin, const char* end, uint64_t max, uint64_t* out)
{
    if (HexPrefix(begin, end))
        begin += 2;
    return Number(begin, end, 16, max, out);
}

bool Hex(const char* text, uint64_t max, uint64_t* out)
{
    return Hex(text, text + Length(text), max, out);
}

// A byte: decimal, or hex with 0x.
bool Byte(const char* begin, const char* end, uint8_t* out)
{
    uint64_t value = 0;
    const bool ok = HexPrefix(begin, end) ? Number(begin + 2, end, 16, 0xFF, &value)
                                          : Number(begin, end, 10, 0xFF, &value);
    *out = static_cast<uint8_t>(value);
    return ok;
}

// "A<separator>B": where the separator is, nullptr when it is missing.
const char* Split(const char* text, char separator)
{
    for (; *text != '\0'; ++text) {
        if (*text == separator)
            return text;
    }
    return nullptr;
}

bool ZeroFilled(const char* value, uint8_t* out, size_t size, Why* why)
{
    const size_t length = Length(value);
    if (length > size) {
        why->Put("longer than ").Decimal(size).Put(" bytes");
        return false;
    }
    for (size_t i = 0; i < size; ++i)
        out[i] = i < length ? static_cast<uint8_t>(value[i]) : 0;
    return true;
}

bool HexByte(const char* value, uint8_t* out, Why* why)
{
    uint64_t byte = 0;
    if (!Hex(value, 0xFF, &byte)) {
        why->Put("not a hex byte");
        return false;
    }
    *out = static_cast<uint8_t>(byte);
    return true;
}

bool Count32(const char* value, uint32_t* out, Why* why)
{
    uint64_t count = 0;
    if (!Decimal(value, 0xFFFFFFFF, &count)) {
        why->Put("not a decimal count");
        return false;
    }
    *out = static_cast<uint32_t>(count);
    return true;
}

bool FileName(const char* value, const char** out, Why* why)
{
    if (*value == '\0') {
        why->Put("empty file name");
        return false;
    }
    *out = value;
    return true;
}

void PartNames(Why* why)
{
    size_t count = 0;
    const PartInfo* parts = AllParts(&count);
    for (size_t p = 0; p < count; ++p)
        why->Put(p == 0 ? "" : ", ").Put(parts[p].name);
}

template <typename Out>
void Sizes(const PartInfo& part, Out* out)
{
    for (size_t m = 0; m < part.member_count; ++m) {
        const uint32_t kb = part.members[m].kb;
        if (kb == 0) {
            out->Put("any power of two from 64 to 16384, ").Decimal(part.default_kb).Put('*');
            continue;
        }
        out->Put(m == 0 ? "" : " ").Decimal(kb);
        if (kb == part.default_kb)
            out->Put('*');
    }
}

bool Flash(const char* value, Config* config, Why* why)
{
    const PartInfo* part = FindPart(value);
    if (part == nullptr) {
        why->Put("unknown part; one of ");
        PartNames(why);
        return false;
    }
    config->flash = part->part;
    return true;
}

bool FlashSize(const char* value, Config* config, Why* why)
{
    uint64_t kb = 0;
    if (!Decimal(value, 16384, &kb) || kb < 64 || (kb & (kb - 1)) != 0) {
        why->Put("not a power of two from 64 to 16384");
        return false;
    }
    config->flash_kb = static_cast<uint32_t>(kb);
    return true;
}

bool ChipId(const char* value, Config* config, Why* why)
{
    if (Same(value, "none")) {
        config->sio_present = false;
        return true;
    }
    uint64_t id = 0;
    if (!Hex(value, 0xFFFF, &id)) {
        why->Put("not a 16-bit hex number or none");
        return false;
    }
    config->sio_present = true;
    config->chip_id = static_cast<uint16_t>(id);
    return true;
}

bool LdnBase(const char* value, Config* config, Why* why)
{
    uint64_t base = 0;
    if (!Hex(value, 0xFFFF, &base)) {
        why->Put("not a 16-bit hex number");
        return false;
    }
    const uint8_t bank[] = {static_cast<uint8_t>(base), static_cast<uint8_t>(base + 1)};
    for (const uint8_t port : bank) {
        for (const uint8_t fixed : kFixedPorts) {
            if (port == fixed) {
                why->Put("its bank would take port 0x").Hex(port, 2, true).Put(" of another device");
                return false;
            }
        }
    }
    config->ldn_base = static_cast<uint16_t>(base);
    return true;
}

bool Bram(const char* value, Config* config, Why* why)
{
    const char* comma = Split(value, ',');
    uint8_t high = 0;
    uint8_t low = 0;
    if (comma == nullptr || !Byte(value, comma, &high) || !Byte(comma + 1, comma + 1 + Length(comma + 1), &low)) {
        why->Put("not H,L (bytes, decimal or 0x hex)");
        return false;
    }
    config->bram[0] = high;
    config->bram[1] = low;
    return true;
}

bool EcVersion(const char* value, Config* config, Why* why)
{
    const char* dot = Split(value, '.');
    uint64_t high = 0;
    uint64_t low = 0;
    if (dot == nullptr || !Number(value, dot, 10, 0xFF, &high) ||
        !Number(dot + 1, dot + 1 + Length(dot + 1), 10, 0xFF, &low)) {
        why->Put("not H.L (decimal bytes)");
        return false;
    }
    config->ec_version[0] = static_cast<uint8_t>(high);
    config->ec_version[1] = static_cast<uint8_t>(low);
    return true;
}

bool Stuck(const char* value, Config* config, Why* why)
{
    const char* equals = Split(value, '=');
    uint64_t address = 0;
    uint64_t byte = 0;
    if (equals == nullptr || !Hex(value, equals, 0xFFFFFFFF, &address) || !Hex(equals + 1, 0xFF, &byte)) {
        why->Put("not ADDR=VAL (hex)");
        return false;
    }
    if (config->stuck_count == Config::kMaxStuck) {
        why->Put("more than ").Decimal(Config::kMaxStuck).Put(" stuck bytes");
        return false;
    }
    config->stuck[config->stuck_count++] = {static_cast<uint32_t>(address), static_cast<uint8_t>(byte)};
    return true;
}

bool Hang(const char* value, Config* config, Why* why)
{
    uint64_t count = 0;
    if (!Decimal(value, UINT64_MAX, &count)) {
        why->Put("not a decimal count");
        return false;
    }
    config->hang = true;
    config->hang_after = count;
    return true;
}

bool Jitter(const char* value, Config* config, Why* why)
{
    uint64_t seed = 0;
    if (!Decimal(value, UINT64_MAX, &seed)) {
        why->Put("not a decimal seed");
        return false;
    }
    config->jitter = true;
    config->jitter_seed = seed;
    return true;
}

bool AccessUs(const char* value, Config* config, Why* why)
{
    uint64_t us = 0;
    if (!Decimal(value, 1000000, &us) || us == 0) {
        why->Put("not a count of microseconds from 1 to 1000000");
        return false;
    }
    config->port_access_us = static_cast<uint32_t>(us);
    return true;
}

// Whether [begin, end) spells name.
bool Spells(const char* begin, const char* end, const char* name)
{
    for (; begin != end; ++begin, ++name) {
        if (*name == '\0' || *name != *begin)
            return false;
    }
    return *name == '\0';
}

bool SignalAt(const char* value, Config* config, Why* why)
{
    struct Name {
        const char* name;
        Signal signal;
    };
    constexpr Name kNames[] = {{"INT", Signal::kInt},   {"TERM", Signal::kTerm}, {"HUP", Signal::kHup},
                               {"QUIT", Signal::kQuit}, {"TSTP", Signal::kTstp}, {"PIPE", Signal::kPipe}};
    const char* at = Split(value, '@');
    uint64_t after = 0;
    if (at != nullptr && Decimal(at + 1, UINT64_MAX, &after) && after != 0) {
        for (const Name& n : kNames) {
            if (Spells(value, at, n.name)) {
                config->signal = n.signal;
                config->signal_after = after;
                return true;
            }
        }
    }
    why->Put("not NAME@N (INT, TERM, HUP, QUIT, TSTP or PIPE; N port accesses from 1)");
    return false;
}

// The switches that take no value.
bool Set(bool* flag)
{
    *flag = true;
    return true;
}

bool Status2(const char* value, Config* config, Why* why)
{
    return HexByte(value, &config->flash_status2, why);
}

using Apply = bool (*)(const char* value, Config* config, Why* why);

struct Row {
    BoardOption option;
    Apply apply;  // nullptr: --help and --version
};

constexpr Row kRows[] = {
    {{"--flash", "PART", "the flash part (parts below)", "winbond", false}, Flash},
    {{"--flash-size", "KB", "its size: one its family comes in (below)", "the size marked *", false}, FlashSize},
    {{"--flash-in", "FILE", "power-on flash content from byte 0, the rest 0xFF", "all 0xFF", false},
     [](const char* v, Config* c, Why* w) { return FileName(v, &c->flash_in, w); }},
    {{"--flash-out", "FILE", "the whole flash as it reads back at the end", "none", false},
     [](const char* v, Config* c, Why* w) { return FileName(v, &c->flash_out, w); }},
    {{"--chip-id", "HEX", "Super I/O registers 0x20, 0x21; none: no Super I/O", "5570", false}, ChipId},
    {{"--sio-locked", nullptr, "Super I/O registers answer only after the entry key", "open", false},
     [](const char*, Config* c, Why*) { return Set(&c->sio_locked); }},
    {{"--ldn-base", "HEX", "registers 0x60, 0x61 of logical device 0x10", "0070", false}, LdnBase},
    {{"--bram", "H,L", "bank indexes 0x10, 0x11 of logical device 0x10", "1,0x41", false}, Bram},
    {{"--ec-version", "H.L", "EC memory 0x00, 0x01 (decimal)", "1.0", false}, EcVersion},
    {{"--project", "TEXT", "EC memory 0x0AA0-0x0AA9, up to 10 bytes", "DEMO", false},
     [](const char* v, Config* c, Why* w) { return ZeroFilled(v, c->project, sizeof c->project, w); }},
    {{"--varnel", "TEXT", "EC memory 0xD8-0xDF, up to 8 bytes", "V1.0.0.0", false},
     [](const char* v, Config* c, Why* w) { return ZeroFilled(v, c->varnel, sizeof c->varnel, w); }},
    {{"--ack", "HEX", "the EC's answer to 0xDC", "33", false},
     [](const char* v, Config* c, Why* w) { return HexByte(v, &c->ack, w); }},
    {{"--status", "HEX", "non-volatile value of the flash's status register 1", "00", false},
     [](const char* v, Config* c, Why* w) { return HexByte(v, &c->flash_status, w); }},
    {{"--status2", "HEX", "non-volatile value of its status register 2 (W25Q, GD25Q)", "00", false}, Status2},
    {{"--wp-low", nullptr, "the flash's WP# pin is held low", "high", false},
     [](const char*, Config* c, Why*) { return Set(&c->wp_low); }},
    {{"--no-sfdp", nullptr, "no flash part answers 0x5A (SFDP)", "off", false},
     [](const char*, Config* c, Why*) { return Set(&c->no_sfdp); }},
    {{"--stuck", "ADDR=VAL", "the flash byte at ADDR always reads VAL (hex; up to 64)", "none", false}, Stuck},
    {{"--ec-latency", "N", "status reads of an EC pair before it takes a byte or has a reply", "0", false},
     [](const char* v, Config* c, Why* w) { return Count32(v, &c->ec_latency, w); }},
    {{"--kbc-latency", "N", "status reads of 0x64 before the keyboard controller takes a byte", "0", false},
     [](const char* v, Config* c, Why* w) { return Count32(v, &c->kbc_latency, w); }},
    {{"--jitter", "SEED", "each latency drawn from 0..N, the same for the same SEED", "off", false}, Jitter},
    {{"--kbc-pending", "N", "bytes waiting in the keyboard controller at start", "0", false},
     [](const char* v, Config* c, Why* w) { return Count32(v, &c->kbc_pending, w); }},
    {{"--hang", "N", "the EC takes N mailbox bytes, then none", "off", false}, Hang},
    {{"--flash-busy-forever", nullptr, "the flash stays busy after its first program or erase", "off", false},
     [](const char*, Config* c, Why*) { return Set(&c->flash_busy_forever); }},
    {{"--trace", "FILE", "the transaction trace", "none", true},
     [](const char* v, Config* c, Why* w) { return FileName(v, &c->trace, w); }},
    {{"--trace-time", nullptr, "each trace line begins with the board time in us", "off", true},
     [](const char*, Config* c, Why*) { return Set(&c->trace_time); }},
    {{"--stats", "FILE", "counters and modeled time as one JSON object", "none", true},
     [](const char* v, Config* c, Why* w) { return FileName(v, &c->stats, w); }},
    {{"--access-us", "N", "board time one port access costs, in us (1 to 1000000)", "1", false}, AccessUs},
    {{"--real-time", nullptr, "the tool's pauses really sleep", "off", true},
     [](const char*, Config* c, Why*) { return Set(&c->real_time); }},
    {{"--signal", "NAME@N", "the program sends itself signal NAME after N port accesses", "none", true},
     SignalAt},
    {{"--help", nullptr, "this help", "", false}, nullptr},
    {{"--version", nullptr, "the program's version", "", false}, nullptr},
};

constexpr size_t kRowCount = sizeof kRows / sizeof kRows[0];

// A BoardOption view of the rows; the table above is the one source.
struct Options {
    BoardOption list[kRowCount];
};
constexpr Options MakeOptions()
{
    Options o{};
    for (size_t i = 0; i < kRowCount; ++i)
        o.list[i] = kRows[i].option;
    return o;
}
constexpr Options kOptions = MakeOptions();

const Row* FindRow(const char* name)
{
    for (const Row& row : kRows) {
        if (Same(name, row.option.name))
            return &row;
    }
    return nullptr;
}

void Refuse(BoardArgs* out, int index)
{
    out->start = BoardStart::kRefused;
    out->refused = index;
}

// Checks that need every option: the size the family comes in, stuck
// bytes inside it, a status register 2 the part has.
void CheckWhole(const Config& config, int size_at, int status2_at, const int* stuck_at, BoardArgs* out)
{
    const PartInfo& part = PartInfoOf(config.flash);
    if (status2_at != 0 && part.status2_writable == 0) {
        out->why.Put("--status2 ").Hex(config.flash_status2, 2).Put(": ").Put(part.name);
        out->why.Put(" has no status register 2");
        Refuse(out, status2_at);
        return;
    }
    if (config.flash_kb != 0 && FindMember(part, config.flash_kb) == nullptr) {
        out->why.Put("--flash-size ").Decimal(config.flash_kb).Put(": ").Put(part.name).Put(" comes in ");
        Sizes(part, &out->why);
        out->why.Put(" KB");
        Refuse(out, size_at);
        return;
    }
    const uint64_t bytes = uint64_t{FlashKb(config)} * 1024;
    for (size_t s = 0; s < config.stuck_count; ++s) {
        if (config.stuck[s].address >= bytes) {
            out->why.Put("--stuck ").Hex(config.stuck[s].address, 0, true);
            out->why.Put(": address outside the ").Decimal(FlashKb(config)).Put(" KB flash");
            Refuse(out, stuck_at[s]);
            return;
        }
    }
}

}  // namespace

const BoardOption* BoardOptions(size_t* count)
{
    *count = kRowCount;
    return kOptions.list;
}

void ParseBoardArgs(int argc, char* const* argv, Config* config, BoardArgs* out)
{
    out->start = BoardStart::kRun;
    out->tool_first = argc;
    out->refused = 0;
    out->host_only = 0;
    out->why.Clear();
    int size_at = 0;
    int status2_at = 0;
    int stuck_at[Config::kMaxStuck] = {};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (Same(arg, "--")) {
            out->tool_first = i + 1;
            break;
        }
        const Row* row = FindRow(arg);
        if (row == nullptr) {
            out->why.Put("unknown board option '").Put(arg).Put("' (board options end with --)");
            Refuse(out, i);
            return;
        }
        if (row->apply == nullptr) {
            out->start = Same(arg, "--help") ? BoardStart::kHelp : BoardStart::kVersion;
            return;
        }
        const char* value = "";
        if (row->option.value != nullptr) {
            if (i + 1 >= argc || Same(argv[i + 1], "--")) {
                out->why.Put(arg).Put(": missing value");
                Refuse(out, i);
                return;
            }
            value = argv[i + 1];
        }
        out->why.Put(arg);
        if (row->option.value != nullptr)
            out->why.Put(' ').Put(value);
        out->why.Put(": ");
        const size_t stuck = config->stuck_count;
        if (!row->apply(value, config, &out->why)) {
            Refuse(out, i);
            return;
        }
        out->why.Clear();
        if (row->apply == FlashSize)
            size_at = i;
        if (row->apply == Status2)
            status2_at = i;
        if (row->option.host_only && out->host_only == 0)
            out->host_only = i;
        if (config->stuck_count != stuck)
            stuck_at[stuck] = i;
        if (row->option.value != nullptr)
            ++i;
    }
    CheckWhole(*config, size_at, status2_at, stuck_at, out);
}

void BoardHelp(const char* program, bool host, HelpLine line, void* context)
{
    Text<200> text;
    line(context, text.Put("Usage: ").Put(program).Put(" [BOARD OPTIONS] -- [ARGUMENTS OF THE TOOL]").c_str());
    line(context, "The tool's own code on a virtual board; its arguments follow \"--\".");
    line(context, "");
    line(context, "Board options (HEX: hex digits, 0x allowed; N: decimal):");
    for (const Row& row : kRows) {
        const BoardOption& o = row.option;
        if (o.host_only && !host)
            continue;
        text.Clear();
        text.Put("  ").Put(o.name);
        if (o.value != nullptr)
            text.Put(' ').Put(o.value);
        text.Column(24).Put(o.meaning);
        if (*o.fallback != '\0')
            text.Put(" [").Put(o.fallback).Put(']');
        line(context, text.c_str());
    }
    line(context, "");
    line(context, "Parts for --flash, and the sizes for --flash-size in KB (* without it):");
    size_t count = 0;
    const PartInfo* parts = AllParts(&count);
    for (size_t p = 0; p < count; ++p) {
        text.Clear();
        text.Put("  ").Put(parts[p].name).Column(14).Put(parts[p].family).Put(": ");
        Sizes(parts[p], &text);
        line(context, text.c_str());
    }
}

}  // namespace sim
