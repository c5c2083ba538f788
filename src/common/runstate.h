// Run-state globals: set by the argument scan, read by every mode. All start
// at zero; only the scan writes them.
#pragma once

#include <cstdint>

extern uint8_t hasFile;           // an image file was named: update mode
extern const char* gFileName;     // image file, or version file of "/V?F"
extern int32_t FileSize;          // size argument in KB; 0 = not given
extern uint64_t gProjectCheck;    // 1: check the image's project name first
extern uint8_t BBK_flag;          // image is the 4 KB boot-block region
extern uint8_t Main_flag;         // image is the 60 KB main-code region
extern uint8_t Backup_flag;       // image is the 60 KB backup-code region
extern uint8_t Protect_BBK_flag;  // stand-alone boot-block protection
extern uint8_t Test_flag;         // stand-alone test; also the erase display
extern uint8_t FW_flag;           // version query
extern uint8_t BRAM_flag;         // version query reads the Super I/O bank
extern uint8_t Varnel_flag;       // version query reads EC RAM 0xD8-0xDF
extern uint8_t FileVer_flag;      // version query compares with an image
extern const char* FW_CP;         // expected version text
extern const char* BIN_Ver_offset;  // argument after the version file; unused
extern uint64_t gOffset;          // flash base for the update (hex argument)
extern uint64_t gReset;           // 1: close flash mode with 0xFC

// Back to the start values (tests run many scans in one process).
void ResetRunState();
