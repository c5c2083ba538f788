#include "runstate.h"

uint8_t hasFile;
const char* gFileName;
int32_t FileSize;
uint64_t gProjectCheck;
uint8_t BBK_flag;
uint8_t Main_flag;
uint8_t Backup_flag;
uint8_t Protect_BBK_flag;
uint8_t Test_flag;
uint8_t FW_flag;
uint8_t BRAM_flag;
uint8_t Varnel_flag;
uint8_t FileVer_flag;
const char* FW_CP;
const char* BIN_Ver_offset;
uint64_t gOffset;
uint64_t gReset;

void ResetRunState()
{
    hasFile = 0;
    gFileName = nullptr;
    FileSize = 0;
    gProjectCheck = 0;
    BBK_flag = Main_flag = Backup_flag = 0;
    Protect_BBK_flag = Test_flag = 0;
    FW_flag = BRAM_flag = Varnel_flag = FileVer_flag = 0;
    FW_CP = nullptr;
    BIN_Ver_offset = nullptr;
    gOffset = 0;
    gReset = 0;
}
