// The read-out ("/R <file> <size>"): the flash from the base into a new
// file, 64 KB at a time. Everything that can be refused is refused before
// the first byte to the EC; a file that is not whole is never left behind.
#include "banner.h"
#include "common/print.h"
#include "common/run_record.h"
#include "flash/block.h"
#include "flash/ident.h"
#include "flash/read.h"
#include "hostio/commands.h"
#include "hostio/flash_mode.h"
#include "image_checks.h"
#include "modes.h"
#include "platform/platform.h"
#include "stop_signals.h"

namespace driver {

namespace {

constexpr uint64_t kMostKb = uint64_t{1} << 32;  // far past the address space

// A decimal number of KB, digits only (0: the whole part); larger ones are
// cut to kMostKb, which no base fits.
bool SizeInKb(const char* text, uint64_t* kb)
{
    *kb = 0;
    if (*text == '\0')
        return false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        *kb = *kb * 10 + static_cast<uint64_t>(*c - '0');
        if (*kb > kMostKb)
            *kb = kMostKb;
    }
    return true;
}

// The output file, removed unless committed, and the chunk's buffer.
class ReadOutFile {
public:
    ReadOutFile() = default;
    ~ReadOutFile()
    {
        if (file_ != nullptr)
            platform::FileDiscard(file_);
        if (chunk_ != nullptr)
            platform::BufferFree(chunk_);
    }
    ReadOutFile(const ReadOutFile&) = delete;
    ReadOutFile& operator=(const ReadOutFile&) = delete;

    // Prints why when the file cannot be made or no buffer is to be had.
    bool Create(const char* name)
    {
        bool exists = false;
        file_ = platform::FileCreate(name, &exists);
        if (file_ == nullptr) {
            if (exists)
                PrintLine("\n\rFile exists, not overwritten!");
            else
                PrintText("\n\rFile Open Fail!");
            runrecord::Fail(runrecord::Result::kFileError);
            return false;
        }
        chunk_ = platform::BufferAlloc(flash::kBlockBytes);
        return chunk_ != nullptr || Done(false);
    }
    uint8_t* chunk() const { return chunk_; }
    bool Write(uint32_t length) { return Done(platform::FileWrite(file_, chunk_, length)); }
    bool Commit()
    {
        const bool whole = platform::FileCommit(file_);
        file_ = nullptr;
        return Done(whole);
    }

private:
    bool Done(bool written)
    {
        if (!written) {
            PrintLine("\n\rFile Write Fail!");
            runrecord::Fail(runrecord::Result::kFileError);
        }
        return written;
    }

    platform::OutFile* file_ = nullptr;
    uint8_t* chunk_ = nullptr;
};

enum class Ending : uint8_t { kSaved, kFailed, kStopped };

// The bytes to read: as asked, or from the base to the part's end (0).
// Zero, after saying why, when the part cannot give them.
uint64_t AreaToRead(const flash::FlashPart& part, uint32_t base, uint64_t kb)
{
    uint64_t bytes = 0;
    if (kb != 0) {
        bytes = PastCapacity(part, base + (kb << 10)) ? 0 : kb << 10;
    } else if (part.Capacity() == 0) {
        PrintLine("\n\rFlash size unknown: give the read-out size in KB!");
    } else if (!PastCapacity(part, uint64_t{base} + 1)) {
        // A base at or past the end leaves nothing: refused as past the part.
        bytes = part.Capacity() - base;
    }
    if (bytes == 0)
        runrecord::Fail(runrecord::Result::kRefused);
    else
        runrecord::NoteArea(base, nullptr, bytes);
    return bytes;
}

// Flash mode is open and the part identified: the area, chunk by chunk
// into the file.
Ending ReadChunks(const flash::FlashPart& part, uint32_t base, uint64_t bytes, ReadOutFile* out)
{
    for (uint32_t block = 0; uint64_t{block} * flash::kBlockBytes < bytes; ++block) {
        // A stop signal ends the work between chunks, never inside one.
        if (platform::StopRequested())
            return Ending::kStopped;
        const uint64_t left = bytes - uint64_t{block} * flash::kBlockBytes;
        const uint32_t length = static_cast<uint32_t>(left < flash::kBlockBytes ? left : flash::kBlockBytes);
        ShowStatusScreen(part, block);
        flash::ReadBlock(base + block * flash::kBlockBytes, out->chunk(), length);
        runrecord::HashFlash(out->chunk(), length);
        runrecord::CountBlockChecked();
        if (!out->Write(length))
            return Ending::kFailed;
    }
    runrecord::FlashReadWhole();
    return Ending::kSaved;
}

}  // namespace

int RunReadOutMode(const RunOptions& options)
{
    uint64_t kb = 0;
    if (!SizeInKb(options.read_size, &kb)) {
        PrintLine("\n\rRead size must be a number of KB (0: the whole flash)!");
        runrecord::Fail(runrecord::Result::kRefused);
        return 1;
    }
    if (const char* refusal = AreaRefusal(options, kb << 10)) {
        PrintLine(refusal);
        runrecord::Fail(runrecord::Result::kRefused);
        return 1;
    }
    // Held before the file exists: a stop from here on removes it.
    const StopSignalsHeld held;
    ReadOutFile out;
    if (!out.Create(options.read_file))
        return 1;

    const uint8_t closing = options.reset ? hostio::kEcCloseWithReset : hostio::kEcClose;
    hostio::OpenFlashMode(closing);
    PrintLine("vReadSPIDeviceID start\n");
    const flash::FlashPart part = flash::IdentifyFlash();
    PrintLine("vReadSPIDeviceID end\n");
    const uint32_t base = FlashBase(options);
    const uint64_t bytes = AreaToRead(part, base, kb);
    const Ending ending = bytes == 0 ? Ending::kFailed : ReadChunks(part, base, bytes, &out);
    hostio::CloseFlashMode(closing);
    if (ending == Ending::kStopped) {
        PrintLine("\n\rInterrupted.");
        runrecord::Fail(runrecord::Result::kInterrupted);
    }
    if (ending != Ending::kSaved || !out.Commit())
        return 1;
    Print("\n\rFlash saved: %uK from 0x%06X.\n", static_cast<unsigned>(bytes >> 10), static_cast<unsigned>(base));
    return 0;
}

}  // namespace driver
