// The host's side of the EC: its mailbox pairs and the command codes the
// tool sends through them and through the keyboard controller.
#pragma once

#include <cstdint>

#include "common/program.h"

namespace hostio {

// A byte-wide mailbox: status (read) and command (write) share one port.
struct MailboxPair {
    uint8_t command;
    uint8_t data;
};

inline constexpr MailboxPair kPmc2 = {0x6C, 0x68};
inline constexpr MailboxPair kAcpiEc = {0x66, 0x62};
inline constexpr MailboxPair kKeyboardController = {0x64, 0x60};
// The pair that carries this program's EC commands and follow mode.
inline constexpr MailboxPair kEcMailbox = {kProgram.ec_command_port, kProgram.ec_data_port};

// Status bits of every mailbox.
inline constexpr uint8_t kOutputBufferFull = 0x01;
inline constexpr uint8_t kInputBufferFull = 0x02;

// EC commands.
inline constexpr uint8_t kEcAcpiRead = 0x80;         // to the pair given: EC RAM byte
inline constexpr uint8_t kEcReadExternalRam = 0x92;  // address high, low follow
inline constexpr uint8_t kEcPrepareUpdate = 0xDD;
inline constexpr uint8_t kEcEnterFlashMode = 0xDC;
inline constexpr uint8_t kEcFlashModeAck = 0x33;     // its answer when accepted
inline constexpr uint8_t kEcCloseWithReset = 0xFC;
inline constexpr uint8_t kEcClose = 0xFE;

// Keyboard-controller commands.
inline constexpr uint8_t kKbcDisableKeyboard = 0xAD;
inline constexpr uint8_t kKbcEnableKeyboard = 0xAE;

}  // namespace hostio
