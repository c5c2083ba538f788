// The image in memory and its geometry: set once by the image checks just
// before the update; the update sequence and the flash engine advance the
// block and byte positions.
#pragma once

#include <cstdint>

extern uint8_t* gUSBReadBuffer;     // the whole image
extern uint64_t gFileSize;          // bytes to write
extern uint32_t MaxBlockNum;        // 64 KB blocks, rounded up
extern uint8_t BlockNum;            // flash block being worked on
extern uint8_t BufferBlockNum;      // image block feeding it
extern uint64_t gPageSize;          // 1024
extern uint32_t gPageCount;         // 1 KB pages, rounded up
extern uint64_t gFileProcessCount;  // image bytes programmed so far

void ResetImageState();
