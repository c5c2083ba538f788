// The update mode, and the compare: the image is opened, matched with the
// EC's project, measured, read whole and checked before the update sequence
// runs.
#include "common/print.h"
#include "image_checks.h"
#include "image_file.h"
#include "modes.h"
#include "project_check.h"
#include "stop_signals.h"
#include "update.h"

namespace driver {

int RunUpdateMode(const RunOptions& options)
{
    ImageFile file;
    if (!file.Open(options.image)) {
        PrintText("\n\rFile Open Fail!");
        return 1;
    }
    // The project name is the first thing asked of the EC.
    const StopSignalsHeld held;
    if (options.check_project && !CheckProjectName(file.file()))
        return 1;
    if (!file.Measure()) {
        PrintLine("\n\rFile Read Fail!");
        return 1;
    }

    const Geometry geometry = GeometryOf(file.length());
    Print("\n\rFile Size: %dK\n", static_cast<int>(geometry.pages));
    if (options.size_kb != 0 && static_cast<int64_t>(options.size_kb) != static_cast<int64_t>(geometry.pages)) {
        PrintLine("\n\rParamter NOT Match with File Size, Please try again!\n");
        return 1;
    }
    Print("\n\rBlockNum: %d,  MaxBlock: %d,   PageCount: %d\n", 0, static_cast<int>(geometry.blocks),
          static_cast<int>(geometry.pages));

    if (!file.ReadWhole()) {
        PrintLine("\n\rFile Read Fail!");
        return 1;
    }
    if (const char* broken = BrokenRegionRule(options, file.length())) {
        PrintText(broken);
        return 1;
    }
    if (const char* refusal = PlacementRefusal(options, file.length())) {
        PrintLine(refusal);
        return 1;
    }
    if (platform::StopRequested()) {
        PrintLine("\n\rInterrupted: nothing was written.");
        return 1;
    }
    return RunUpdate(options, UpdateImage{file.bytes(), file.length(), geometry});
}

}  // namespace driver
