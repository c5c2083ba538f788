// The EC mailbox (the program's fixed pair), the keyboard controller, and
// the ACPI "read EC" transaction on any pair. Every wait is bounded (see
// wait.h): a device that stops answering ends the run with a timeout.
#pragma once

#include <cstdint>

#include "commands.h"

namespace hostio {

// EC mailbox.
void WaitEcInputEmpty();
void WaitEcOutputFull();
void SendEcCommand(uint8_t code);
void SendEcData(uint8_t value);
// A byte left in the output buffer by an earlier exchange is what this
// returns: nothing drains the EC's output buffer first.
uint8_t ReadEcData();
uint8_t ReadEcExternalRam(uint16_t address);

// Keyboard controller.
void WaitKbcInputEmpty();
void WaitKbcOutputFull();
// Reads and drops whatever the controller has pending.
void DrainKbcOutput();
// One step of that: true when nothing is pending, else one byte dropped.
bool DropPendingKbcByte();
void SendKbcCommand(uint8_t code);
void SendKbcData(uint8_t value);
uint8_t ReadKbcData();

// ACPI read (command 0x80) of an EC RAM byte through the given pair.
uint8_t ReadEcRam(uint8_t address, MailboxPair pair);
// The ACPI EC pair's own waits on its status port.
void WaitAcpiInputEmpty();
void WaitAcpiOutputFull();

}  // namespace hostio
