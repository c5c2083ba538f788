#include "image_file.h"

namespace driver {

ImageFile::~ImageFile()
{
    if (buffer_ != nullptr)
        platform::BufferFree(buffer_);
    Close();
}

bool ImageFile::Open(const char* name)
{
    file_ = platform::FileOpen(name);
    return file_ != nullptr;
}

bool ImageFile::Measure()
{
    return platform::FileLength(file_, &length_) && length_ <= kLargestImage;
}

bool ImageFile::ReadWhole()
{
    const size_t length = static_cast<size_t>(length_);
    buffer_ = platform::BufferAlloc(length);
    if (buffer_ == nullptr)
        return false;
    for (size_t done = 0; done < length;) {
        const size_t got = platform::FileRead(file_, buffer_ + done, length - done);
        if (got == 0)
            return false;
        done += got;
    }
    return true;
}

void ImageFile::Close()
{
    if (file_ != nullptr)
        platform::FileClose(file_);
    file_ = nullptr;
}

}  // namespace driver
