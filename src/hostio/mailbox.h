// The EC mailbox (the program's fixed pair), the keyboard controller on
// 0x60/0x64, and the ACPI "read EC" transaction on any pair. Status bits:
// bit 0 output buffer full, bit 1 input buffer full. Every wait is bounded
// (see wait.h): an EC that stops answering ends the run with a timeout.
#pragma once

#include <cstdint>

// EC mailbox.
void wait_EC_IBE();
void wait_EC_OBF();
void send_EC_cmd(uint8_t code);
void send_EC_data(uint8_t value);
uint8_t Read_EC_data();
uint8_t ReadEcExternalRam(uint16_t address);

// Keyboard controller.
void wait_KB_IBE();
void wait_KB_OBF();
void wait_KB_OBE();
void send_KB_cmd(uint8_t code);
void send_KB_data(uint8_t value);
uint8_t Read_KB_data();

// ACPI EC read (command 0x80) of EC RAM through the given pair.
uint8_t PMC2_RD_EC(uint8_t address, uint16_t command_port, uint16_t data_port);

// The ACPI EC pair, which also carries the eight-byte version text.
inline constexpr uint16_t kAcpiEcCommandPort = 0x66;
inline constexpr uint16_t kAcpiEcDataPort = 0x62;
