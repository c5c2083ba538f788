#include "ident.h"
#include "program.h"

uint8_t SPIDeviceID[16];
uint8_t Old_SSTDeviceID;
uint16_t counter2;
uint16_t counter;
uint32_t counterN;

void ResetFlashState()
{
    for (uint8_t& b : SPIDeviceID)
        b = 0;
    Old_SSTDeviceID = 0;
    counter2 = 0;
    counter = 0;
    counterN = 0;
}
