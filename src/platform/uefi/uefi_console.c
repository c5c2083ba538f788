/** @file
  Console, pauses and clock of kovrin. The tool writes UTF-8; ConOut takes
  UCS-2, so the bytes are decoded on the way, and nothing else is changed:
  a "\n" stays a bare line feed, as the tool wrote it.
**/

#include <Uefi.h>
#include <Library/UefiBootServicesTableLib.h>

#include "uefi_services.h"

#define REPLACEMENT_CHARACTER  0xFFFD
#define OUTPUT_CHUNK           128

//
// Decoder state, kept between calls: a text may end inside a character.
//
STATIC UINT32  mCode;
STATIC UINTN   mFollowing;
STATIC UINT32  mSmallest;

STATIC CHAR16  mOutput[OUTPUT_CHUNK + 1];
STATIC UINTN   mOutputLength;

STATIC
VOID
Flush (
  VOID
  )
{
  if (mOutputLength == 0) {
    return;
  }

  mOutput[mOutputLength] = L'\0';
  gST->ConOut->OutputString (gST->ConOut, mOutput);
  mOutputLength = 0;
}

STATIC
VOID
PutUnit (
  IN CHAR16  Unit
  )
{
  // A NUL would end the string early; it shows nothing anyway.
  if (Unit == 0) {
    return;
  }

  // Never leave a surrogate pair split between two OutputString calls.
  if (mOutputLength >= OUTPUT_CHUNK - 1) {
    Flush ();
  }

  mOutput[mOutputLength++] = Unit;
}

STATIC
VOID
PutCode (
  IN UINT32  Code
  )
{
  if ((Code > 0x10FFFF) || ((Code >= 0xD800) && (Code <= 0xDFFF))) {
    Code = REPLACEMENT_CHARACTER;
  }

  if (Code >= 0x10000) {
    Code -= 0x10000;
    PutUnit ((CHAR16)(0xD800 | (Code >> 10)));
    PutUnit ((CHAR16)(0xDC00 | (Code & 0x3FF)));
  } else {
    PutUnit ((CHAR16)Code);
  }
}

STATIC
VOID
DecodeByte (
  IN UINT8  Byte
  )
{
  if (mFollowing > 0) {
    if ((Byte & 0xC0) == 0x80) {
      mCode = (mCode << 6) | (Byte & 0x3F);
      if (--mFollowing == 0) {
        PutCode (mCode < mSmallest ? REPLACEMENT_CHARACTER : mCode);
      }

      return;
    }

    // The character broke off: mark it and read this byte afresh.
    mFollowing = 0;
    PutCode (REPLACEMENT_CHARACTER);
  }

  if (Byte < 0x80) {
    PutCode (Byte);
  } else if ((Byte & 0xE0) == 0xC0) {
    mCode      = Byte & 0x1F;
    mFollowing = 1;
    mSmallest  = 0x80;
  } else if ((Byte & 0xF0) == 0xE0) {
    mCode      = Byte & 0x0F;
    mFollowing = 2;
    mSmallest  = 0x800;
  } else if ((Byte & 0xF8) == 0xF0) {
    mCode      = Byte & 0x07;
    mFollowing = 3;
    mSmallest  = 0x10000;
  } else {
    PutCode (REPLACEMENT_CHARACTER);
  }
}

VOID
UefiConsoleWrite (
  CONST CHAR8  *Text,
  UINT64       Length
  )
{
  UINT64  Index;

  for (Index = 0; Index < Length; Index++) {
    DecodeByte ((UINT8)Text[Index]);
  }

  Flush ();
}

VOID
UefiClearScreen (
  VOID
  )
{
  gST->ConOut->ClearScreen (gST->ConOut);
}

VOID
UefiSetCursor (
  INT32  Column,
  INT32  Row
  )
{
  if ((Column < 0) || (Row < 0)) {
    return;
  }

  gST->ConOut->SetCursorPosition (gST->ConOut, (UINTN)Column, (UINTN)Row);
}

VOID
UefiSetAttribute (
  UINT32  Attribute
  )
{
  gST->ConOut->SetAttribute (gST->ConOut, Attribute);
}

VOID
UefiStall (
  UINT64  Microseconds
  )
{
  gBS->Stall ((UINTN)Microseconds);
}

UINT64
UefiNowUs (
  VOID
  )
{
  UINT64  Count;
  UINT64  Frequency;

  // The virtual count runs at CNTFRQ from reset; the ISB keeps the read
  // in program order with the polls around it.
  __asm__ __volatile__ ("isb\n\tmrs %0, cntvct_el0" : "=r" (Count) : : "memory");
  __asm__ __volatile__ ("mrs %0, cntfrq_el0" : "=r" (Frequency));
  if (Frequency == 0) {
    return 0;
  }

  return (Count / Frequency) * 1000000 + (Count % Frequency) * 1000000 / Frequency;
}
