#include "flash_mode.h"

#include "common/print.h"
#include "common/run_record.h"
#include "mailbox.h"
#include "platform/platform.h"
#include "wait.h"

namespace hostio {

namespace {

// What the run has changed on the board and must undo if it ends early.
bool gKeyboardDisabled;
uint8_t gClosingCommand;
bool gEnding;
const char* gTimeoutAdvice;

// One byte to a mailbox command port, giving up on each wait instead of
// ending the run: a wedged EC must not keep the keyboard off. The byte is
// written even when the device still looks busy; it may yet take it. The
// run already reported its timeout, so this attempt stays silent.
void TrySend(MailboxPair pair, uint8_t value)
{
    auto taken = [pair] { return (platform::IoRead8(pair.command) & kInputBufferFull) == 0; };
    TryWaitFor(taken, kMailboxLimitUs);
    platform::IoWrite8(pair.command, value);
    TryWaitFor(taken, kMailboxLimitUs);
}

// The keyboard's enable goes as every keyboard command does: whatever the
// controller has pending is read and dropped first.
void TrySendKbcCommand(uint8_t code)
{
    TryWaitFor(DropPendingKbcByte, kMailboxLimitUs);
    TrySend(kKeyboardController, code);
}

}  // namespace

void OpenFlashMode(uint8_t closing)
{
    // Nothing has changed on the flash yet in this run.
    gTimeoutAdvice = nullptr;
    gEnding = false;
    PrintLine("Send KB Cmd 0xAD \n");
    gKeyboardDisabled = true;
    SendKbcCommand(kKbcDisableKeyboard);

    PrintLine("Send EC Cmd 0xDC \n");
    gClosingCommand = closing;
    SendEcCommand(kEcEnterFlashMode);

    PrintLine("Read EC Data \n");
    PrintLine(ReadEcData() == kEcFlashModeAck ? "EC ACK OK. \n" : "EC ACK Fail. \n");
}

void CloseFlashMode(uint8_t closing)
{
    SendEcCommand(closing);
    gClosingCommand = 0;
    SendKbcCommand(kKbcEnableKeyboard);
    gKeyboardDisabled = false;
}

void SetTimeoutAdvice(const char* line)
{
    gTimeoutAdvice = line;
}

void WaitExpired(Awaited awaited)
{
    if (awaited.port >= 0)
        Print("\n\rTimeout: %s on port 0x%02X\n", awaited.what, awaited.port);
    else
        Print("\n\rTimeout: %s\n", awaited.what);
    if (!gEnding) {
        gEnding = true;
        if (gTimeoutAdvice != nullptr)
            PrintLine(gTimeoutAdvice);
        if (gClosingCommand != 0)
            TrySend(kEcMailbox, gClosingCommand);
        if (gKeyboardDisabled)
            TrySendKbcCommand(kKbcEnableKeyboard);
    }
    runrecord::Fail(runrecord::Result::kTimeout);
    runrecord::End(1);
    platform::CloseWindow();
    platform::Exit(1);
}

}  // namespace hostio
