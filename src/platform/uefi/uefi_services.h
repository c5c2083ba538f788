// The seam between the tool (C++) and the firmware services (C over EDK II).
// EDK II's headers are C only, so they stay on the C side of this line and
// the C++ side sees plain functions with plain types.
#ifndef KOVRIN_UEFI_SERVICES_H_
#define KOVRIN_UEFI_SERVICES_H_

#include "utc_time.h"

#ifdef __cplusplus
extern "C" {
#endif

// Defined on the C++ side (port_window.cpp or board_window.cpp): runs the
// tool and returns its status, 0 or 1 (2: the board program refused to
// start); then, however the run ended, KovrinRunEnded gives the final one.
int KovrinRunTool(int argc, char **argv);
int KovrinRunEnded(int status);

// Boot Services Stall.
void UefiStall(unsigned long long microseconds);

// ConOut.
void UefiClearScreen(void);
void UefiSetCursor(int column, int row);
void UefiSetAttribute(unsigned attribute);
// UTF-8 bytes; a character split across calls is completed by the next one.
void UefiConsoleWrite(const char *text, unsigned long long length);
// What an incomplete character left behind goes out (as Latin-1).
void UefiConsoleFinish(void);

// The generic timer's virtual count in microseconds.
unsigned long long UefiNowUs(void);
// The runtime service's clock as UTC; 0 when it cannot be read.
int UefiUtcNow(CALENDAR_TIME *time);

// Files through the shell, relative to its current directory.
void *UefiFileOpen(const char *name);
int UefiFileLength(void *file, unsigned long long *length);
unsigned long long UefiFileRead(void *file, unsigned char *buffer, unsigned long long length);
void UefiFileClose(void *file);
// Replaces the file's content with length bytes; 0 when that failed.
int UefiFileWriteAll(const char *name, const unsigned char *data, unsigned long long length);
// The read-out's file (platform.h): created only where nothing has the name
// (*exists 1 when something does); committed (0: not whole, deleted) or
// discarded. One at a time.
void *UefiFileCreate(const char *name, int *exists);
int UefiFileWrite(void *file, const unsigned char *data, unsigned long long length);
int UefiFileCommit(void *file);
void UefiFileDiscard(void *file);

// A run's record: old content and the line into a file beside it, which
// then replaces the old one; 0 when that failed.
int UefiFileAppend(const char *name, const unsigned char *data, unsigned long long length);

// Pool memory; whatever is still held when the run ends is freed then.
void *UefiAlloc(unsigned long long length);
void UefiFree(void *buffer);

// Back to the shell entry with status 0 or 1, from any depth.
__attribute__((noreturn)) void UefiExit(int status);
// Closes the files and frees the memory the run left behind; deletes a
// read-out's file that was not committed.
void UefiReleaseAll(void);

#ifdef __cplusplus
}
#endif

#endif
