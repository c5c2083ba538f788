// The three read-outs of the version query. Each returns the run's status.
#pragma once

#include "image_file.h"
#include "options.h"

namespace driver {

// Super I/O bank of logical device 0x10, compared with the expected text or
// the version file (null when none was asked for); relies on the
// configuration mode left entered.
int BramReadout(const RunOptions& options, const ImageFile* version_file);
// Eight characters of EC RAM 0xD8-0xDF, compared for equality.
int VarnelReadout(const RunOptions& options);
// EC RAM 0x00/0x01 and the project name; no comparison.
int PlainReadout();

}  // namespace driver
