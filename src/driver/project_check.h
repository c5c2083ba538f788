// The check that an image belongs to the project the running EC reports.
#pragma once

#include "platform/platform.h"

namespace driver {

// True when name occurs anywhere in the file, read once from its current
// position to the end. An empty name is found without reading.
bool FileHoldsName(platform::File* file, const char* name);

// Reads the EC's name and looks for it in the image, printing the pass line
// or the mismatch lines. True when the image may be flashed.
bool CheckProjectName(platform::File* file);

}  // namespace driver
