// The seam between the trap driver's firmware side (C over EDK II) and the
// virtual board it carries (C++), as in uefi_services.h.
#ifndef KOVRIN_TRAP_SERVICES_H_
#define KOVRIN_TRAP_SERVICES_H_

#ifdef __cplusplus
extern "C" {
#endif

// The trapped window: port N is the byte at TRAP_WINDOW_BASE + N.
#define TRAP_WINDOW_BASE  0x20000000ULL
#define TRAP_WINDOW_SIZE  0x100ULL

// Defined on the C++ side (trap_board.cpp).
//
// A fresh board built from the options in argv[0..argc), in the syntax of
// the -sim programs. NULL when it was built; else why not, with *bad the
// index of the argument at fault (-1: none). The board in place stays when
// the options are refused.
const char *TrapBoardReset(int argc, char **argv, int *bad);
// One port access by the program under test.
unsigned char TrapBoardRead(unsigned char port);
void TrapBoardWrite(unsigned char port, unsigned char value);
// A pause of the program: the board's clock moves on by that much.
void TrapBoardPause(unsigned long long us);
// The flash as it reads back now: its size, and its bytes into buffer.
unsigned long long TrapBoardFlashSize(void);
void TrapBoardFlashCopy(unsigned char *buffer);

// Defined on the C side (trap_entry.c).
void *TrapAlloc(unsigned long long length);
void TrapFree(void *buffer);

#ifdef __cplusplus
}
#endif

#endif
