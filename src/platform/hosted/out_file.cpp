// The read-out's file on a hosted system: created with O_EXCL, so neither
// an existing file nor a link in its place is ever written through.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "hosted.h"
#include "platform/platform.h"

namespace platform {

struct OutFile {
    int fd;
    const char* name;
};

namespace {

// A run writes one file at most.
OutFile gOut = {-1, nullptr};

}  // namespace

OutFile* FileCreate(const char* name, bool* exists)
{
    *exists = false;
    if (gOut.fd >= 0)
        return nullptr;
    const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        *exists = errno == EEXIST;
        return nullptr;
    }
    gOut = {fd, name};
    return &gOut;
}

bool FileWrite(OutFile* file, const uint8_t* bytes, size_t length)
{
    while (length > 0) {
        const ssize_t n = write(file->fd, bytes, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

// A backup is only worth its status 0 once the system has it on the disk,
// its name included: a new file's entry is in its directory, which is
// synced on its own.
bool FileCommit(OutFile* file)
{
    const bool synced = fsync(file->fd) == 0;
    const bool closed = close(file->fd) == 0;
    file->fd = -1;
    if (synced && closed && hosted::SyncDirectoryOf(file->name))
        return true;
    unlink(file->name);
    return false;
}

void FileDiscard(OutFile* file)
{
    close(file->fd);
    file->fd = -1;
    unlink(file->name);
}

namespace hosted {

void DiscardUncommitted()
{
    if (gOut.fd >= 0)
        FileDiscard(&gOut);
}

}  // namespace hosted

}  // namespace platform
