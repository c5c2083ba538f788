// The update mode, and the compare: the image is opened, matched with the
// EC's project, measured, read whole and checked before the update sequence
// runs.
#include "common/print.h"
#include "common/run_record.h"
#include "image_checks.h"
#include "image_file.h"
#include "modes.h"
#include "project_check.h"
#include "stop_signals.h"
#include "update.h"

namespace driver {

namespace {

using runrecord::Result;

// Says why, as a line, and ends the mode with status 1.
int Refuse(Result why, const char* line)
{
    PrintLine(line);
    runrecord::Fail(why);
    return 1;
}

}  // namespace

int RunUpdateMode(const RunOptions& options)
{
    ImageFile file;
    if (!file.Open(options.image)) {
        PrintText("\n\rFile Open Fail!");
        runrecord::Fail(Result::kFileError);
        return 1;
    }
    // The project name is the first thing asked of the EC.
    const StopSignalsHeld held;
    if (options.check_project && !CheckProjectName(file.file())) {
        runrecord::Fail(Result::kProjectMismatch);
        return 1;
    }
    if (!file.Measure())
        return Refuse(Result::kFileError, "\n\rFile Read Fail!");

    const Geometry geometry = GeometryOf(file.length());
    Print("\n\rFile Size: %dK\n", static_cast<int>(geometry.pages));
    if (options.size_kb != 0 && static_cast<int64_t>(options.size_kb) != static_cast<int64_t>(geometry.pages))
        return Refuse(Result::kRefused, "\n\rParamter NOT Match with File Size, Please try again!\n");
    Print("\n\rBlockNum: %d,  MaxBlock: %d,   PageCount: %d\n", 0, static_cast<int>(geometry.blocks),
          static_cast<int>(geometry.pages));

    if (!file.ReadWhole())
        return Refuse(Result::kFileError, "\n\rFile Read Fail!");
    runrecord::NoteImage(options.image, file.bytes(), file.length());
    if (const char* broken = BrokenRegionRule(options, file.length())) {
        PrintText(broken);
        runrecord::Fail(Result::kRefused);
        return 1;
    }
    if (const char* refusal = PlacementRefusal(options, file.length()))
        return Refuse(Result::kRefused, refusal);
    if (platform::StopRequested())
        return Refuse(Result::kInterrupted, kNothingWritten);
    return RunUpdate(options, UpdateImage{file.bytes(), file.length(), geometry});
}

}  // namespace driver
