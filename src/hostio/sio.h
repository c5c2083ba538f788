// Super I/O configuration space of the ITE EC, behind an index/data pair.
#pragma once

#include <cstdint>

extern uint8_t CFG_PORT;  // index port; the data port is CFG_PORT + 1
extern uint16_t ChipID;   // as read by the update sequence

void LPC_Write_Byte(uint8_t reg, uint8_t value);
uint8_t LPC_Read_Byte(uint8_t reg);
uint8_t get_cfg_port();
void enter_sio();
void exit_sio();
void change_ldn(uint8_t device);
// Enters the configuration mode (and leaves it entered) and returns the chip
// id from registers 0x20 (high) and 0x21 (low); 0xFFFF when nothing answers.
uint16_t find_ite_chip();
uint8_t Embedded_Controller_Get_Ram_Byte(uint16_t address);

// Back to the start values (tests).
void ResetSioState();
