#include "banner.h"
#include "common/print.h"
#include "common/run_record.h"
#include "common/program.h"
#include "hostio/sio.h"
#include "image_file.h"
#include "modes.h"
#include "stop_signals.h"
#include "version_readouts.h"

namespace driver {

namespace {

int ReadOut(const RunOptions& options)
{
    const uint16_t chip = hostio::FindIteChip();
    if (kProgram.show_chip_id)
        Print("\n\rfind_ite_chip=%x\n", chip);
    if (chip == hostio::kNoChip) {
        PrintText("\n\rNot ITE Chip\n\r");
        runrecord::Fail(runrecord::Result::kNotIte);
        return 1;
    }

    ImageFile file;
    if (options.version_file) {
        if (!file.Open(options.version_file_name)) {
            PrintText("\n\rFile Open Fail!");
            runrecord::Fail(runrecord::Result::kFileError);
            return 1;
        }
        Print("\n\rfopen file %s ", options.version_file_name);
        const bool read = file.Measure() && file.ReadWhole();
        file.Close();
        if (!read) {
            PrintLine("\n\rFile Read Fail!");
            runrecord::Fail(runrecord::Result::kFileError);
            return 1;
        }
        runrecord::NoteImage(options.version_file_name, file.bytes(), file.length());
    }

    switch (options.readout) {
    case Readout::kBram:
        return BramReadout(options, options.version_file ? &file : nullptr);
    case Readout::kVarnel:
        return VarnelReadout(options);
    case Readout::kPlain:
        break;
    }
    return PlainReadout();
}

}  // namespace

int RunVersionQuery(const RunOptions& options)
{
    ShowBanner();
    const StopSignalsHeld held;
    return StatusAfterStop(ReadOut(options));
}

}  // namespace driver
