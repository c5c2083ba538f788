#include "stop_signals.h"

#include "common/print.h"

namespace driver {

int StatusAfterStop(int status)
{
    if (!platform::StopRequested())
        return status;
    PrintLine("\n\rInterrupted.");
    return 1;
}

}  // namespace driver
