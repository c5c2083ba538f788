// An image (or version) file, read whole into the image buffer. The file
// and the buffer are released when it goes out of scope; a run that ends
// from deeper down (a timeout) leaves that to platform::Exit.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace driver {

// The flash's three address bytes reach 16 MB: no image is longer, and a
// length past it (a directory reports one) is no image at all.
inline constexpr uint64_t kLargestImage = 0x1000000;

class ImageFile {
public:
    ImageFile() = default;
    ~ImageFile();
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // False when the file cannot be opened (or no name was given).
    bool Open(const char* name);
    platform::File* file() const { return file_; }
    // The length, by seeking to the end and back to the start; false when it
    // cannot be found or is past kLargestImage.
    bool Measure();
    // The whole file into the buffer; false when it cannot be held or reads
    // short.
    bool ReadWhole();
    // The file is done with; the buffer stays.
    void Close();

    uint64_t length() const { return length_; }
    const uint8_t* bytes() const { return buffer_; }

private:
    platform::File* file_ = nullptr;
    uint8_t* buffer_ = nullptr;
    uint64_t length_ = 0;
};

}  // namespace driver
