#include "stop_signals.h"

#include "common/print.h"
#include "common/run_record.h"

namespace driver {

int StatusAfterStop(int status)
{
    if (!platform::StopRequested())
        return status;
    PrintLine("\n\rInterrupted.");
    runrecord::Fail(runrecord::Result::kInterrupted);
    return 1;
}

}  // namespace driver
