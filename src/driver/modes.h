// The run modes; each returns the run's exit status (0 or 1) and leaves the
// common exit to ToolMain.
#pragma once

#include "options.h"

namespace driver {

int RunReadOutMode(const RunOptions& options);
int RunUpdateMode(const RunOptions& options);
int RunTestMode();
int RunProtectMode();
int RunInformationMode(const RunOptions& options);
int RunVersionQuery(const RunOptions& options);

}  // namespace driver
