/** @file
  kovrin-trap.efi, test equipment: loaded from the shell before kovrin.efi,
  it puts the virtual board behind the port window. The window's page faults
  on every access, the exception handler emulates each byte access on the
  board, Stall moves the board's clock on, and the shell command "board"
  resets the board or saves its flash.
**/

#include <Uefi.h>
#include <Library/ArmLib.h>
#include <Library/MemoryAllocationLib.h>
#include <Library/UefiBootServicesTableLib.h>
#include <Library/UefiLib.h>
#include <Protocol/DebugSupport.h>

#include "trap_internal.h"

VOID *
TrapAlloc (
  UINT64  Length
  )
{
  return AllocatePool ((UINTN)Length);
}

VOID
TrapFree (
  VOID  *Buffer
  )
{
  if (Buffer != NULL) {
    FreePool (Buffer);
  }
}

STATIC EFI_STALL  mFirmwareStall;

/**
  Boot Services Stall while the driver is loaded: the pause is real, and
  the board's clock moves on by it, as kovrin-sim's does.
**/
STATIC
EFI_STATUS
EFIAPI
BoardStall (
  IN UINTN  Microseconds
  )
{
  TrapBoardPause (Microseconds);
  return mFirmwareStall (Microseconds);
}

STATIC
VOID
StandInForStall (
  VOID
  )
{
  mFirmwareStall = gBS->Stall;
  gBS->Stall     = BoardStall;
  gBS->Hdr.CRC32 = 0;
  gBS->CalculateCrc32 (gBS, gBS->Hdr.HeaderSize, &gBS->Hdr.CRC32);
}

EFI_STATUS
EFIAPI
TrapEntry (
  IN EFI_HANDLE        ImageHandle,
  IN EFI_SYSTEM_TABLE  *SystemTable
  )
{
  EFI_CPU_ARCH_PROTOCOL  *Cpu;
  EFI_STATUS             Status;
  INT32                  Bad;
  CHAR8                  How[160];

  if (TrapBoardReset (0, NULL, &Bad) != NULL) {
    Print (L"kovrin-trap: no memory for the board\n");
    return EFI_OUT_OF_RESOURCES;
  }

  Status = gBS->LocateProtocol (&gEfiCpuArchProtocolGuid, NULL, (VOID **)&Cpu);
  if (!EFI_ERROR (Status)) {
    Status = Cpu->RegisterInterruptHandler (Cpu, EXCEPT_AARCH64_SYNCHRONOUS_EXCEPTIONS, TrapSynchronousException);
  }

  if (EFI_ERROR (Status)) {
    Print (L"kovrin-trap: no handler for synchronous exceptions: %r\n", Status);
    return Status;
  }

  Status = TrapWindowFault (How, sizeof How);
  if (EFI_ERROR (Status)) {
    Cpu->RegisterInterruptHandler (Cpu, EXCEPT_AARCH64_SYNCHRONOUS_EXCEPTIONS, NULL);
    Print (L"kovrin-trap: the window cannot be made to fault: %a\n", How);
    return Status;
  }

  StandInForStall ();
  Status = gBS->InstallProtocolInterface (
                  &ImageHandle,
                  &gEfiShellDynamicCommandProtocolGuid,
                  EFI_NATIVE_INTERFACE,
                  &gTrapBoardCommand
                  );
  Print (L"kovrin-trap: at EL%d, %a\n", ArmReadCurrentEL () >> 2, How);
  return Status;
}
