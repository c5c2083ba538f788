// What differs between kovrinux (Linux) and kovrin (UEFI): one table of
// constants, chosen at compile time. Everything that reads it is one code.
#pragma once

#include <cstdint>

struct Flavour {
    const char* program;      // name shown in the usage examples
    const char* banner;       // format with one %s, the version
    const char* version;
    uint8_t ec_cmd_port;      // EC mailbox: status (read) / command (write)
    uint8_t ec_data_port;
    uint32_t delay_unit_us;   // what delay(1) waits: 1 ms on Linux, 1 us in UEFI
    bool send_dd;             // an update begins with EC 0xDD and a pause
    int32_t dd_pause;         // delay() after 0xDD
    int32_t mark_pause;       // delay() after each boot-block/test erase mark
    int32_t protect_settle;   // delay() at each boot-block protection settle point
    const char* mark;         // progress mark, UTF-8
    bool real_screen;         // clrscr/gotoxy/attributes act on the console
    bool show_chip_id;        // print the Super I/O id the version query found
    bool assign_cfg_port;     // the update stores 0x4E into CFG_PORT itself
    bool verdict_colours;     // BRAM verdicts in red/green
    const char* fw_regs_line;     // BRAM register read-out
    const char* sio_version_line; // BRAM version text
    const char* sector_erase_label;
    const char* block_erase_label;
    const char* erase_verify_label;
    const char* verify_label;
    const char* program_label_wide;   // AAI byte, 64 KB burst pages, test mode
    const char* program_label_narrow; // AAI word and the other page routines
};

inline constexpr Flavour kKovrinux = {
    "kovrinux",
    " Zelkora EC flash OS tool version : %s\n",
    "1.0",
    0x6C, 0x68,
    1000,
    true, 500, 50, 500,
    "#",
    false, false, true, false,
    "\n\r\n\rFW_H=%x , FW_L=%x",
    "\n\rSIO FW version :%s ",
    " Eraseing...      : ",
    " Eraseing...      : ",
    " Erase Verify...  : ",
    " Verify...        : ",
    "  Programing...    : ",
    " Programing...    : ",
};

inline constexpr Flavour kKovrin = {
    "kovrin",
    "Zelkora EC flash tool version : %s\n",
    "0.0.2",
    0x66, 0x62,
    1,
    false, 0, 50, 500000,
    "\xE2\x96\x88",  // U+2588 FULL BLOCK
    true, true, false, true,
    "\n\r\n\rFW_H=%x , FW_L=%x\n",
    "\n\rSIO FW version :%s \n",
    "  Eraseing...      : ",
    " Eraseing...      : ",
    "  Erase Verify...  : ",
    "  Verify...        : ",
    "  Programing...    : ",
    "  Programing...    : ",
};

#ifndef KOVRIN_FLAVOUR
#error "KOVRIN_FLAVOUR must name the program's table (kKovrinux or kKovrin)"
#endif
inline constexpr const Flavour& kFlavour = KOVRIN_FLAVOUR;
