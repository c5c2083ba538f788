// What the board does when a host gets the protocol wrong: each row is a
// deliberately wrong sequence on the ports and what the devices, as their
// datasheets and the EC's one-byte mailbox make them, must do about it.
#include <functional>

#include "board_fixture.h"

namespace boardtest {
namespace {

struct WrongHost;

class WrongHostTest : public BoardTest {
public:
    using BoardTest::Command;
    using BoardTest::Data;
    using BoardTest::Deselect;
    using BoardTest::Opcode;
    using BoardTest::Reply;
    using BoardTest::Select;
    using BoardTest::SpiByte;
    using BoardTest::SpiRead;
    using BoardTest::WaitClear;

    // Flash mode entered and acknowledged on PMC2.
    void FlashMode()
    {
        Command(kPmc2, 0xDC);
        EXPECT_EQ(Reply(kPmc2), 0x33);
    }
    // One SPI command on PMC2, chip select released after it.
    void Spi(std::initializer_list<uint8_t> bytes)
    {
        Select(kPmc2);
        auto byte = bytes.begin();
        Opcode(kPmc2, *byte++);
        for (; byte != bytes.end(); ++byte)
            SpiByte(kPmc2, *byte);
        Deselect(kPmc2);
    }
    uint8_t SpiStatus()
    {
        Select(kPmc2);
        Opcode(kPmc2, 0x05);
        const uint8_t status = SpiRead(kPmc2);
        Deselect(kPmc2);
        return status;
    }
    void Run(const WrongHost& row);
    uint8_t Raw(uint8_t port) { return board.Read(port); }
    void Raw(uint8_t port, uint8_t value) { board.Write(port, value); }
};

struct WrongHost {
    const char* what;
    std::function<void(sim::Config&)> board;       // the board it runs on
    std::function<void(WrongHostTest&)> host;      // the sequence, with what the host must see
    const char* trace;                             // the whole trace it leaves
    std::function<bool(const sim::Board&)> holds;  // the board's state and counters afterwards
};

void WrongHostTest::Run(const WrongHost& row)
{
    config = sim::Config{};
    config.instant_flash = true;
    if (row.board)
        row.board(config);
    Boot();
    row.host(*this);
}

const sim::Stats& S(const sim::Board& b)
{
    return b.stats();
}

const WrongHost kRows[] = {
    {"a second byte written before the EC took the first",
     [](sim::Config& c) { c.ec_latency = 2; },
     [](WrongHostTest& h) {
         h.Raw(0x6C, 0xDD);
         h.Raw(0x6C, 0xDC);
         EXPECT_TRUE(h.WaitClear(0x6C, kIbf));
     },
     "drop dc @6c\nec dd\n", [](const sim::Board& b) { return !b.InFlashMode() && S(b).ec_drops == 1; }},
    {"the data port read before the reply is ready",
     [](sim::Config& c) { c.ec_latency = 3; },
     [](WrongHostTest& h) {
         h.Command(kPmc2, 0x80);
         h.Data(kPmc2, 0x01);
         EXPECT_EQ(h.Raw(0x68), 0x00);  // nothing placed yet: the data register as it was
         EXPECT_EQ(h.Reply(kPmc2), 0x00);  // version low byte, once ready
     },
     "ec 80 01 @6c\n", nullptr},
    {"the identification's reads sent before any reply is collected",
     nullptr,
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Select(kPmc2);
         h.Opcode(kPmc2, 0x9F);
         for (int i = 0; i < 3; ++i)
             h.Raw(0x6C, 0x04);
         // The first reply fills the output buffer, the second waits in
         // the EC, which then takes no byte: the third read stays put.
         EXPECT_EQ(h.Raw(0x6C), kObf | kIbf);
         EXPECT_EQ(h.Raw(0x68), 0xEF);
         EXPECT_EQ(h.Raw(0x68), 0x40);
         EXPECT_EQ(h.Reply(kPmc2), 0x12);
         h.Deselect(kPmc2);
     },
     "ec dc\nspi 9f r=3 @6c\n", [](const sim::Board& b) { return S(b).ec_drops == 0; }},
    {"a fourth address byte after an erase",
     nullptr,
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Spi({0x06});
         h.Spi({0x20, 0x00, 0x10, 0x00, 0x00});
         EXPECT_EQ(h.SpiStatus(), 0x02);  // not run: the latch is still set
     },
     "ec dc\nspi 06 @6c\nspi 20 addr=001000 w=1 ignored length @6c\nspi 05 r=1 @6c\n",
     [](const sim::Board& b) { return S(b).spi_ignored == 1; }},
    {"chip select released before the status byte",
     [](sim::Config& c) { c.flash_status = 0x1C; },
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Spi({0x06});
         h.Spi({0x01});
         h.SpiByte(kPmc2, 0x00);
         EXPECT_EQ(h.SpiStatus(), 0x1E);
     },
     "ec dc\nspi 06 @6c\nspi 01 ignored length @6c\nunselected 00 @6c\nspi 05 r=1 @6c\n",
     [](const sim::Board& b) { return S(b).spi_ignored == 1 && S(b).spi_bytes_unselected == 1; }},
    {"an erase without write enable",
     nullptr,
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Spi({0x20, 0x00, 0x00, 0x00});
     },
     "ec dc\nspi 20 addr=000000 ignored not-enabled @6c\n",
     [](const sim::Board& b) { return S(b).spi_ignored == 1; }},
    {"a status write on SST25VF010A armed by 0x06 instead of 0x50",
     [](sim::Config& c) {
         c.flash = sim::Part::kSstOld;
         c.flash_status = 0x0C;
     },
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Spi({0x06});
         h.Spi({0x01, 0x00});
         EXPECT_EQ(h.SpiStatus(), 0x0E);
     },
     "ec dc\nspi 06 @6c\nspi 01 w=1 ignored not-enabled @6c\nspi 05 r=1 @6c\n", nullptr},
    {"a status read between 0x50 and the status write on Winbond",
     nullptr,
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Spi({0x06});
         h.Spi({0x50});
         h.SpiStatus();
         h.Spi({0x01, 0x64});
     },
     "ec dc\nspi 06 @6c\nspi 50 @6c\nspi 05 r=1 @6c\nspi 01 w=1 @6c\n",
     // 0x50 still armed it: a volatile write that a power cycle forgets,
     // though the latch was set.
     [](const sim::Board& b) { return S(b).status_nonvolatile == 0x00 && S(b).spi_ignored == 0; }},
    {"a page of data with SST25VF's one-byte program",
     [](sim::Config& c) { c.flash = sim::Part::kSst; },
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Spi({0x06});
         h.Spi({0x02, 0x00, 0x00, 0x00, 0x11, 0x22});
     },
     "ec dc\nspi 06 @6c\nspi 02 addr=000000 w=2 ignored length @6c\n",
     [](const sim::Board& b) { return b.FlashByte(0) == 0xFF; }},
    {"AAI word programming from an odd address",
     [](sim::Config& c) { c.flash = sim::Part::kSst; },
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Spi({0x06});
         h.Spi({0xAD, 0x00, 0x00, 0x01, 0x11, 0x22});
         EXPECT_EQ(h.SpiStatus(), 0x02);  // no AAI sequence began
     },
     "ec dc\nspi 06 @6c\nspi ad addr=000001 w=2 ignored odd-address @6c\nspi 05 r=1 @6c\n",
     [](const sim::Board& b) { return b.FlashByte(1) == 0xFF; }},
    {"one transaction's bytes sent through both pairs",
     nullptr,
     [](WrongHostTest& h) {
         h.FlashMode();
         h.Select(kPmc2);
         h.Opcode(kAcpi, 0x9F);
         EXPECT_EQ(h.SpiRead(kPmc2), 0xEF);
         h.Deselect(kPmc2);
     },
     "ec dc\nspi 9f r=1 @mixed\n", nullptr},
    {"the chip id read without the entry key, Super I/O locked",
     [](sim::Config& c) { c.sio_locked = true; },
     [](WrongHostTest& h) {
         const uint8_t key[] = {0x87, 0x01, 0x55, 0x55};
         h.Raw(0x4E, 0x20);
         EXPECT_EQ(h.Raw(0x4F), 0xFF);
         for (const uint8_t k : key)
             h.Raw(0x4E, k);
         h.Raw(0x4E, 0x20);
         EXPECT_EQ(h.Raw(0x4F), 0x55);
         h.Raw(0x4E, 0x02);
         h.Raw(0x4F, 0x02);
         h.Raw(0x4E, 0x21);
         EXPECT_EQ(h.Raw(0x4F), 0xFF);
     },
     "", nullptr},
    {"a program relying on --status 02 to have set the latch at power-on",
     [](sim::Config& c) { c.flash_status = 0x02; },
     [](WrongHostTest& h) {
         h.FlashMode();
         EXPECT_EQ(h.SpiStatus(), 0x00);
         h.Spi({0x20, 0x00, 0x00, 0x00});
     },
     "ec dc\nspi 05 r=1 @6c\nspi 20 addr=000000 ignored not-enabled @6c\n", nullptr},
    {"a keyboard-controller command before it took the last",
     [](sim::Config& c) { c.kbc_latency = 1; },
     [](WrongHostTest& h) {
         h.Raw(0x64, 0xAD);
         h.Raw(0x64, 0xAE);
         EXPECT_TRUE(h.WaitClear(0x64, kIbf));
     },
     "drop ae @64\nkbc ad\n",
     [](const sim::Board& b) { return !b.KeyboardEnabled() && S(b).kbc_drops == 1; }},
};

TEST_F(WrongHostTest, TheBoardAnswersAsTheDevicesDo)
{
    for (const WrongHost& row : kRows) {
        SCOPED_TRACE(row.what);
        Run(row);
        EXPECT_EQ(TakeTrace(), row.trace);
        if (row.holds) {
            EXPECT_TRUE(row.holds(board));
        }
    }
}

}  // namespace
}  // namespace boardtest
