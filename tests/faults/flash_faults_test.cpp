// Faults of the flash and of the EC's answer, for each flash family: a
// flash that stays busy for ever, stuck bytes at the first, a middle and
// the last byte of each block and region, and a wrong acknowledge of flash
// mode. A stuck byte must fail the erase check or the verify with its
// failure text, status 1 and flash mode closed once; a busy flash must
// end in the timeout; a wrong acknowledge changes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fault_run.h"
#include "support/run_tool.h"

namespace {

using faults::EndsWith;
using faults::ExpectClosedOnce;
using faults::ExpectTimedOut;
using faults::Image;
using faults::OldFlash;
using faults::Outcome;
using faults::RunSim;
using faults::SimRun;

// The flash wait that expires (30 s), with some slack.
constexpr uint64_t kFlashGiveUpUs = 31'000'000;

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "%x", value);
    return text;
}

// Where each update writes, relative to flash address 0.
struct Area {
    const char* option;  // nullptr: whole-block update
    uint32_t start;
    uint32_t length;
};

const Area kWhole = {nullptr, 0x00000, 0x20000};  // two blocks
const Area kRegions[] = {
    {"/BK", 0x00000, 0x1000},
    {"/Mn", 0x01000, 0xF000},
    {"/Bp", 0x11000, 0xF000},
};

// The areas that fit a flash of size bytes; a whole update as long as the
// flash when it is smaller than two blocks.
std::vector<Area> AreasIn(size_t size)
{
    std::vector<Area> areas = {{nullptr, 0, static_cast<uint32_t>(std::min<size_t>(kWhole.length, size))}};
    for (const Area& region : kRegions)
        if (region.start + region.length <= size)
            areas.push_back(region);
    return areas;
}

SimRun Update(const char* part, const Area& area, std::vector<uint8_t> image)
{
    SimRun run{{"--flash", part}, {"IMAGE", std::to_string(area.length / 1024)}, std::move(image)};
    if (area.option != nullptr) {
        run.tool.push_back(area.option);
        run.tool.push_back("/j");
    }
    return run;
}

const char* Closing(const Area& area)
{
    return area.option != nullptr ? "fc" : "fe";
}

// Flash bytes in [from, to) equal want's.
void ExpectFlash(const Outcome& o, const std::vector<uint8_t>& want, size_t from, size_t to, const char* what)
{
    ASSERT_EQ(o.flash.size(), want.size());
    for (size_t a = from; a < to; ++a)
        ASSERT_EQ(o.flash[a], want[a]) << what << ", at flash 0x" << Hex(static_cast<uint32_t>(a));
}

std::vector<uint8_t> FlashWith(const std::vector<uint8_t>& image, uint32_t at, size_t size)
{
    std::vector<uint8_t> flash = OldFlash(size);
    std::copy(image.begin(), image.end(), flash.begin() + at);
    return flash;
}

class FlashFaults : public faults::FaultTest, public ::testing::WithParamInterface<const char*> {
protected:
    const char* part() const { return GetParam(); }
    size_t size() const { return testsupport::FlashBytesOf({"--flash", part()}); }
};

// Where block 0's programming stopped, as the failed erase check of block 1
// prints it: a page run stops past its last page and past the last byte of
// a page (256) or burst (32); an AAI run reports nothing, so both read 0.
std::string CountersAfterBlock0(const std::string& part)
{
    if (part == "winbond")
        return "counter2=100 counter=100";
    if (part == "mxic-pp32")
        return "counter2=100 counter=20";
    return "counter2=0 counter=0";
}

struct Stuck {
    uint32_t address;
    uint32_t image_offset;
    uint32_t block_start;  // of the block or region that must fail
    uint32_t block_end;
};

std::vector<Stuck> Positions(const Area& area)
{
    std::vector<Stuck> positions;
    const uint32_t unit = area.option != nullptr ? area.length : 0x10000;
    for (uint32_t block = area.start; block < area.start + area.length; block += unit)
        for (uint32_t offset : {0u, unit / 2, unit - 1})
            positions.push_back({block + offset, block + offset - area.start, block, block + unit});
    return positions;
}

TEST_P(FlashFaults, StuckByteFailsTheVerify)
{
    for (const Area& area : AreasIn(size())) {
        for (const Stuck& s : Positions(area)) {
            SCOPED_TRACE(std::string(area.option ? area.option : "whole") + ", flash 0x" + Hex(s.address) +
                         " stuck at ff");
            std::vector<uint8_t> image = Image(area.length);
            image[s.image_offset] = 0xA5;
            SimRun run = Update(part(), area, image);
            run.board.insert(run.board.end(), {"--stuck", Hex(s.address) + "=ff"});
            const Outcome o = RunSim(run);
            EXPECT_EQ(o.status, 1);
            const std::string failure = "[" + Hex(s.image_offset).append("]=a5 -- Verify Fail. \n");
            EXPECT_TRUE(EndsWith(o.out, failure + faults::kPartialImage)) << o.out;
            ExpectClosedOnce(o, Closing(area));
            // The failed verify's read ends with its status wait; nothing follows.
            ASSERT_GE(o.trace.size(), 4u);
            EXPECT_TRUE(faults::StartsWith(o.trace[o.trace.size() - 4], "spi 0b ")) << o.trace[o.trace.size() - 4];
            EXPECT_TRUE(faults::StartsWith(o.trace[o.trace.size() - 3], "spi 05 ")) << o.trace[o.trace.size() - 3];
            // Blocks before the failed one hold the image; nothing after it
            // was touched.
            ExpectFlash(o, FlashWith(image, area.start, size()), area.start, s.block_start, "an earlier block");
            ExpectFlash(o, OldFlash(size()), s.block_end, size(), "past the failed block");
            ExpectFlash(o, OldFlash(size()), 0, area.start, "before the area");
        }
    }
}

TEST_P(FlashFaults, StuckByteFailsTheEraseCheck)
{
    for (const Area& area : AreasIn(size())) {
        for (const Stuck& s : Positions(area)) {
            SCOPED_TRACE(std::string(area.option ? area.option : "whole") + ", flash 0x" + Hex(s.address) +
                         " stuck at 00");
            const std::vector<uint8_t> image = Image(area.length);
            SimRun run = Update(part(), area, image);
            run.board.insert(run.board.end(), {"--stuck", Hex(s.address) + "=00"});
            const Outcome o = RunSim(run);
            EXPECT_EQ(o.status, 1);
            const std::string text = area.option != nullptr ? "counterN=" + Hex(s.address - s.block_start)
                                     : s.block_start == 0    ? "counter2=0 counter=0"
                                                             : CountersAfterBlock0(part());
            EXPECT_TRUE(EndsWith(o.out, " -- Verify Fail. " + text + "\n" + faults::kPartialImage)) << o.out;
            EXPECT_EQ(o.out.find("Programing...", o.out.rfind("Erase Verify...")), std::string::npos)
                << "a block whose erase check failed was programmed";
            ExpectClosedOnce(o, Closing(area));
            ASSERT_GE(o.trace.size(), 4u);
            EXPECT_TRUE(faults::StartsWith(o.trace[o.trace.size() - 4], "spi 0b ")) << o.trace[o.trace.size() - 4];
            EXPECT_TRUE(faults::StartsWith(o.trace[o.trace.size() - 3], "spi 05 ")) << o.trace[o.trace.size() - 3];
            ExpectFlash(o, FlashWith(image, area.start, size()), area.start, s.block_start, "an earlier block");
            ExpectFlash(o, OldFlash(size()), s.block_end, size(), "past the failed block");
            ExpectFlash(o, OldFlash(size()), 0, area.start, "before the area");
        }
    }
}

// The test mode cannot pass on the SST25VF parts (0x02 programs one byte
// there), so it is tried on the others only.
TEST_P(FlashFaults, BusyForeverEndsInTheTimeout)
{
    std::vector<SimRun> runs = {
        Update(part(), {nullptr, 0, 0x10000}, Image(0x10000)),
        Update(part(), kRegions[0], Image(0x1000)),
        Update(part(), size() >= 0x20000 ? kRegions[2] : kRegions[1], Image(0xF000)),
    };
    std::vector<const char*> closings = {"fe", "fc", "fc"};
    if (std::string(part()).rfind("sst", 0) != 0) {
        runs.push_back(SimRun{{"--flash", part()}, {"/T"}, {}});
        closings.push_back("fc");
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(runs[i].tool.size() > 2 ? runs[i].tool[2] : runs[i].tool[0]);
        const Outcome good = RunSim(runs[i]);
        ASSERT_EQ(good.status, 0) << good.out;
        SimRun busy = runs[i];
        busy.board.push_back("--flash-busy-forever");
        const Outcome o = RunSim(busy);
        ExpectTimedOut(o, good, kFlashGiveUpUs);
        EXPECT_NE(o.out.find("\n\rTimeout: flash"), std::string::npos) << o.out;
        ExpectClosedOnce(o, closings[i]);
    }
}

TEST_P(FlashFaults, WrongAcknowledgeChangesNothing)
{
    const std::vector<uint8_t> image = Image(0x10000);
    for (const char* ack : {"00", "32", "cc", "ff"}) {
        SCOPED_TRACE(std::string("--ack ") + ack);
        SimRun run = Update(part(), {nullptr, 0, 0x10000}, image);
        run.board.insert(run.board.end(), {"--ack", ack});
        const Outcome o = RunSim(run);
        EXPECT_EQ(o.status, 0) << o.out;
        EXPECT_NE(o.out.find("Read EC Data \n\nEC ACK Fail. \n\n"), std::string::npos);
        EXPECT_EQ(o.out.find("EC ACK OK."), std::string::npos);
        ExpectFlash(o, FlashWith(image, 0, size()), 0, size(), "after the update");
        EXPECT_EQ(std::count(o.trace.begin(), o.trace.end(), "ec fe"), 1);
        EXPECT_EQ(o.trace.back(), "kbc ae");
    }
    for (const char* mode : {"/T", "/PB"}) {
        SCOPED_TRACE(mode);
        const Outcome clean = RunSim(SimRun{{"--flash", part()}, {mode}, {}});
        const Outcome o = RunSim(SimRun{{"--flash", part(), "--ack", "00"}, {mode}, {}});
        EXPECT_EQ(o.status, clean.status) << o.out;
        EXPECT_NE(o.out.find("EC ACK Fail. \n"), std::string::npos);
        EXPECT_EQ(std::count(o.trace.begin(), o.trace.end(), "ec fc"), 1);
        EXPECT_EQ(o.trace.back(), "kbc ae");
    }
}

INSTANTIATE_TEST_SUITE_P(Parts, FlashFaults, ::testing::Values("winbond", "mxic-pp32", "sst-old", "sst", "ite"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
