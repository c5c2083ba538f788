// Drives one SpiFlash directly, as the EC would, on a local clock that
// advances 1 us per byte shifted, like the host's port accesses do.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "sim/parts.h"
#include "sim/spi_flash.h"
#include "sim/stats.h"

namespace flashtest {

class FlashRig {
public:
    void Boot(sim::Part part, uint8_t fill = 0xFF)
    {
        config.flash = part;
        memory.assign(static_cast<size_t>(sim::FlashKb(config)) * 1024, fill);
        clock = 0;
        stats = sim::Stats{};
        lines.clear();
        trace.SetSink(
            [](void* context, const char* line, size_t length) {
                static_cast<std::string*>(context)->append(line, length);
            },
            &lines);
        flash.Init(config, memory.data(), &clock, &stats, &trace);
    }

    // One transaction: the bytes out, then reads bytes in.
    std::vector<uint8_t> Tx(std::vector<uint8_t> out, size_t reads = 0)
    {
        flash.Select();
        for (uint8_t byte : out) {
            flash.Write(byte);
            ++clock;
        }
        std::vector<uint8_t> in;
        for (size_t i = 0; i < reads; ++i) {
            in.push_back(flash.Read());
            ++clock;
        }
        flash.Deselect();
        return in;
    }
    uint8_t Status() { return Tx({0x05}, 1)[0]; }
    // Reads the status in one transaction until bit 0 clears; the reads made.
    size_t WaitIdle(size_t limit = 2'000'000)
    {
        flash.Select();
        flash.Write(0x05);
        size_t reads = 0;
        while (reads < limit) {
            ++reads;
            ++clock;
            if ((flash.Read() & 0x01) == 0)
                break;
        }
        flash.Deselect();
        return reads;
    }
    static std::vector<uint8_t> With(std::initializer_list<uint8_t> head, uint32_t address,
                                     const std::vector<uint8_t>& data = {})
    {
        std::vector<uint8_t> out(head);
        out.push_back(static_cast<uint8_t>(address >> 16));
        out.push_back(static_cast<uint8_t>(address >> 8));
        out.push_back(static_cast<uint8_t>(address));
        for (const uint8_t byte : data)  // insert() trips GCC 12's -Wstringop-overread here
            out.push_back(byte);
        return out;
    }
    // Write enable, the command, wait until idle.
    void Run(std::vector<uint8_t> command)
    {
        Tx({0x06});
        Tx(std::move(command));
        WaitIdle();
    }
    void Erase(uint8_t opcode, uint32_t address) { Run(With({opcode}, address)); }
    void Program(uint32_t address, const std::vector<uint8_t>& data) { Run(With({0x02}, address, data)); }
    std::vector<uint8_t> FastRead(uint32_t address, size_t count)
    {
        return Tx(With({0x0B}, address, {0x00}), count);
    }
    // Erases with the part's smallest erase that 0x20/0xD8 give.
    void EraseSector(uint32_t address)
    {
        Erase(flash.part().part == sim::Part::kSt ? 0xD8 : 0x20, address);
    }
    std::string TakeLines()
    {
        std::string taken;
        taken.swap(lines);
        return taken;
    }

    sim::Config config;
    std::vector<uint8_t> memory;
    uint64_t clock = 0;
    sim::Stats stats{};
    sim::Trace trace;
    std::string lines;
    sim::SpiFlash flash;
};

}  // namespace flashtest
