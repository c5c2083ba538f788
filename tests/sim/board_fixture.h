// A board on its own, driven through its ports the way a host does: a byte
// goes to a mailbox once its input buffer is seen empty, a reply is read
// once the output buffer is seen full. Polls are bounded so that a fault
// fails the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sim/board.h"
#include "sim/parts.h"

namespace boardtest {

struct Pair {
    uint8_t command;  // status (read) and command (write)
    uint8_t data;
};
inline constexpr Pair kPmc2{0x6C, 0x68};
inline constexpr Pair kAcpi{0x66, 0x62};
inline constexpr Pair kKbc{0x64, 0x60};

inline constexpr uint8_t kObf = 0x01;
inline constexpr uint8_t kIbf = 0x02;

class BoardTest : public ::testing::Test {
protected:
    static constexpr int kPolls = 1000;

    void SetUp() override { Boot(); }

    // Builds the board from config, flash erased, trace captured.
    void Boot()
    {
        flash_.assign(static_cast<size_t>(sim::FlashKb(config)) * 1024, 0xFF);
        board = sim::Board{};
        board.Init(config, flash_.data());
        trace_.clear();
        board.SetTraceSink(
            [](void* context, const char* line, size_t length) {
                static_cast<std::string*>(context)->append(line, length);
            },
            &trace_);
    }

    std::string TakeTrace()
    {
        std::string text;
        text.swap(trace_);
        return text;
    }

    bool WaitClear(uint8_t port, uint8_t bit)
    {
        for (int i = 0; i < kPolls; ++i) {
            if ((board.Read(port) & bit) == 0)
                return true;
        }
        return false;
    }
    bool WaitSet(uint8_t port, uint8_t bit)
    {
        for (int i = 0; i < kPolls; ++i) {
            if ((board.Read(port) & bit) != 0)
                return true;
        }
        return false;
    }

    // One byte to a port of a pair, with the input-buffer wait before and after.
    void Send(Pair pair, uint8_t port, uint8_t value)
    {
        EXPECT_TRUE(WaitClear(pair.command, kIbf)) << "input buffer full before " << std::hex << int{value};
        board.Write(port, value);
        EXPECT_TRUE(WaitClear(pair.command, kIbf)) << "byte " << std::hex << int{value} << " not taken";
    }
    void Command(Pair pair, uint8_t code) { Send(pair, pair.command, code); }
    void Data(Pair pair, uint8_t value) { Send(pair, pair.data, value); }
    uint8_t Reply(Pair pair)
    {
        EXPECT_TRUE(WaitSet(pair.command, kObf)) << "no reply";
        return board.Read(pair.data);
    }
    bool ReplyWaiting(Pair pair) { return (board.Read(pair.command) & kObf) != 0; }

    // The EC transactions as a host runs them.
    uint8_t AcpiRead(Pair pair, uint8_t address)
    {
        Command(pair, 0x80);
        Data(pair, address);
        return Reply(pair);
    }
    uint8_t XramRead(Pair pair, uint16_t address)
    {
        Command(pair, 0x92);
        Data(pair, static_cast<uint8_t>(address >> 8));
        Data(pair, static_cast<uint8_t>(address));
        return Reply(pair);
    }
    // Follow mode, sub-commands and their bytes all on the command port.
    void Select(Pair pair) { Command(pair, 0x01); }
    void Opcode(Pair pair, uint8_t opcode)
    {
        Command(pair, 0x02);
        Command(pair, opcode);
    }
    void SpiByte(Pair pair, uint8_t value)
    {
        Command(pair, 0x03);
        Command(pair, value);
    }
    uint8_t SpiRead(Pair pair)
    {
        Command(pair, 0x04);
        return Reply(pair);
    }
    void Deselect(Pair pair) { Command(pair, 0x05); }

    sim::Config config;
    sim::Board board;

private:
    std::vector<uint8_t> flash_;
    std::string trace_;
};

}  // namespace boardtest
