// The virtual board: the EC with its mailboxes and firmware, the keyboard
// controller, the Super I/O configuration space and the SPI flash behind
// the EC, on one 256-port LPC I/O space with a virtual clock.
//
// The board knows nothing of the tool: it is built from what the devices must
// do. Its core is freestanding (no exceptions, no allocation, no static
// constructors); files and options belong to the host part (host.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"
#include "ec.h"
#include "kbc.h"
#include "latency.h"
#include "spi_flash.h"
#include "stats.h"
#include "superio.h"
#include "trace.h"

namespace sim {

struct PortEvent {
    bool write;
    uint8_t port;
    uint8_t value;
};

class Board {
public:
    // flash_memory holds FlashKb(config) KB and is the flash content at
    // power-on (the caller fills it: all 0xFF, or --flash-in). The board
    // keeps using it; it must outlive the board. Init also wires the devices
    // to each other: call it again after copying a board. The trace sink and
    // the port log stay as they were set.
    void Init(const Config& config, uint8_t* flash_memory);

    // One port access by the host. Each costs config.port_access_us of
    // virtual time; a port no device claims reads 0xFF and ignores writes.
    uint8_t Read(uint8_t port);
    void Write(uint8_t port, uint8_t value);

    // A pause of the tool: advances the virtual clock.
    void Pause(uint64_t us);
    uint64_t NowUs() const { return now_us_; }

    const Stats& stats() const { return stats_; }
    // What a read of the flash gives back now (stuck bytes included).
    uint8_t FlashByte(uint32_t address) const;
    size_t FlashSize() const;

    void SetTraceSink(TraceSink sink, void* context);
    // Records every port access into events[0..capacity) (tests).
    void SetPortLog(PortEvent* events, size_t capacity);
    size_t PortLogLength() const { return port_log_length_; }

    // The devices' state, for tests and diagnostics.
    bool InFlashMode() const { return ec_.flash_mode(); }
    bool InFollowMode() const { return ec_.follow_mode(); }
    bool EcHung() const { return ec_.hung(); }
    bool KeyboardEnabled() const { return kbc_.keyboard_enabled(); }
    bool SioEntered() const { return superio_.entered(); }
    const Ec& ec() const { return ec_; }
    const Kbc& kbc() const { return kbc_; }
    const SuperIo& superio() const { return superio_; }

private:
    // Who answers a port.
    enum Device : uint8_t {
        kNoDevice,
        kPmc2Command,
        kPmc2Data,
        kAcpiCommand,
        kAcpiData,
        kKbcCommand,
        kKbcData,
        kSioIndex,
        kSioData,
        kBankIndex,
        kBankData,
    };
    void MapPorts();

    Config config_{};
    uint64_t now_us_ = 0;
    Stats stats_{};
    Trace trace_;
    Jitter jitter_;
    PortEvent* port_log_ = nullptr;
    size_t port_log_capacity_ = 0;
    size_t port_log_length_ = 0;
    uint8_t devices_[256] = {};
    Ec ec_;
    Kbc kbc_;
    SuperIo superio_;
    SpiFlash flash_;
};

}  // namespace sim
