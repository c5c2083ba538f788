#include "sio.h"

uint8_t CFG_PORT = 0x4E;
uint16_t ChipID;

void ResetSioState()
{
    CFG_PORT = 0x4E;
    ChipID = 0;
}
