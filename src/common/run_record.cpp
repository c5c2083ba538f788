#include "run_record.h"

#include "iso_time.h"
#include "json_line.h"
#include "print.h"
#include "program.h"
#include "platform/platform.h"

namespace runrecord {

namespace {

constexpr const char* kResultWords[] = {
    "ok",          "wrong-parameter", "no-mode",   "no-window",      "file-error",  "project-mismatch",
    "refused",     "erase-failed",    "verify-failed", "final-check-failed", "differs", "protect-failed",
    "test-failed", "not-ite",         "not-newer", "not-equal",      "interrupted", "timeout",
};
static_assert(sizeof kResultWords / sizeof kResultWords[0] == static_cast<size_t>(Result::kTimeout) + 1);


// Everything below is constant-initialised: no constructor runs.
struct Record {
    int argc;
    char** argv;
    const char* log_file;
    platform::CivilTime time;
    bool time_known;
    uint64_t start_us;
    const char* mode;

    char project[16];
    bool project_known;
    char ec_version[32];
    bool ec_version_known;
    uint16_t chip;
    bool chip_known;

    bool flash_known;
    uint8_t id[16];
    size_t id_length;
    const char* maker;
    const char* part;
    uint32_t capacity;
    const char* size_source;

    bool area_known;
    uint32_t base;
    const char* region;
    uint64_t length;

    const char* image_name;
    uint64_t image_length;
    char image_sha256[kSha256HexSize];

    bool flash_whole;
    uint32_t written;
    uint32_t checked;

    bool failed;
    Result result;
    bool ended;
};

Record gRecord;
Sha256 gFlashHash;

// A record line and the text of its numbers.
char gLine[32 * 1024];

void Copy(char* out, size_t size, const char* text)
{
    size_t i = 0;
    for (; text[i] != '\0' && i + 1 < size; ++i)
        out[i] = text[i];
    out[i] = '\0';
}

// The last line printed, without its surrounding blanks.
const char* Message(char (&out)[256])
{
    const char* line = LastPrintedLine();
    while (*line == ' ' || *line == '\t')
        ++line;
    Copy(out, sizeof out, line);
    size_t n = 0;
    while (out[n] != '\0')
        ++n;
    while (n > 0 && (out[n - 1] == ' ' || out[n - 1] == '\t'))
        out[--n] = '\0';
    return out;
}

void PutEc(JsonLine& j, const Record& r)
{
    if (!r.project_known && !r.ec_version_known && !r.chip_known) {
        j.Key("ec").Null();
        return;
    }
    char chip[8];
    FormatText(chip, sizeof chip, "0x%04X", r.chip);
    j.Key("ec").BeginObject();
    j.Key("project").String(r.project_known ? r.project : nullptr);
    j.Key("version").String(r.ec_version_known ? r.ec_version : nullptr);
    j.Key("chip").String(r.chip_known ? chip : nullptr);
    j.EndObject();
}

void PutFlash(JsonLine& j, const Record& r)
{
    if (!r.flash_known) {
        j.Key("flash").Null();
        return;
    }
    char id[3 * 16];
    size_t at = 0;
    for (size_t i = 0; i < r.id_length; ++i)
        at += static_cast<size_t>(FormatText(id + at, sizeof id - at, i == 0 ? "%02x" : " %02x", r.id[i]));
    j.Key("flash").BeginObject();
    j.Key("id").String(id);
    j.Key("maker").String(r.maker);
    j.Key("part").String(r.part);
    j.Key("capacity_kb");
    if (r.capacity != 0)
        j.Unsigned(r.capacity >> 10);
    else
        j.Null();
    j.Key("capacity_source").String(r.size_source);
    j.EndObject();
}

void PutRest(JsonLine& j, const Record& r)
{
    if (r.area_known) {
        j.Key("area").BeginObject();
        j.Key("base").Unsigned(r.base);
        j.Key("region").String(r.region);
        j.Key("length").Unsigned(r.length);
        j.EndObject();
    } else {
        j.Key("area").Null();
    }
    if (r.image_name != nullptr) {
        j.Key("image").BeginObject();
        j.Key("file").String(r.image_name);
        j.Key("length").Unsigned(r.image_length);
        j.Key("sha256").String(r.image_sha256);
        j.EndObject();
    } else {
        j.Key("image").Null();
    }
    uint8_t digest[kSha256Bytes];
    char hex[kSha256HexSize];
    gFlashHash.Finish(digest);
    Sha256Hex(digest, hex);
    j.Key("flash_sha256").String(r.flash_whole ? hex : nullptr);
    j.Key("blocks").BeginObject();
    j.Key("written").Unsigned(r.written);
    j.Key("checked").Unsigned(r.checked);
    j.EndObject();
}

size_t Compose(int status)
{
    const Record& r = gRecord;
    JsonLine j(gLine, sizeof gLine);
    char time[kIsoTimeLength + 1];
    if (r.time_known)
        IsoTime(r.time, time);
    j.Key("time").String(r.time_known ? time : nullptr);
    j.Key("program").String(kProgram.name);
    j.Key("version").String(kProgram.version);
    j.Key("args").BeginArray();
    for (int i = 1; i < r.argc; ++i)
        j.String(r.argv[i]);
    j.EndArray();
    j.Key("mode").String(r.mode);
    PutEc(j, r);
    PutFlash(j, r);
    PutRest(j, r);
    const Result result = status == 0 ? Result::kOk : r.failed ? r.result : Result::kRefused;
    char message[256];
    j.Key("result").String(kResultWords[static_cast<int>(result)]);
    j.Key("message").String(Message(message));
    j.Key("status").Unsigned(static_cast<uint64_t>(status));
    j.Key("duration_ms").Unsigned((platform::NowUs() - r.start_us) / 1000);
    return j.Finish();
}

}  // namespace

void Start(int argc, char* argv[], const char* log_file)
{
    // A run starts from nothing, also where one process runs several.
    gRecord = Record{};
    gFlashHash = Sha256{};
    gRecord.argc = argc;
    gRecord.argv = argv;
    gRecord.log_file = log_file;
    gRecord.time_known = platform::UtcNow(&gRecord.time);
    gRecord.start_us = platform::NowUs();
}

void SetLogFile(const char* log_file)
{
    gRecord.log_file = log_file;
}

void SetMode(const char* mode)
{
    gRecord.mode = mode;
}

void NoteProject(const char* name)
{
    Copy(gRecord.project, sizeof gRecord.project, name);
    gRecord.project_known = true;
}

void NoteEcVersion(const char* text)
{
    Copy(gRecord.ec_version, sizeof gRecord.ec_version, text);
    gRecord.ec_version_known = true;
}

void NoteChip(uint16_t chip)
{
    gRecord.chip = chip;
    gRecord.chip_known = true;
}

void NoteFlash(const FlashFacts& flash)
{
    Record& r = gRecord;
    r.flash_known = true;
    r.id_length = flash.id_length < sizeof r.id ? flash.id_length : sizeof r.id;
    for (size_t i = 0; i < r.id_length; ++i)
        r.id[i] = flash.id[i];
    r.maker = flash.maker;
    r.part = flash.part;
    r.capacity = flash.capacity;
    r.size_source = flash.size_source;
}

void NoteArea(uint32_t base, const char* region, uint64_t length)
{
    gRecord.area_known = true;
    gRecord.base = base;
    gRecord.region = region;
    gRecord.length = length;
}

void NoteImage(const char* name, const uint8_t* bytes, uint64_t length)
{
    Sha256 hash;
    hash.Add(bytes, static_cast<size_t>(length));
    uint8_t digest[kSha256Bytes];
    hash.Finish(digest);
    Sha256Hex(digest, gRecord.image_sha256);
    gRecord.image_name = name;
    gRecord.image_length = length;
}

void HashFlash(const uint8_t* bytes, size_t length)
{
    gFlashHash.Add(bytes, length);
}

void FlashReadWhole()
{
    gRecord.flash_whole = true;
}

void CountBlockWritten()
{
    ++gRecord.written;
}

void CountBlockChecked()
{
    ++gRecord.checked;
}

void Fail(Result result)
{
    const bool overrides = result == Result::kInterrupted || result == Result::kTimeout;
    if (gRecord.failed && !overrides)
        return;
    gRecord.failed = true;
    gRecord.result = result;
}

void End(int status)
{
    // A timeout inside the closing steps must not write a second line.
    if (gRecord.ended || gRecord.log_file == nullptr)
        return;
    gRecord.ended = true;
    const size_t length = Compose(status);
    if (length == 0 || !platform::AppendRecord(gRecord.log_file, gLine, length))
        PrintLine("\n\rLog Write Fail!");
}

}  // namespace runrecord
