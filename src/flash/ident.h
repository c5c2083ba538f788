// Flash identification, the vendor table and the status screen's lines.
#pragma once

#include <cstddef>
#include <cstdint>

extern uint8_t SPIDeviceID[16];  // byte 0 vendor id, byte 2 capacity
extern uint8_t Old_SSTDeviceID;  // set by the 0xAB read: 1 for an SST part

struct DeviceVendor {
    uint8_t id;
    void (*show)();
};
extern const DeviceVendor adevicevendor[12];

void vReadSPIDeviceID();
void vReadSPIDeviceID_CmdAB();
void vShowDeviceID();
void vShowVendorID();
void vShowBlockNumber();
// The vendor lines of every row that holds byte 0 of SPIDeviceID: the search
// goes through all rows (vShowVendorID runs it on adevicevendor).
void vShowVendorRows(const DeviceVendor* rows, size_t count);

void vShowSSTID();
void vShowWinbondID();
void vShowAtmelID();
void vShowSTID();
void vShowSpansionID();
void vShowMXICID();
void vShowAMICID();
void vShowEONID();
void vShowESMTID();
void vShowITEID();
void vShowGDID();
void vShowPMCID();
