#include "project_check.h"

#include "common/print.h"
#include "common/text.h"
#include "hostio/ec_memory.h"

namespace driver {

namespace {

using hostio::kEcProjectNameLength;

}  // namespace

// A true substring search that still reads the file only forwards: on a
// mismatch the match falls back to the longest prefix of the name that
// ends here, so "AABC" holds "ABC".
bool FileHoldsName(platform::File* file, const char* name)
{
    const size_t length = StrLen(name);
    if (length == 0)
        return true;

    size_t fallback[kEcProjectNameLength] = {};
    for (size_t i = 1, k = 0; i < length; ++i) {
        while (k > 0 && name[i] != name[k])
            k = fallback[k - 1];
        if (name[i] == name[k])
            ++k;
        fallback[i] = k;
    }

    uint8_t chunk[512];
    size_t matched = 0;
    for (;;) {
        const size_t got = platform::FileRead(file, chunk, sizeof chunk);
        if (got == 0)
            return false;
        for (size_t n = 0; n < got; ++n) {
            const char c = static_cast<char>(chunk[n]);
            while (matched > 0 && c != name[matched])
                matched = fallback[matched - 1];
            if (c == name[matched])
                ++matched;
            if (matched == length)
                return true;
        }
    }
}

bool CheckProjectName(platform::File* file)
{
    // The version bytes are read as the plain version read-out reads them;
    // the check itself does not use them.
    hostio::ReadEcVersion();

    uint8_t bytes[kEcProjectNameLength];
    hostio::ReadProjectName(bytes);
    char name[kEcProjectNameLength + 1];
    hostio::ProjectNameText(bytes, name);

    if (!FileHoldsName(file, name)) {
        for (int i = 0; i < 3; ++i)
            PrintLine("\n\rThe EC bin does not match this project.\n");
        return false;
    }
    PrintText("\n\rPassssssssssssssssssssssssss");
    return true;
}

}  // namespace driver
