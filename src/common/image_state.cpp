#include "image_state.h"

uint8_t* gUSBReadBuffer;
uint64_t gFileSize;
uint32_t MaxBlockNum;
uint8_t BlockNum;
uint8_t BufferBlockNum;
uint64_t gPageSize;
uint32_t gPageCount;
uint64_t gFileProcessCount;

void ResetImageState()
{
    gUSBReadBuffer = nullptr;
    gFileSize = 0;
    MaxBlockNum = 0;
    BlockNum = 0;
    BufferBlockNum = 0;
    gPageSize = 0;
    gPageCount = 0;
    gFileProcessCount = 0;
}
