// What differs between kovrinux (Linux) and kovrin (UEFI): one table of
// constants, chosen at compile time. Everything that reads it is one code.
#pragma once

#include <cstdint>

struct Program {
    const char* name;         // shown in the usage examples
    const char* banner;       // format with one %s, the version
    const char* version;
    uint8_t ec_command_port;  // EC mailbox: status (read) / command (write)
    uint8_t ec_data_port;
    bool prepare_update;      // an update begins with EC 0xDD and a pause
    uint32_t prepare_pause_us;
    uint32_t erase_mark_pause_us;  // after each mark of a boot-block or test erase
    uint32_t protect_settle_us;    // at each settle point of the protection
    const char* mark;         // progress mark, UTF-8
    bool real_screen;         // the console places its cursor, clears, colours
    bool show_chip_id;        // the version query prints the Super I/O id
    bool verdict_colours;     // BRAM verdicts in red/green
    const char* fw_regs_line;     // BRAM register read-out
    const char* sio_version_line; // BRAM version text
    const char* sector_erase_label;
    const char* block_erase_label;
    const char* erase_check_label;
    const char* verify_label;
    const char* read_label;           // the read-out
    const char* final_check_label;    // the read-back of a part of unknown size
    const char* compare_label;        // the read before an erase ("/D")
    const char* program_label_wide;   // AAI byte, 64 KB burst pages, test mode
    const char* program_label_narrow; // AAI word and the other page routines
};

inline constexpr Program kKovrinux = {
    .name = "kovrinux",
    .banner = " Zelkora EC flash OS tool version : %s\n",
    .version = "1.0",
    .ec_command_port = 0x6C,
    .ec_data_port = 0x68,
    .prepare_update = true,
    .prepare_pause_us = 500'000,
    .erase_mark_pause_us = 50'000,
    .protect_settle_us = 500'000,
    .mark = "#",
    .real_screen = false,
    .show_chip_id = false,
    .verdict_colours = false,
    .fw_regs_line = "\n\r\n\rFW_H=%x , FW_L=%x",
    .sio_version_line = "\n\rSIO FW version :%s ",
    .sector_erase_label = " Eraseing...      : ",
    .block_erase_label = " Eraseing...      : ",
    .erase_check_label = " Erase Verify...  : ",
    .verify_label = " Verify...        : ",
    .read_label = " Reading...       : ",
    .final_check_label = " Final check...   : ",
    .compare_label = " Compare...       : ",
    .program_label_wide = "  Programing...    : ",
    .program_label_narrow = " Programing...    : ",
};

inline constexpr Program kKovrin = {
    .name = "kovrin",
    .banner = "Zelkora EC flash tool version : %s\n",
    .version = "0.0.2",
    .ec_command_port = 0x66,
    .ec_data_port = 0x62,
    .prepare_update = false,
    .prepare_pause_us = 0,
    .erase_mark_pause_us = 50,
    .protect_settle_us = 500'000,
    .mark = "\xE2\x96\x88",  // U+2588 FULL BLOCK
    .real_screen = true,
    .show_chip_id = true,
    .verdict_colours = true,
    .fw_regs_line = "\n\r\n\rFW_H=%x , FW_L=%x\n",
    .sio_version_line = "\n\rSIO FW version :%s \n",
    .sector_erase_label = "  Eraseing...      : ",
    .block_erase_label = " Eraseing...      : ",
    .erase_check_label = "  Erase Verify...  : ",
    .verify_label = "  Verify...        : ",
    .read_label = "  Reading...       : ",
    .final_check_label = "  Final check...   : ",
    .compare_label = "  Compare...       : ",
    .program_label_wide = "  Programing...    : ",
    .program_label_narrow = "  Programing...    : ",
};

#ifndef KOVRIN_PROGRAM
#error "KOVRIN_PROGRAM must name the program's table (kKovrinux or kKovrin)"
#endif
inline constexpr const Program& kProgram = KOVRIN_PROGRAM;
