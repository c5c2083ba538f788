/** @file
  The image file, the read-out's file, the run record's file and the pool
  memory of kovrin. A run can end from any depth (a mailbox that never
  answers), so every open file and every buffer is remembered here and
  released when the run returns to the shell; a read-out's file that was
  not committed is deleted then. The record is written in one call that
  holds its files only while it runs.
**/

#include <Uefi.h>
#include <Library/BaseLib.h>
#include <Library/BaseMemoryLib.h>
#include <Library/MemoryAllocationLib.h>
#include <Library/ShellLib.h>

#include "uefi_services.h"
#include "utf8.h"

#define MAX_FILES    4
#define MAX_BUFFERS  8

// Beside a run record's file while it is replaced.
#define TEMPORARY_SUFFIX  L".tmp"

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

STATIC
UINT64
ReadFrom (
  IN  SHELL_FILE_HANDLE  Handle,
  OUT UINT8              *Buffer,
  IN  UINT64             Length
  )
{
  UINT64  Done;
  UINTN   Size;

  Done = 0;
  while (Done < Length) {
    Size = (UINTN)(Length - Done);
    if (EFI_ERROR (ShellReadFile (Handle, &Size, Buffer + Done)) || (Size == 0)) {
      break;
    }

    Done += Size;
  }

  return Done;
}

UINT64
UefiFileRead (
  VOID    *File,
  UINT8   *Buffer,
  UINT64  Length
  )
{
  return ReadFrom (((KOVRIN_FILE *)File)->Handle, Buffer, Length);
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
  The last part of a path: the name a file takes when it is renamed within
  its own directory.
**/
STATIC
CONST CHAR16 *
LastPart (
  IN CONST CHAR16  *Path
  )
{
  CONST CHAR16  *Last;

  for (Last = Path; *Path != L'\0'; Path++) {
    if ((*Path == L'\\') || (*Path == L'/') || (*Path == L':')) {
      Last = Path + 1;
    }
  }

  return Last;
}

/**
  Whether the folder that a new file of this name goes into is there. The
  shell's create makes every folder missing on the way; the Linux tool
  refuses such a name, and so does this one: a mistyped folder must fail,
  not appear.
**/
STATIC
BOOLEAN
FolderExists (
  IN CONST CHAR16  *Path
  )
{
  UINTN    Length;
  CHAR16   *Folder;
  BOOLEAN  Exists;

  Length = (UINTN)(LastPart (Path) - Path);
  if (Length == 0) {
    return TRUE;
  }

  // "logs\" is asked for as "logs"; a root ("\", "fs0:\", "fs0:") as it is.
  if ((Length > 1) && (Path[Length - 1] != L':') && (Path[Length - 2] != L':')) {
    Length--;
  }

  Folder = AllocateCopyPool ((Length + 1) * sizeof (CHAR16), Path);
  if (Folder == NULL) {
    return FALSE;
  }

  Folder[Length] = L'\0';
  Exists         = ShellIsDirectory (Folder) == EFI_SUCCESS;
  FreePool (Folder);
  return Exists;
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
  } else if ((Status == EFI_NOT_FOUND) && FolderExists (Name16)) {
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

/**
  Renames an open file within its directory (EFI_FILE_INFO's FileName; the
  file protocol renames only to a name that nothing has) and flushes it.
**/
STATIC
EFI_STATUS
RenameOpenFile (
  IN SHELL_FILE_HANDLE  Handle,
  IN CONST CHAR16       *Name
  )
{
  EFI_FILE_INFO  *Info;
  EFI_FILE_INFO  *Renamed;
  UINTN          Size;
  EFI_STATUS     Status;

  Info = ShellGetFileInfo (Handle);
  if (Info == NULL) {
    return EFI_DEVICE_ERROR;
  }

  Size    = SIZE_OF_EFI_FILE_INFO + StrSize (Name);
  Renamed = AllocateZeroPool (Size);
  if (Renamed == NULL) {
    FreePool (Info);
    return EFI_OUT_OF_RESOURCES;
  }

  CopyMem (Renamed, Info, SIZE_OF_EFI_FILE_INFO);
  Renamed->Size = Size;
  CopyMem (Renamed->FileName, Name, StrSize (Name));
  Status = ShellSetFileInfo (Handle, Renamed);
  FreePool (Renamed);
  FreePool (Info);
  return EFI_ERROR (Status) ? Status : ShellFlushFile (Handle);
}

/**
  Opens the record's file for reading and writing. Where it is missing, a
  replace that a power cut stopped between its two steps has left the whole
  new file under the temporary name: it takes its place. Otherwise an empty
  file is made first, so that a temporary file with no record file beside
  it is always a whole one.
**/
STATIC
EFI_STATUS
OpenRecordFile (
  IN  CONST CHAR16       *Name,
  IN  CONST CHAR16       *Temporary,
  OUT SHELL_FILE_HANDLE  *Handle
  )
{
  SHELL_FILE_HANDLE  Left;
  EFI_STATUS         Status;

  if (ShellIsDirectory (Name) == EFI_SUCCESS) {
    return EFI_ACCESS_DENIED;
  }

  Status = ShellOpenFileByName (Name, Handle, EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE, 0);
  if (Status != EFI_NOT_FOUND) {
    return Status;
  }

  Status = ShellOpenFileByName (Temporary, &Left, EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE, 0);
  if (!EFI_ERROR (Status)) {
    Status = RenameOpenFile (Left, LastPart (Name));
    ShellCloseFile (&Left);
  } else if ((Status == EFI_NOT_FOUND) && FolderExists (Name)) {
    Status = ShellOpenFileByName (
               Name,
               &Left,
               EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE | EFI_FILE_MODE_CREATE,
               0
               );
    if (!EFI_ERROR (Status)) {
      Status = ShellFlushFile (Left);
      ShellCloseFile (&Left);
    }
  }

  if (EFI_ERROR (Status)) {
    return Status;
  }

  return ShellOpenFileByName (Name, Handle, EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE, 0);
}

/**
  The new content into a fresh temporary file, flushed; its handle stays
  open for the rename. Nothing is left behind when that fails.
**/
STATIC
EFI_STATUS
WriteTemporary (
  IN  CONST CHAR16       *Temporary,
  IN  UINT8              *Content,
  IN  UINTN              Size,
  OUT SHELL_FILE_HANDLE  *New
  )
{
  UINTN       Written;
  EFI_STATUS  Status;

  // One that a cut left before its record file was deleted may be partial;
  // opening would not truncate it.
  ShellDeleteFileByName (Temporary);
  Status = ShellOpenFileByName (
             Temporary,
             New,
             EFI_FILE_MODE_READ | EFI_FILE_MODE_WRITE | EFI_FILE_MODE_CREATE,
             0
             );
  if (EFI_ERROR (Status)) {
    return Status;
  }

  Written = Size;
  Status  = ShellWriteFile (*New, &Written, Content);
  if (!EFI_ERROR (Status) && (Written != Size)) {
    Status = EFI_VOLUME_FULL;
  }

  if (!EFI_ERROR (Status)) {
    Status = ShellFlushFile (*New);
  }

  if (EFI_ERROR (Status)) {
    ShellDeleteFile (New);
  }

  return Status;
}

/**
  The old content and the new line go into a temporary file beside the
  record's file, which is flushed and then takes its place: the file
  protocol has no append that a power cut cannot cut, and renames only to
  a free name, so the old file is deleted first. A cut leaves the old file
  whole, or the new one whole (under the temporary name when it came
  between the delete and the rename; OpenRecordFile finishes that). Record
  is closed in every case.
**/
STATIC
EFI_STATUS
ReplaceRecordFile (
  IN SHELL_FILE_HANDLE  Record,
  IN CONST CHAR16       *Name,
  IN CONST CHAR16       *Temporary,
  IN CONST UINT8        *Data,
  IN UINTN              Length
  )
{
  UINT64             OldLength;
  UINT8              *Content;
  SHELL_FILE_HANDLE  New;
  EFI_STATUS         Status;
  EFI_STATUS         Closed;

  Content = NULL;
  Status  = ShellGetFileSize (Record, &OldLength);
  if (!EFI_ERROR (Status) && (OldLength > MAX_UINTN - Length)) {
    Status = EFI_OUT_OF_RESOURCES;
  }

  if (!EFI_ERROR (Status)) {
    Content = AllocatePool ((UINTN)OldLength + Length);
    Status  = Content == NULL ? EFI_OUT_OF_RESOURCES : EFI_SUCCESS;
  }

  if (!EFI_ERROR (Status) && (ReadFrom (Record, Content, OldLength) != OldLength)) {
    Status = EFI_DEVICE_ERROR;
  }

  if (!EFI_ERROR (Status)) {
    CopyMem (Content + OldLength, Data, Length);
    Status = WriteTemporary (Temporary, Content, (UINTN)OldLength + Length, &New);
  }

  if (Content != NULL) {
    FreePool (Content);
  }

  if (EFI_ERROR (Status)) {
    ShellCloseFile (&Record);
    return Status;
  }

  // The handle is closed whether or not the file could be deleted (a
  // warning then).
  Status = ShellDeleteFile (&Record);
  if (Status != EFI_SUCCESS) {
    ShellDeleteFile (&New);
    return EFI_ACCESS_DENIED;
  }

  // A failed rename leaves the new file whole under the temporary name.
  Status = RenameOpenFile (New, LastPart (Name));
  Closed = ShellCloseFile (&New);
  return EFI_ERROR (Status) ? Status : Closed;
}

INT32
UefiFileAppend (
  CONST CHAR8  *Name,
  CONST UINT8  *Data,
  UINT64       Length
  )
{
  CHAR16             *Name16;
  CHAR16             *Temporary;
  UINTN              TemporaryUnits;
  SHELL_FILE_HANDLE  Record;
  EFI_STATUS         Status;

  if ((Name == NULL) || (Name[0] == '\0') || (Length > MAX_UINTN)) {
    return 0;
  }

  Name16 = Ucs2FromUtf8 (Name);
  if (Name16 == NULL) {
    return 0;
  }

  TemporaryUnits = StrLen (Name16) + StrLen (TEMPORARY_SUFFIX) + 1;
  Temporary      = AllocatePool (TemporaryUnits * sizeof (CHAR16));
  Status         = EFI_OUT_OF_RESOURCES;
  if (Temporary != NULL) {
    StrCpyS (Temporary, TemporaryUnits, Name16);
    StrCatS (Temporary, TemporaryUnits, TEMPORARY_SUFFIX);
    Status = OpenRecordFile (Name16, Temporary, &Record);
    if (!EFI_ERROR (Status)) {
      Status = ReplaceRecordFile (Record, Name16, Temporary, Data, (UINTN)Length);
    }

    FreePool (Temporary);
  }

  FreePool (Name16);
  return EFI_ERROR (Status) ? 0 : 1;
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
