/** @file
  The shell's entry into kovrin: the UCS-2 arguments become UTF-8 strings,
  the tool runs, and its status 0 or 1 becomes EFI_SUCCESS or EFI_ABORTED
  (kovrin-sim.efi's own refusals, status 2, EFI_INVALID_PARAMETER).
  The tool may end the run from any depth; that comes back here by LongJump.
**/

#include <Uefi.h>
#include <Library/BaseLib.h>
#include <Library/MemoryAllocationLib.h>
#include <Library/ShellCEntryLib.h>

#include "uefi_services.h"

STATIC BASE_LIBRARY_JUMP_BUFFER  mExitJump;

VOID
UefiExit (
  INT32  Status
  )
{
  // SetJump answers 0 for its own call, so the status travels one up.
  LongJump (&mExitJump, (UINTN)(Status == 0 ? 0 : 1) + 1);
  UNREACHABLE ();
}

/**
  The UTF-8 form of a UCS-2 string; a surrogate pair becomes one four-byte
  character, a lone surrogate U+FFFD.
**/
STATIC
CHAR8 *
Utf8FromUcs2 (
  IN CONST CHAR16  *Text
  )
{
  UINTN   Length;
  UINTN   Index;
  UINTN   Out;
  UINT32  Code;
  CHAR8   *Utf8;

  Length = StrLen (Text);
  // At most three bytes per UCS-2 unit: a pair of units gives four.
  Utf8 = AllocatePool (Length * 3 + 1);
  if (Utf8 == NULL) {
    return NULL;
  }

  Out = 0;
  for (Index = 0; Index < Length; Index++) {
    Code = Text[Index];
    if ((Code >= 0xD800) && (Code <= 0xDBFF) && (Index + 1 < Length) &&
        (Text[Index + 1] >= 0xDC00) && (Text[Index + 1] <= 0xDFFF))
    {
      Code = 0x10000 + ((Code - 0xD800) << 10) + (Text[Index + 1] - 0xDC00);
      Index++;
    } else if ((Code >= 0xD800) && (Code <= 0xDFFF)) {
      Code = 0xFFFD;
    }

    if (Code < 0x80) {
      Utf8[Out++] = (CHAR8)Code;
    } else if (Code < 0x800) {
      Utf8[Out++] = (CHAR8)(0xC0 | (Code >> 6));
      Utf8[Out++] = (CHAR8)(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
      Utf8[Out++] = (CHAR8)(0xE0 | (Code >> 12));
      Utf8[Out++] = (CHAR8)(0x80 | ((Code >> 6) & 0x3F));
      Utf8[Out++] = (CHAR8)(0x80 | (Code & 0x3F));
    } else {
      Utf8[Out++] = (CHAR8)(0xF0 | (Code >> 18));
      Utf8[Out++] = (CHAR8)(0x80 | ((Code >> 12) & 0x3F));
      Utf8[Out++] = (CHAR8)(0x80 | ((Code >> 6) & 0x3F));
      Utf8[Out++] = (CHAR8)(0x80 | (Code & 0x3F));
    }
  }

  Utf8[Out] = '\0';
  return Utf8;
}

STATIC
VOID
FreeArguments (
  IN CHAR8  **Arguments,
  IN UINTN  Count
  )
{
  UINTN  Index;

  for (Index = 0; Index < Count; Index++) {
    if (Arguments[Index] != NULL) {
      FreePool (Arguments[Index]);
    }
  }

  FreePool (Arguments);
}

/**
  Runs the tool with a way back from UefiExit. Only SetJump's answer is used
  after a jump: locals changed in between are not to be trusted then.
**/
STATIC
INT32
RunWithExit (
  IN INT32  Argc,
  IN CHAR8  **Argv
  )
{
  UINTN  Jumped;

  Jumped = SetJump (&mExitJump);
  if (Jumped != 0) {
    return (INT32)(Jumped - 1);
  }

  return KovrinRunTool (Argc, (char **)Argv);
}

INTN
EFIAPI
ShellAppMain (
  IN UINTN   Argc,
  IN CHAR16  **Argv
  )
{
  CHAR8  **Arguments;
  UINTN  Index;
  INT32  Status;

  Arguments = AllocateZeroPool ((Argc + 1) * sizeof (CHAR8 *));
  if (Arguments == NULL) {
    return EFI_OUT_OF_RESOURCES;
  }

  for (Index = 0; Index < Argc; Index++) {
    Arguments[Index] = Utf8FromUcs2 (Argv[Index]);
    if (Arguments[Index] == NULL) {
      FreeArguments (Arguments, Argc);
      return EFI_OUT_OF_RESOURCES;
    }
  }

  Status = KovrinRunEnded (RunWithExit ((INT32)Argc, Arguments));
  UefiConsoleFinish ();
  UefiReleaseAll ();
  FreeArguments (Arguments, Argc);
  if (Status == 0) {
    return EFI_SUCCESS;
  }

  return Status == 1 ? EFI_ABORTED : EFI_INVALID_PARAMETER;
}
