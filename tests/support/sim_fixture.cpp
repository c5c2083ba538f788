#include "sim_fixture.h"

#include <cstdio>

#include "common/program.h"
#include "platform/sim/sim_platform.h"
#include "sim/parts.h"

namespace testsupport {

namespace {

std::string* gDeathConsole;

int ConsoleToStderr(int status)
{
    fputs(gDeathConsole->c_str(), stderr);
    return status;
}

void AppendTrace(void* context, const char* line, size_t length)
{
    static_cast<std::string*>(context)->append(line, length);
}

}  // namespace

void SimBoardTest::SetUp()
{
    Boot();
}

void SimBoardTest::TearDown()
{
    simplat::CaptureConsole(nullptr);
}

void SimBoardTest::Boot()
{
    flash_.assign(static_cast<size_t>(sim::FlashKb(config)) * 1024, 0xFF);
    std::copy(flash_image.begin(), flash_image.begin() + std::min(flash_image.size(), flash_.size()), flash_.begin());
    board = sim::Board{};
    board.Init(config, flash_.data());
    trace_.clear();
    board.SetTraceSink(AppendTrace, &trace_);
    console_.clear();
    simplat::Install(&board, false);
    simplat::CaptureConsole(&console_);
}

void SimBoardTest::RecordPorts(size_t capacity)
{
    ports_.assign(capacity, sim::PortEvent{});
    board.SetPortLog(ports_.data(), ports_.size());
}

std::vector<sim::PortEvent> SimBoardTest::Ports() const
{
    return std::vector<sim::PortEvent>(ports_.begin(), ports_.begin() + static_cast<long>(board.PortLogLength()));
}

std::string SimBoardTest::TakeConsole()
{
    std::string text;
    text.swap(console_);
    return text;
}

// Every "spi" line names the pair that carried it; the program's own pair
// is taken off, so a line from the other pair shows as a difference.
std::string SimBoardTest::TakeTrace()
{
    std::string text;
    text.swap(trace_);
    char own[8];
    snprintf(own, sizeof own, " @%02x\n", kProgram.ec_command_port);
    std::string kept;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(at, end - at);
        if (line.rfind("spi ", 0) == 0 && line.size() > 5 && line.compare(line.size() - 5, 5, own) == 0)
            line.replace(line.size() - 5, 5, "\n");
        kept += line;
        at = end;
    }
    return kept;
}

std::vector<uint8_t> SimBoardTest::FlashContent() const
{
    std::vector<uint8_t> content(board.FlashSize());
    for (size_t a = 0; a < content.size(); ++a)
        content[a] = board.FlashByte(static_cast<uint32_t>(a));
    return content;
}

std::string Render(const std::vector<sim::PortEvent>& events)
{
    std::string text;
    char piece[16];
    for (const sim::PortEvent& e : events) {
        if (e.write)
            snprintf(piece, sizeof piece, "w%02x=%02x", e.port, e.value);
        else
            snprintf(piece, sizeof piece, "r%02x", e.port);
        if (!text.empty())
            text += ' ';
        text += piece;
    }
    return text;
}

void RunToDeath(const std::function<void()>& op)
{
    static std::string console;
    gDeathConsole = &console;
    simplat::CaptureConsole(&console);
    simplat::SetFinish(ConsoleToStderr);
    op();
}

}  // namespace testsupport
