// The four run modes; each returns the run's exit status (0 or 1) and
// leaves the common exit to ToolMain.
#pragma once

int RunUpdateMode();
int RunTestMode();
int RunProtectMode();
int RunVersionQuery();
