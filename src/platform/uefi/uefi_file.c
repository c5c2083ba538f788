/** @file
  The image file, the read-out's file and the pool memory of kovrin. A run
  can end from any depth (a mailbox that never answers), so every open file
  and every buffer is remembered here and released when the run returns to
  the shell; a read-out's file that was not committed is deleted then.
**/

#include <Uefi.h>
#include <Library/BaseMemoryLib.h>
#include <Library/MemoryAllocationLib.h>
#include <Library/ShellLib.h>

#include "uefi_services.h"
#include "utf8.h"

#define MAX_FILES    4
#define MAX_BUFFERS  8

typedef struct {
  BOOLEAN              Open;
  SHELL_FILE_HANDLE    Handle;
} KOVRIN_FILE;

STATIC KOVRIN_FILE  mFiles[MAX_FILES];
STATIC VOID         *mBuffers[MAX_BUFFERS];

typedef struct {
  BOOLEAN              Open;
  SHELL_FILE_HANDLE    Handle;
  CHAR16               *Name;
} KOVRIN_OUT_FILE;

// A run writes one file at most.
STATIC KOVRIN_OUT_FILE  mOut;

typedef struct {
  CHAR16  *Text;
  UINTN   Length;
} UCS2_TEXT;

STATIC
VOID
AppendUnit (
  IN uint16_t  Unit,
  IN VOID      *Context
  )
{
  UCS2_TEXT  *Out;

  Out                       = Context;
  Out->Text[Out->Length++] = Unit;
}

/**
  The UCS-2 form of a UTF-8 name, for the shell; bytes that are not UTF-8
  are taken as Latin-1 (utf8.h), so every name has some form to look for.
**/
STATIC
CHAR16 *
Ucs2FromUtf8 (
  IN CONST CHAR8  *Text
  )
{
  UINTN         Length;
  UINTN         Index;
  UCS2_TEXT     Out;
  UTF8_DECODER  Decoder;

  for (Length = 0; Text[Length] != '\0'; Length++) {
  }

  // A four-byte character gives two units: never more units than bytes.
  Out.Text = AllocatePool ((Length + 1) * sizeof (CHAR16));
  if (Out.Text == NULL) {
    return NULL;
  }

  Out.Length = 0;
  ZeroMem (&Decoder, sizeof Decoder);
  for (Index = 0; Index < Length; Index++) {
    Utf8Feed (&Decoder, (UINT8)Text[Index], AppendUnit, &Out);
  }

  Utf8Flush (&Decoder, AppendUnit, &Out);
  Out.Text[Out.Length] = L'\0';
  return Out.Text;
}

VOID *
UefiFileOpen (
  CONST CHAR8  *Name
  )
{
  UINTN              Slot;
  CHAR16             *Name16;
  SHELL_FILE_HANDLE  Handle;
  EFI_STATUS         Status;

  if ((Name == NULL) || (Name[0] == '\0')) {
    return NULL;
  }

  for (Slot = 0; Slot < MAX_FILES && mFiles[Slot].Open; Slot++) {
  }

  if (Slot == MAX_FILES) {
    return NULL;
  }

  Name16 = Ucs2FromUtf8 (Name);
  if (Name16 == NULL) {
    return NULL;
  }

  // A directory opens like a file but has no bytes to give.
  Status = EFI_NOT_FOUND;
  Handle = NULL;
  if (ShellIsDirectory (Name16) != EFI_SUCCESS) {
    Status = ShellOpenFileByName (Name16, &Handle, EFI_FILE_MODE_READ, 0);
  }

  FreePool (Name16);
  if (EFI_ERROR (Status)) {
    return NULL;
  }

  mFiles[Slot].Open   = TRUE;
  mFiles[Slot].Handle = Handle;
  return &mFiles[Slot];
}

INT32
UefiFileLength (
  VOID    *File,
  UINT64  *Length
  )
{
  KOVRIN_FILE  *Record;

  Record = File;
  if (EFI_ERROR (ShellGetFileSize (Record->Handle, Length))) {
    return 0;
  }

  return EFI_ERROR (ShellSetFilePosition (Record->Handle, 0)) ? 0 : 1;
}

UINT64
UefiFileRead (
  VOID    *File,
  UINT8   *Buffer,
  UINT64  Length
  )
{
  KOVRIN_FILE  *Record;
  UINT64       Done;
  UINTN        Size;

  Record = File;
  Done   = 0;
  while (Done < Length) {
    Size = (UINTN)(Length - Done);
    if (EFI_ERROR (ShellReadFile (Record->Handle, &Size, Buffer + Done)) || (Size == 0)) {
      break;
    }

    Done += Size;
  }

  return Done;
}

VOID
UefiFileClose (
  VOID  *File
  )
{
  KOVRIN_FILE  *Record;

  Record = File;
  if ((Record == NULL) || !Record->Open) {
    return;
  }

  ShellCloseFile (&Record->Handle);
  Record->Open = FALSE;
}

INT32
UefiFileWriteAll (
  CONST CHAR8  *Name,
  CONST UINT8  *Data,
  UINT64       Length
  )
{
  CHAR16             *Name16;
  SHELL_FILE_HANDLE  Handle;
  EFI_STATUS         Status;
  UINTN              Size;

  Name16 = Ucs2FromUtf8 (Name);
  if (Name16 == NULL) {
    return 0;
  }

  // Opening does not truncate: an older, longer file would keep its tail.
  ShellDeleteFileByName (Name16);

  Status = ShellOpenFileByName (
             Name16,
             &Handle,
             EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE | EFI_FILE_MODE_CREATE,
             0
             );
  FreePool (Name16);
  if (EFI_ERROR (Status)) {
    return 0;
  }

  Size   = (UINTN)Length;
  Status = ShellWriteFile (Handle, &Size, (VOID *)Data);
  if (EFI_ERROR (ShellCloseFile (&Handle))) {
    return 0;
  }

  return (!EFI_ERROR (Status) && (Size == Length)) ? 1 : 0;
}

/**
  The create mode of the file protocol opens an existing file as it is, so
  the name is looked up first: whatever opens under it, file or folder,
  exists. The shell runs nothing in between.
**/
VOID *
UefiFileCreate (
  CONST CHAR8  *Name,
  INT32        *Exists
  )
{
  CHAR16             *Name16;
  SHELL_FILE_HANDLE  Handle;
  EFI_STATUS         Status;

  *Exists = 0;
  if ((Name == NULL) || (Name[0] == '\0') || mOut.Open) {
    return NULL;
  }

  Name16 = Ucs2FromUtf8 (Name);
  if (Name16 == NULL) {
    return NULL;
  }

  Status = ShellOpenFileByName (Name16, &Handle, EFI_FILE_MODE_READ, 0);
  if (!EFI_ERROR (Status)) {
    ShellCloseFile (&Handle);
    *Exists = 1;
  } else if (Status == EFI_NOT_FOUND) {
    Status = ShellOpenFileByName (
               Name16,
               &Handle,
               EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE | EFI_FILE_MODE_CREATE,
               0
               );
    if (!EFI_ERROR (Status)) {
      mOut.Open   = TRUE;
      mOut.Handle = Handle;
      mOut.Name   = Name16;
      return &mOut;
    }
  }

  FreePool (Name16);
  return NULL;
}

INT32
UefiFileWrite (
  VOID         *File,
  CONST UINT8  *Data,
  UINT64       Length
  )
{
  KOVRIN_OUT_FILE  *Record;
  UINTN            Size;

  Record = File;
  Size   = (UINTN)Length;
  if (EFI_ERROR (ShellWriteFile (Record->Handle, &Size, (VOID *)Data))) {
    return 0;
  }

  return Size == Length ? 1 : 0;
}

STATIC
VOID
ForgetOutFile (
  IN KOVRIN_OUT_FILE  *Record
  )
{
  FreePool (Record->Name);
  Record->Name = NULL;
  Record->Open = FALSE;
}

INT32
UefiFileCommit (
  VOID  *File
  )
{
  KOVRIN_OUT_FILE  *Record;
  BOOLEAN          Whole;

  Record = File;
  Whole  = !EFI_ERROR (ShellFlushFile (Record->Handle));
  Whole  = !EFI_ERROR (ShellCloseFile (&Record->Handle)) && Whole;
  if (!Whole) {
    ShellDeleteFileByName (Record->Name);
  }

  ForgetOutFile (Record);
  return Whole ? 1 : 0;
}

VOID
UefiFileDiscard (
  VOID  *File
  )
{
  KOVRIN_OUT_FILE  *Record;

  Record = File;
  // The handle is closed even when the file cannot be deleted.
  ShellDeleteFile (&Record->Handle);
  ForgetOutFile (Record);
}

VOID *
UefiAlloc (
  UINT64  Length
  )
{
  UINTN  Slot;

  for (Slot = 0; Slot < MAX_BUFFERS && mBuffers[Slot] != NULL; Slot++) {
  }

  if (Slot == MAX_BUFFERS) {
    return NULL;
  }

  mBuffers[Slot] = AllocatePool ((UINTN)(Length > 0 ? Length : 1));
  return mBuffers[Slot];
}

VOID
UefiFree (
  VOID  *Buffer
  )
{
  UINTN  Slot;

  if (Buffer == NULL) {
    return;
  }

  for (Slot = 0; Slot < MAX_BUFFERS; Slot++) {
    if (mBuffers[Slot] == Buffer) {
      mBuffers[Slot] = NULL;
      FreePool (Buffer);
      return;
    }
  }
}

VOID
UefiReleaseAll (
  VOID
  )
{
  UINTN  Slot;

  if (mOut.Open) {
    UefiFileDiscard (&mOut);
  }

  for (Slot = 0; Slot < MAX_FILES; Slot++) {
    UefiFileClose (&mFiles[Slot]);
  }

  for (Slot = 0; Slot < MAX_BUFFERS; Slot++) {
    UefiFree (mBuffers[Slot]);
  }
}
