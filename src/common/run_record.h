// The record of a run ("/L <file>"): what was flashed onto what, with which
// result, appended as one JSON line when the run ends, whichever way it
// ends. Every layer notes what it learns as it goes; nothing is read again
// for the record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sha256.h"

namespace runrecord {

// How a run ended, one word each in the record.
enum class Result : uint8_t {
    kOk,                // done (and verified, where the run verifies)
    kWrongParameter,    // the command line was refused
    kNoMode,            // nothing that can run was asked for
    kNoWindow,          // the port window could not be opened
    kFileError,         // a file could not be opened, read, created or written
    kProjectMismatch,   // the image does not carry the EC's project name
    kRefused,           // the image or area was refused before any write
    kEraseFailed,       // an erase check found a byte that is not erased
    kVerifyFailed,      // a verify found a byte that is not the image's
    kFinalCheckFailed,  // the part does not hold the whole image
    kDiffers,           // a compare found the flash differs from the image
    kProtectFailed,     // the status register does not hold the protection
    kTestFailed,        // the test pattern did not read back
    kNotIte,            // no Super I/O chip answered
    kNotNewer,          // the version compared with is not newer
    kNotEqual,          // the version compared with is not the same
    kInterrupted,       // a stop signal ended the run
    kTimeout,           // a device stopped answering
};

// The run's arguments and where the record goes (null: nowhere). Also
// starts the clocks.
void Start(int argc, char* argv[], const char* log_file);
void SetLogFile(const char* log_file);
void SetMode(const char* mode);

// What the run read of the EC, as it shows it.
void NoteProject(const char* name);
void NoteEcVersion(const char* text);
void NoteChip(uint16_t chip);

struct FlashFacts {
    const uint8_t* id;  // id_length bytes
    size_t id_length;
    const char* maker;  // null: not known
    const char* part;
    uint32_t capacity;  // bytes, 0: not known
    const char* size_source;  // "id", "sfdp" or "unknown"
};
void NoteFlash(const FlashFacts& flash);

// The flash area the run works on; region null for none.
void NoteArea(uint32_t base, const char* region, uint64_t length);
// The image (or version) file, whole in memory: its digest is taken here.
void NoteImage(const char* name, const uint8_t* bytes, uint64_t length);

// The bytes of the area as the run's last read of it returned them, in
// address order. Where that read found them equal to the image, the
// image's bytes are those bytes.
void HashFlash(const uint8_t* bytes, size_t length);
// The whole area went into the hash: the record gives its digest.
void FlashReadWhole();

void CountBlockWritten();
void CountBlockChecked();

// The first failure sticks; a stop or a timeout overrides it.
void Fail(Result result);

// Appends the record when the run asked for one; says so when it cannot.
void End(int status);

}  // namespace runrecord
