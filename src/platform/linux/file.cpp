// The image file and its buffer on a hosted C library (Linux and the
// virtual board's programs).
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace platform {

struct File {
    FILE* stream;
};

File* FileOpen(const char* name)
{
    if (name == nullptr)
        return nullptr;
    FILE* stream = fopen(name, "rb");
    if (stream == nullptr)
        return nullptr;
    File* file = static_cast<File*>(malloc(sizeof(File)));
    if (file == nullptr) {
        fclose(stream);
        return nullptr;
    }
    file->stream = stream;
    return file;
}

bool FileLength(File* file, uint64_t* length)
{
    if (fseeko(file->stream, 0, SEEK_END) != 0)
        return false;
    const off_t end = ftello(file->stream);
    if (end < 0 || fseeko(file->stream, 0, SEEK_SET) != 0)
        return false;
    *length = static_cast<uint64_t>(end);
    return true;
}

size_t FileRead(File* file, uint8_t* buffer, size_t length)
{
    return fread(buffer, 1, length, file->stream);
}

void FileClose(File* file)
{
    if (file == nullptr)
        return;
    fclose(file->stream);
    free(file);
}

uint8_t* BufferAlloc(size_t length)
{
    return static_cast<uint8_t*>(malloc(length > 0 ? length : 1));
}

void BufferFree(uint8_t* buffer)
{
    free(buffer);
}

}  // namespace platform
