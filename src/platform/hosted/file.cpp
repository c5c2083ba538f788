// The image file and its buffer on a hosted C library.
#include <cstdio>
#include <cstdlib>

#include "hosted.h"
#include "platform/platform.h"

namespace platform {

struct File {
    FILE* stream;
};

namespace {

// What the run holds now: at most one image buffer and a file or two.
constexpr size_t kMaxHeld = 4;
File* gFiles[kMaxHeld];
uint8_t* gBuffers[kMaxHeld];

template <typename T>
bool Hold(T* (&held)[kMaxHeld], T* item)
{
    for (T*& slot : held) {
        if (slot == nullptr) {
            slot = item;
            return true;
        }
    }
    return false;
}

template <typename T>
void Forget(T* (&held)[kMaxHeld], T* item)
{
    for (T*& slot : held) {
        if (slot == item)
            slot = nullptr;
    }
}

}  // namespace

File* FileOpen(const char* name)
{
    if (name == nullptr)
        return nullptr;
    FILE* stream = fopen(name, "rb");
    if (stream == nullptr)
        return nullptr;
    File* file = static_cast<File*>(malloc(sizeof(File)));
    if (file == nullptr || !Hold(gFiles, file)) {
        free(file);
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
    Forget(gFiles, file);
    fclose(file->stream);
    free(file);
}

uint8_t* BufferAlloc(size_t length)
{
    auto* buffer = static_cast<uint8_t*>(malloc(length > 0 ? length : 1));
    if (buffer != nullptr && !Hold(gBuffers, buffer)) {
        free(buffer);
        return nullptr;
    }
    return buffer;
}

void BufferFree(uint8_t* buffer)
{
    Forget(gBuffers, buffer);
    free(buffer);
}

namespace hosted {

void ReleaseAll()
{
    DiscardUncommitted();
    for (File* file : gFiles)
        FileClose(file);
    for (uint8_t* buffer : gBuffers) {
        if (buffer != nullptr)
            BufferFree(buffer);
    }
}

}  // namespace hosted

}  // namespace platform
