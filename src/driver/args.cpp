#include "common/text.h"
#include "options.h"
#include "regions.h"

namespace driver {

namespace {

// Options that take only themselves, tried in this order by their first
// characters ("/BKX" is "/BK").
struct Option {
    const char* prefix;
    void (*apply)(RunOptions* options);
};

const Option kOptions[] = {
    {"/BK", [](RunOptions* o) { o->boot_block = true; }},
    {"/Mn", [](RunOptions* o) { o->main_code = true; }},
    {"/Bp", [](RunOptions* o) { o->backup_code = true; }},
    {"/PB", [](RunOptions* o) { o->protect = true; }},
    {"/I", [](RunOptions* o) { o->information = true; }},
    {"/T", [](RunOptions* o) { o->test = true; }},
    {"/C", [](RunOptions* o) { o->compare = true; }},
    {"/D", [](RunOptions* o) { o->differential = true; }},
    {"/O", nullptr},  // its value is read by the scan
    {"/j", [](RunOptions* o) { o->reset = true; }},
    {"/F", [](RunOptions* o) { o->check_project = false; }},
    {"/f", [](RunOptions* o) { o->check_project = false; }},
};

const char* ArgOrNull(int argc, char* argv[], int i)
{
    return i < argc ? argv[i] : nullptr;
}

// The version option consumes what follows it and ends the scan.
void TakeVersionOption(int argc, char* argv[], int i, RunOptions* options)
{
    const char* arg = argv[i];
    options->version = true;
    if (CharAt(arg, 2) == 'B')
        options->readout = Readout::kBram;
    else if (CharAt(arg, 2) == 'C')
        options->readout = Readout::kVarnel;
    if (CharAt(arg, 3) != 'F') {
        options->expected_version = ArgOrNull(argc, argv, i + 1);
        return;
    }
    options->version_file = true;
    // After an image the option is ignored: it must not name another file.
    if (options->image != nullptr)
        return;
    options->version_file_name = ArgOrNull(argc, argv, i + 1);
    if (options->version_file_name != nullptr)
        options->version_offset = ArgOrNull(argc, argv, i + 2);
}

// "/R" takes the file name and the size that follow it; false when one is
// missing or is an option.
bool TakeReadOut(int argc, char* argv[], int i, RunOptions* options)
{
    for (int k = i + 1; k <= i + 2; ++k) {
        if (k >= argc || argv[k][0] == '/')
            return false;
    }
    options->read_out = true;
    options->read_file = argv[i + 1];
    options->read_size = argv[i + 2];
    return true;
}

// The read-out and the information mode are modes of their own: nothing
// that picks or shapes another mode may come with them. A compare writes
// nothing, so it cannot rewrite what differs.
bool ModesMixed(const RunOptions& o)
{
    const bool other = o.image != nullptr || o.test || o.protect || o.version || o.compare || o.differential ||
                       ChosenRegion(o) != nullptr;
    return (o.read_out && (other || o.information)) || (o.information && (other || o.offset_given)) ||
           (o.compare && o.differential);
}

const Option* FindOption(const char* arg)
{
    for (const Option& o : kOptions) {
        if (StartsWith(arg, o.prefix))
            return &o;
    }
    return nullptr;
}

}  // namespace

ScanResult ScanArguments(int argc, char* argv[], RunOptions* options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char before = CharAt(argv[i - 1], 1);

        if (arg[0] == '/' && (arg[1] == 'V' || arg[1] == 'v')) {
            TakeVersionOption(argc, argv, i, options);
            break;
        }

        if (StartsWith(arg, "/L")) {
            if (i + 1 >= argc || argv[i + 1][0] == '/')
                return ScanResult::kWrongParameter;
            options->log_file = argv[++i];
            continue;
        }

        if (StartsWith(arg, "/R")) {
            if (!TakeReadOut(argc, argv, i, options))
                return ScanResult::kSizeLost;
            i += 2;
            continue;
        }

        if (arg[0] != '/' && before != 'O' && before != 'R' && before != 'V') {
            if (i + 1 >= argc || argv[i + 1][0] == '/')
                return ScanResult::kSizeLost;
            options->image = arg;
            options->check_project = true;
            options->size_kb = static_cast<int32_t>(StrToL(argv[i + 1], 10));
            ++i;
            continue;
        }

        if (const Option* option = FindOption(arg)) {
            if (option->apply != nullptr) {
                option->apply(options);
                continue;
            }
            // "/O" without a value, or with text that is no hex number,
            // would silently flash at base 0.
            if (i + 1 >= argc || !ParseHex(argv[i + 1], &options->offset))
                return ScanResult::kWrongParameter;
            options->offset_given = true;
            continue;
        }

        // The value after "/O" (and after "?V" arguments) is passed over.
        if (arg[0] != '/' && (before == 'O' || before == 'V'))
            continue;

        return ScanResult::kWrongParameter;
    }
    return ModesMixed(*options) ? ScanResult::kWrongParameter : ScanResult::kOk;
}

RunMode ChooseMode(const RunOptions& options)
{
    if (options.read_out)
        return RunMode::kReadOut;
    if (options.image != nullptr)
        return RunMode::kUpdate;
    if (options.test)
        return RunMode::kTest;
    if (options.protect)
        return RunMode::kProtect;
    if (options.information)
        return RunMode::kInformation;
    if (options.version)
        return RunMode::kVersion;
    return RunMode::kNone;
}

}  // namespace driver
