// The board's files: the flash content in and out, the trace, the stats.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "sim/host.h"
#include "sim/parts.h"
#include "complain.h"
#include "stats_json.h"

namespace sim {

namespace {

// What an open board holds on the host: its flash memory and trace file.
struct HostSide {
    std::vector<uint8_t> flash;
    FILE* trace = nullptr;
};

std::map<const Board*, HostSide>& OpenBoards()
{
    static std::map<const Board*, HostSide> boards;
    return boards;
}

bool Fail(const std::string& what, const char* file)
{
    host::Complain(what + " " + file + ": " + strerror(errno));
    return false;
}

void WriteTraceLine(void* context, const char* line, size_t length)
{
    fwrite(line, 1, length, static_cast<FILE*>(context));
}

bool ReadFlashIn(const char* path, std::vector<uint8_t>* flash)
{
    FILE* in = fopen(path, "rb");
    if (in == nullptr)
        return Fail("cannot open --flash-in", path);
    const size_t read = fread(flash->data(), 1, flash->size(), in);
    const bool longer = read == flash->size() && fgetc(in) != EOF;
    const bool failed = ferror(in) != 0;
    fclose(in);
    if (failed)
        return Fail("cannot read --flash-in", path);
    if (longer) {
        host::Complain(std::string("--flash-in ") + path + ": longer than the " + std::to_string(flash->size() / 1024) +
                       " KB flash");
        return false;
    }
    return true;
}

bool WriteFile(const char* option, const char* path, const std::string& bytes)
{
    FILE* out = fopen(path, "wb");
    if (out == nullptr)
        return Fail(std::string("cannot write ") + option, path);
    const bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = fclose(out) == 0;
    if (!written || !closed)
        return Fail(std::string("cannot write ") + option, path);
    return true;
}

bool CloseTrace(const Config& config, HostSide* side)
{
    if (side->trace == nullptr)
        return true;
    const bool failed = ferror(side->trace) != 0;
    const bool closed = fclose(side->trace) == 0;
    side->trace = nullptr;
    if (failed || !closed)
        return Fail("cannot write --trace", config.trace);
    return true;
}

}  // namespace

bool OpenBoard(const Config& config, Board* board)
{
    HostSide side;
    side.flash.assign(static_cast<size_t>(FlashKb(config)) * 1024, 0xFF);
    if (config.flash_in != nullptr && !ReadFlashIn(config.flash_in, &side.flash))
        return false;
    if (config.trace != nullptr) {
        side.trace = fopen(config.trace, "w");
        if (side.trace == nullptr)
            return Fail("cannot write --trace", config.trace);
    }

    auto& boards = OpenBoards();
    if (auto old = boards.find(board); old != boards.end()) {
        if (old->second.trace != nullptr)
            fclose(old->second.trace);
        boards.erase(old);
    }
    HostSide& kept = boards[board] = std::move(side);
    board->Init(config, kept.flash.data());
    board->SetTraceSink(kept.trace != nullptr ? WriteTraceLine : nullptr, kept.trace);
    return true;
}

bool CloseBoard(const Config& config, Board* board)
{
    bool ok = true;
    if (config.flash_out != nullptr) {
        std::string content(board->FlashSize(), '\0');
        for (size_t a = 0; a < content.size(); ++a)
            content[a] = static_cast<char>(board->FlashByte(static_cast<uint32_t>(a)));
        ok = WriteFile("--flash-out", config.flash_out, content) && ok;
    }
    if (config.stats != nullptr)
        ok = WriteFile("--stats", config.stats, host::StatsJson(*board)) && ok;

    board->SetTraceSink(nullptr, nullptr);
    auto& boards = OpenBoards();
    if (auto open = boards.find(board); open != boards.end()) {
        ok = CloseTrace(config, &open->second) && ok;
        boards.erase(open);
    }
    return ok;
}

}  // namespace sim
