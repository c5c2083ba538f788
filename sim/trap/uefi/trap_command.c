/** @file
  The shell command of the trap driver:
    board reset [BOARD OPTIONS]   a fresh board, options as for kovrin-sim
    board save FILE               the flash as it reads back, into FILE
  Silent when done; otherwise a line saying why, and a failing status.
**/

#include <Uefi.h>
#include <Library/BaseLib.h>
#include <Library/MemoryAllocationLib.h>
#include <Library/UefiLib.h>
#include <Protocol/ShellDynamicCommand.h>

#include "trap_internal.h"

#define COMMAND_NAME  L"board"

STATIC
VOID
FreeArguments (
  IN CHAR8  **Arguments
  );

/**
  The arguments from First on as ASCII strings, or NULL when one is not
  ASCII (*Bad is then its index) or memory runs out.
**/
STATIC
CHAR8 **
AsciiArguments (
  IN  EFI_SHELL_PARAMETERS_PROTOCOL  *Parameters,
  IN  UINTN                          First,
  OUT UINTN                          *Bad
  )
{
  CHAR8   **Arguments;
  CHAR8   *Text;
  CHAR16  *Wide;
  UINTN   Index;
  UINTN   At;

  *Bad      = Parameters->Argc;
  Arguments = AllocateZeroPool ((Parameters->Argc + 1) * sizeof (CHAR8 *));
  for (Index = First; Arguments != NULL && Index < Parameters->Argc; Index++) {
    Wide = Parameters->Argv[Index];
    Text = AllocatePool (StrLen (Wide) + 1);
    Arguments[Index - First] = Text;
    for (At = 0; Text != NULL && Wide[At] != L'\0'; At++) {
      if (Wide[At] > 0x7F) {
        break;
      }

      Text[At] = (CHAR8)Wide[At];
    }

    if ((Text == NULL) || (Wide[At] != L'\0')) {
      *Bad = Index;
      FreeArguments (Arguments);
      return NULL;
    }

    Text[At] = '\0';
  }

  return Arguments;
}

STATIC
VOID
FreeArguments (
  IN CHAR8  **Arguments
  )
{
  UINTN  Index;

  if (Arguments == NULL) {
    return;
  }

  for (Index = 0; Arguments[Index] != NULL; Index++) {
    FreePool (Arguments[Index]);
  }

  FreePool (Arguments);
}

STATIC
SHELL_STATUS
Reset (
  IN EFI_SHELL_PARAMETERS_PROTOCOL  *Parameters
  )
{
  CHAR8        **Arguments;
  UINTN        Bad;
  INT32        BadOption;
  CONST CHAR8  *Wrong;

  Arguments = AsciiArguments (Parameters, 2, &Bad);
  if (Arguments == NULL) {
    Print (L"board reset: %s: not ASCII, or no memory\n", Bad < Parameters->Argc ? Parameters->Argv[Bad] : L"");
    return SHELL_INVALID_PARAMETER;
  }

  BadOption = 0;
  Wrong     = TrapBoardReset ((INT32)(Parameters->Argc - 2), (char **)Arguments, &BadOption);
  if ((Wrong != NULL) && (BadOption >= 0)) {
    Print (L"board reset: %s: %a\n", Parameters->Argv[2 + BadOption], Wrong);
  } else if (Wrong != NULL) {
    Print (L"board reset: %a\n", Wrong);
  }

  FreeArguments (Arguments);
  return Wrong == NULL ? SHELL_SUCCESS : SHELL_INVALID_PARAMETER;
}

STATIC
SHELL_STATUS
Save (
  IN EFI_SHELL_PROTOCOL  *Shell,
  IN CONST CHAR16        *Name
  )
{
  UINT8              *Content;
  UINTN              Size;
  SHELL_FILE_HANDLE  Handle;
  EFI_STATUS         Status;
  EFI_STATUS         Closed;

  Size    = (UINTN)TrapBoardFlashSize ();
  Content = AllocatePool (Size);
  if (Content == NULL) {
    Print (L"board save: no memory for %u bytes\n", Size);
    return SHELL_OUT_OF_RESOURCES;
  }

  TrapBoardFlashCopy (Content);
  // Opening does not truncate: an older, longer file would keep its tail.
  Shell->DeleteFileByName (Name);
  Status = Shell->OpenFileByName (Name, &Handle, EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE | EFI_FILE_MODE_CREATE);
  if (!EFI_ERROR (Status)) {
    Status = Shell->WriteFile (Handle, &Size, Content);
    Closed = Shell->CloseFile (Handle);
    Status = EFI_ERROR (Status) ? Status : Closed;
  }

  FreePool (Content);
  if (EFI_ERROR (Status)) {
    Print (L"board save: %s: %r\n", Name, Status);
    return SHELL_DEVICE_ERROR;
  }

  return SHELL_SUCCESS;
}

STATIC
SHELL_STATUS
EFIAPI
BoardCommand (
  IN EFI_SHELL_DYNAMIC_COMMAND_PROTOCOL  *This,
  IN EFI_SYSTEM_TABLE                    *SystemTable,
  IN EFI_SHELL_PARAMETERS_PROTOCOL       *Parameters,
  IN EFI_SHELL_PROTOCOL                  *Shell
  )
{
  if ((Parameters->Argc >= 2) && (StrCmp (Parameters->Argv[1], L"reset") == 0)) {
    return Reset (Parameters);
  }

  if ((Parameters->Argc == 3) && (StrCmp (Parameters->Argv[1], L"save") == 0)) {
    return Save (Shell, Parameters->Argv[2]);
  }

  Print (L"usage: board reset [BOARD OPTIONS] | board save FILE (help board)\n");
  return SHELL_INVALID_PARAMETER;
}

// In the form the shell's help command reads.
STATIC CONST CHAR16  mHelp[] =
  L".TH board 0 \"The virtual board behind the trapped port window.\"\r\n"
  L".SH NAME\r\n"
  L"The virtual board behind the trapped port window.\r\n"
  L".SH SYNOPSIS\r\n"
  L"board reset [--flash PART] [--flash-size KB] [--project TEXT] [--hang N]\r\n"
  L"board save FILE\r\n"
  L".SH DESCRIPTION\r\n"
  L"reset: a fresh board, all flash bytes 0xFF, options as for kovrin-sim.\r\n"
  L"save: the whole flash as it reads back, into FILE.\r\n";

STATIC
CHAR16 *
EFIAPI
BoardHelp (
  IN EFI_SHELL_DYNAMIC_COMMAND_PROTOCOL  *This,
  IN CONST CHAR8                         *Language
  )
{
  return AllocateCopyPool (sizeof mHelp, mHelp);
}

EFI_SHELL_DYNAMIC_COMMAND_PROTOCOL  gTrapBoardCommand = {
  COMMAND_NAME,
  BoardCommand,
  BoardHelp
};
