// The vendor table and the vendor line of the status screen.
#include "common/print.h"
#include "ident.h"
#include "platform/platform.h"

const DeviceVendor adevicevendor[12] = {
    {0xBF, vShowSSTID},      {0xEF, vShowWinbondID}, {0x1F, vShowAtmelID}, {0x20, vShowSTID},
    {0x01, vShowSpansionID}, {0xC2, vShowMXICID},    {0x37, vShowAMICID},  {0x1C, vShowEONID},
    {0x8C, vShowESMTID},     {0xFF, vShowITEID},     {0xC8, vShowGDID},    {0x7F, vShowPMCID},
};

void vShowVendorRows(const DeviceVendor* rows, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (rows[i].id == SPIDeviceID[0])
            rows[i].show();
    }
}

void vShowVendorID()
{
    gotoxy(1, 4);
    vShowVendorRows(adevicevendor, sizeof adevicevendor / sizeof adevicevendor[0]);
}

void vShowSSTID()
{
    kline(" SPI Vendor       : SST ");
}

void vShowWinbondID()
{
    kline(" SPI Vendor       : Winbond ");
}

void vShowAtmelID()
{
    kline(" SPI Vendor       : Atmel ");
}

void vShowSTID()
{
    kline(" SPI Vendor       : ST ");
}

void vShowSpansionID()
{
    kline(" SPI Vendor       : Spansion ");
}

void vShowMXICID()
{
    kline(" SPI Vendor       : MXIC ");
}

void vShowAMICID()
{
    kline(" SPI Vendor       : AMIC ");
}

void vShowEONID()
{
    kline(" SPI Vendor       : EON ");
}

void vShowESMTID()
{
    kline(" SPI Vendor       : ESMT ");
}

// Byte 15 of the read-id answer tells the type-A ITE flash apart.
void vShowITEID()
{
    if (SPIDeviceID[0] == 0xFF && SPIDeviceID[15] == 0x00)
        kline(" SPI Vendor       : ITE A type");
    else
        kline(" SPI Vendor       : ITE ");
}

void vShowGDID()
{
    kline(" SPI Vendor       : GigaDevice ");
}

void vShowPMCID()
{
    kline(" SPI Vendor       : PMCDevice ");
}
