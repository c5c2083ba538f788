#include "session.h"

#include "common/flavour.h"
#include "common/print.h"
#include "platform/platform.h"
#include "wait.h"

namespace hostio {

namespace {

bool gKeyboardDisabled;
uint8_t gClosingCommand;
bool gEnding;

constexpr uint8_t kKbcCommandPort = 0x64;
constexpr uint8_t kInputBufferFull = 0x02;

// One byte to a mailbox command port, giving up on each wait instead of
// ending the run: a wedged EC must not keep the keyboard off. The byte is
// written even when the device still looks busy; it may yet take it. The
// run already reported its timeout, so this attempt stays silent.
void TrySend(uint8_t command_port, uint8_t value)
{
    auto taken = [command_port] { return (IoRead8(command_port) & kInputBufferFull) == 0; };
    TryWaitFor(taken, kMailboxLimitUs);
    IoWrite8(command_port, value);
    TryWaitFor(taken, kMailboxLimitUs);
}

}  // namespace

void SessionKeyboardDisabled(bool disabled)
{
    gKeyboardDisabled = disabled;
}

void SessionFlashMode(uint8_t closing_command)
{
    gClosingCommand = closing_command;
}

void WaitExpired(Awaited awaited)
{
    if (awaited.port >= 0)
        kprint("\n\rTimeout: %s on port 0x%02X\n", awaited.what, awaited.port);
    else
        kprint("\n\rTimeout: %s\n", awaited.what);
    if (!gEnding) {
        gEnding = true;
        if (gClosingCommand != 0)
            TrySend(kFlavour.ec_cmd_port, gClosingCommand);
        if (gKeyboardDisabled)
            TrySend(kKbcCommandPort, 0xAE);
    }
    platform::CloseWindow();
    platform::Exit(1);
}

}  // namespace hostio
