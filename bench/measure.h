// The benchmark's measurements; each adds its results (and anything that
// went wrong) to *results. Image paths are relative: the tool reads an
// argument that starts with '/' as an option.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "results.h"

namespace bench {

// The images of the runs by size in KB: their files and their bytes.
struct Image {
    std::string path;
    std::vector<uint8_t> bytes;
};
using Images = std::map<uint32_t, Image>;

// Files the runs write into the work directory.
inline constexpr const char* kReadOutFile = "readout.bin";
inline constexpr const char* kRecordFile = "record.jsonl";  // "/L"

// The largest image a family's parts hold: kImageKb, or less on the parts
// that only come smaller.
uint32_t ImageKbFor(const Family& family);

// Whole updates on a board whose EC and flash answer at once, one per part
// family, every routine's port accesses set against the protocol minimum;
// each once more with a run record, which must cost no access.
void CountAccesses(const Images& images, Results* results);

// The same count on slower boards, which must come out above the minimum.
void CountControls(const std::string& image_path, const std::vector<uint8_t>& image, Results* results);

// Whole updates of kovrinux-sim (the program at sim) on the default board:
// one warm-up, then runs timed; stats_path takes its --stats.
void TimeChild(const std::string& sim, const std::string& image_path, const std::string& stats_path, int runs,
               Results* results);

// The runs beside the plain update, each counted against the protocol
// minimum and timed with the parts' busy times: a read-out and a compare of
// the 256 KB image the flash holds (the read-out's file must equal it), /I
// on the default part and on one that tells its size by SFDP, and /D over a
// flash that holds the image, all of it but one sector, or none of it.
void RunModes(const std::string& image_path, const std::vector<uint8_t>& image, Results* results);

// The virtual time of whole updates on the default board, per family and
// image size. Run after TimeChild: the 256 KB winbond run must agree with it.
void ModelTimes(const Images& images, Results* results);

}  // namespace bench
