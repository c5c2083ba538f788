// The run record on a hosted system: one write on a file opened for
// appending, so lines of runs that append at once never mix (on a local
// file system), then fsync, as the read-out's file.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "hosted.h"
#include "platform/platform.h"

namespace platform {

bool AppendRecord(const char* name, const char* bytes, size_t length)
{
    // Created here or found: only a name this run made needs its directory
    // synced.
    bool created = true;
    int fd = open(name, O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = open(name, O_WRONLY | O_APPEND | O_CLOEXEC);
    }
    if (fd < 0)
        return false;
    // Never a second write for the rest: that one could land after another
    // run's line.
    ssize_t written;
    do {
        written = write(fd, bytes, length);
    } while (written < 0 && errno == EINTR);
    bool whole = written >= 0 && static_cast<size_t>(written) == length;
    whole = hosted::Sync(fd) && whole;
    whole = close(fd) == 0 && whole;
    return whole && (!created || hosted::SyncDirectoryOf(name));
}

}  // namespace platform
