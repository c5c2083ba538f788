/** @file
  What the C files of the trap driver share.
**/

#ifndef KOVRIN_TRAP_INTERNAL_H_
#define KOVRIN_TRAP_INTERNAL_H_

#include <Uefi.h>
#include <Protocol/Cpu.h>
#include <Protocol/ShellDynamicCommand.h>

#include "trap_services.h"

/**
  Makes every access to the window's page fault; How says how it was done,
  or what stood in the way.
**/
EFI_STATUS
TrapWindowFault (
  OUT CHAR8  *How,
  IN  UINTN  HowSize
  );

VOID
EFIAPI
TrapSynchronousException (
  IN CONST EFI_EXCEPTION_TYPE  Type,
  IN CONST EFI_SYSTEM_CONTEXT  SystemContext
  );

extern EFI_SHELL_DYNAMIC_COMMAND_PROTOCOL  gTrapBoardCommand;

#endif
