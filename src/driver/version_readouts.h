// The three read-outs of the version query. Each returns the run's status.
#pragma once

#include <cstdint>

// The version file of "/V?F" as loaded into gUSBReadBuffer (length 0 and
// loaded false when none was asked for).
struct VersionFile {
    bool loaded;
    uint64_t length;
};

// Super I/O bank of logical device 0x10, compared with the expected text or
// the version file; relies on the configuration mode left entered.
int BramReadout(const VersionFile& file);
// Eight characters of EC RAM 0xD8-0xDF, compared for equality.
int VarnelReadout();
// EC RAM 0x00/0x01 and the project name; no comparison.
int PlainReadout();
