#include "sim_fixture.h"

#include <cstdio>

#include "platform/sim/sim_platform.h"

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
    flash_.assign(static_cast<size_t>(config.flash_kb) * 1024, 0xFF);
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

std::string SimBoardTest::TakeTrace()
{
    std::string text;
    text.swap(trace_);
    return text;
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
