// Flash identification, the vendor table and the status screen's lines.
#pragma once

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
