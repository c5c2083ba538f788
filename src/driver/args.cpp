#include "args.h"

#include "common/runstate.h"
#include "common/text.h"

namespace {

// Options taking only themselves, tried in this order by their first
// characters ("/BKX" is "/BK"). Each sets one run flag.
struct Option {
    const char* prefix;
    uint8_t* flag;
    uint64_t* wide;
    uint8_t value;
};

const Option kOptions[] = {
    {"/BK", &BBK_flag, nullptr, 1},
    {"/Mn", &Main_flag, nullptr, 1},
    {"/Bp", &Backup_flag, nullptr, 1},
    {"/PB", &Protect_BBK_flag, nullptr, 1},
    {"/T", &Test_flag, nullptr, 1},
    {"/O", nullptr, nullptr, 0},  // its value is read by the scan
    {"/j", nullptr, &gReset, 1},
    {"/F", nullptr, &gProjectCheck, 0},
    {"/f", nullptr, &gProjectCheck, 0},
};

const char* ArgOrNull(int argc, char* argv[], int i)
{
    return i < argc ? argv[i] : nullptr;
}

// The version option consumes what follows it and ends the scan.
void TakeVersionOption(int argc, char* argv[], int i)
{
    const char* arg = argv[i];
    FW_flag = 1;
    if (CharAt(arg, 2) == 'B')
        BRAM_flag = 1;
    else if (CharAt(arg, 2) == 'C')
        Varnel_flag = 1;
    if (StrLen(arg) >= 4 && arg[3] == 'F') {
        FileVer_flag = 1;
        // After an image the option is ignored: it must not swap the file
        // that is about to be flashed.
        if (hasFile == 1)
            return;
        gFileName = ArgOrNull(argc, argv, i + 1);
        BIN_Ver_offset = gFileName != nullptr ? ArgOrNull(argc, argv, i + 2) : nullptr;
    } else {
        FW_CP = ArgOrNull(argc, argv, i + 1);
    }
}

}  // namespace

ScanResult ScanArguments(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char before = CharAt(argv[i - 1], 1);

        if (arg[0] == '/' && (arg[1] == 'V' || arg[1] == 'v')) {
            TakeVersionOption(argc, argv, i);
            return ScanResult::kOk;
        }

        if (arg[0] != '/' && before != 'O' && before != 'R' && before != 'V') {
            if (i + 1 >= argc || argv[i + 1][0] == '/')
                return ScanResult::kSizeLost;
            hasFile = 1;
            gProjectCheck = 1;
            gFileName = arg;
            FileSize = static_cast<int32_t>(StrToL(argv[i + 1], 10));
            ++i;
            continue;
        }

        const Option* option = nullptr;
        for (const Option& o : kOptions) {
            if (StartsWith(arg, o.prefix)) {
                option = &o;
                break;
            }
        }
        if (option != nullptr) {
            if (option->flag == nullptr && option->wide == nullptr) {
                // "/O" without a value would silently flash at base 0.
                if (i + 1 >= argc || argv[i + 1][0] == '/')
                    return ScanResult::kWrongParameter;
                gOffset = static_cast<uint64_t>(StrToL(argv[i + 1], 16));
            } else if (option->flag != nullptr) {
                *option->flag = option->value;
            } else {
                *option->wide = option->value;
            }
            continue;
        }

        // The value after "/O" (and after "?V" arguments) is passed over.
        if (arg[0] != '/' && (before == 'O' || before == 'V'))
            continue;

        return ScanResult::kWrongParameter;
    }
    return ScanResult::kOk;
}

RunMode ChooseMode()
{
    if (hasFile == 1)
        return RunMode::kUpdate;
    if (Test_flag == 1)
        return RunMode::kTest;
    if (Protect_BBK_flag == 1)
        return RunMode::kProtect;
    if (FW_flag == 1)
        return RunMode::kVersion;
    return RunMode::kNone;
}
