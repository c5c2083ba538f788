#include "mailbox.h"

#include "platform/platform.h"
#include "wait.h"

namespace hostio {

namespace {

// Until the device has taken the host's last byte.
void WaitInputTaken(MailboxPair pair, const char* what)
{
    WaitFor([pair] { return (platform::IoRead8(pair.command) & kInputBufferFull) == 0; }, kMailboxLimitUs,
            {what, pair.command});
}

// Until the device offers a byte in its data port.
void WaitOutputOffered(MailboxPair pair, const char* what)
{
    WaitFor([pair] { return (platform::IoRead8(pair.command) & kOutputBufferFull) != 0; }, kMailboxLimitUs,
            {what, pair.command});
}

constexpr const char* kEcInput = "EC input buffer";
constexpr const char* kEcOutput = "EC output buffer";

// Input-buffer wait, the byte, and the wait until the device took it.
void Send(MailboxPair pair, uint8_t port, uint8_t value, const char* what)
{
    WaitInputTaken(pair, what);
    platform::IoWrite8(port, value);
    WaitInputTaken(pair, what);
}

}  // namespace

void WaitEcInputEmpty()
{
    WaitInputTaken(kEcMailbox, kEcInput);
}

void WaitEcOutputFull()
{
    WaitOutputOffered(kEcMailbox, kEcOutput);
}

void SendEcCommand(uint8_t code)
{
    Send(kEcMailbox, kEcMailbox.command, code, kEcInput);
}

void SendEcData(uint8_t value)
{
    Send(kEcMailbox, kEcMailbox.data, value, kEcInput);
}

uint8_t ReadEcData()
{
    WaitEcOutputFull();
    return platform::IoRead8(kEcMailbox.data);
}

uint8_t ReadEcExternalRam(uint16_t address)
{
    SendEcCommand(kEcReadExternalRam);
    SendEcData(static_cast<uint8_t>(address >> 8));
    SendEcData(static_cast<uint8_t>(address));
    return ReadEcData();
}

void WaitKbcInputEmpty()
{
    WaitInputTaken(kKeyboardController, "keyboard controller input buffer");
}

void WaitKbcOutputFull()
{
    WaitOutputOffered(kKeyboardController, "keyboard controller output buffer");
}

// Each poll reads the status; a pending byte is read and dropped before the
// next one. A controller that keeps producing bytes ends in a timeout.
bool DropPendingKbcByte()
{
    if ((platform::IoRead8(kKeyboardController.command) & kOutputBufferFull) == 0)
        return true;
    platform::IoRead8(kKeyboardController.data);
    return false;
}

void DrainKbcOutput()
{
    WaitFor(DropPendingKbcByte, kMailboxLimitUs,
            {"keyboard controller output buffer to drain", kKeyboardController.command});
}

void SendKbcCommand(uint8_t code)
{
    DrainKbcOutput();
    WaitKbcInputEmpty();
    platform::IoWrite8(kKeyboardController.command, code);
    WaitKbcInputEmpty();
}

void SendKbcData(uint8_t value)
{
    DrainKbcOutput();
    WaitKbcInputEmpty();
    platform::IoWrite8(kKeyboardController.data, value);
    WaitKbcInputEmpty();
}

uint8_t ReadKbcData()
{
    WaitKbcOutputFull();
    return platform::IoRead8(kKeyboardController.data);
}

// The address shares its input-buffer wait with the command before it.
uint8_t ReadEcRam(uint8_t address, MailboxPair pair)
{
    Send(pair, pair.command, kEcAcpiRead, kEcInput);
    platform::IoWrite8(pair.data, address);
    WaitInputTaken(pair, kEcInput);
    WaitOutputOffered(pair, kEcOutput);
    return platform::IoRead8(pair.data);
}

void WaitAcpiInputEmpty()
{
    WaitInputTaken(kAcpiEc, kEcInput);
}

void WaitAcpiOutputFull()
{
    WaitOutputOffered(kAcpiEc, kEcOutput);
}

}  // namespace hostio
