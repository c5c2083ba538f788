/** @file
  Console, pauses and clocks of kovrin (the generic timer for time limits,
  the runtime service GetTime for a run's record). The tool writes UTF-8;
  ConOut takes UCS-2, so the bytes are decoded on the way (utf8.h), and
  nothing else is changed: a "\n" stays a bare line feed, as the tool
  wrote it.
**/

#include <Uefi.h>
#include <Library/UefiBootServicesTableLib.h>
#include <Library/UefiRuntimeServicesTableLib.h>

#include "uefi_services.h"
#include "utf8.h"

#define OUTPUT_CHUNK  128

//
// Decoder state, kept between calls: a text may end inside a character.
//
STATIC UTF8_DECODER  mDecoder;

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
  IN uint16_t  Unit,
  IN VOID      *Context
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

VOID
UefiConsoleWrite (
  CONST CHAR8  *Text,
  UINT64       Length
  )
{
  UINT64  Index;

  for (Index = 0; Index < Length; Index++) {
    Utf8Feed (&mDecoder, (UINT8)Text[Index], PutUnit, NULL);
  }

  Flush ();
}

VOID
UefiConsoleFinish (
  VOID
  )
{
  Utf8Flush (&mDecoder, PutUnit, NULL);
  Flush ();
}

VOID
UefiClearScreen (
  VOID
  )
{
  UefiConsoleFinish ();
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

  UefiConsoleFinish ();
  gST->ConOut->SetCursorPosition (gST->ConOut, (UINTN)Column, (UINTN)Row);
}

VOID
UefiSetAttribute (
  UINT32  Attribute
  )
{
  UefiConsoleFinish ();
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

INT32
UefiUtcNow (
  CALENDAR_TIME  *Time
  )
{
  EFI_TIME  Now;

  if (EFI_ERROR (gRT->GetTime (&Now, NULL)) || (Now.Nanosecond > 999999999)) {
    return 0;
  }

  Time->Year        = Now.Year;
  Time->Month       = Now.Month;
  Time->Day         = Now.Day;
  Time->Hour        = Now.Hour;
  Time->Minute      = Now.Minute;
  Time->Second      = Now.Second;
  Time->Millisecond = (UINT16)(Now.Nanosecond / 1000000);
  return CalendarToUtc (Time, Now.TimeZone);
}
