// Data that has to survive a power cut once the tool said it is saved.
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hosted.h"

namespace platform::hosted {

// A pipe or a terminal has nothing to sync (EINVAL): what was written is
// delivered.
bool Sync(int fd)
{
    return fsync(fd) == 0 || errno == EINVAL;
}

bool SyncDirectoryOf(const char* name)
{
    char directory[PATH_MAX] = ".";
    const char* slash = strrchr(name, '/');
    if (slash != nullptr) {
        const size_t length = slash == name ? 1 : static_cast<size_t>(slash - name);
        if (length >= sizeof directory)
            return false;
        memcpy(directory, name, length);
        directory[length] = '\0';
    }
    const int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = Sync(fd);
    close(fd);
    return synced;
}

}  // namespace platform::hosted
