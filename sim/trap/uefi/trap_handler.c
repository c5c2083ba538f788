/** @file
  The synchronous exception handler: each byte load or store that faults in
  the port window is done on the virtual board instead, as the exception
  syndrome describes it, and the program goes on after the instruction.
  Anything else stops the machine with a message saying what was seen: a
  wrong value must never pass unnoticed.
**/

#include <Uefi.h>
#include <Library/PrintLib.h>
#include <Library/UefiBootServicesTableLib.h>
#include <Library/UefiRuntimeServicesTableLib.h>
#include <Protocol/DebugSupport.h>

#include "trap_internal.h"

// ESR_ELx fields of a data abort taken without a change of exception level.
#define ESR_CLASS(Esr)          (((Esr) >> 26) & 0x3F)
#define CLASS_DATA_ABORT        0x25
#define ESR_ISV                 BIT24
#define ESR_SAS(Esr)            (((Esr) >> 22) & 0x3)
#define ESR_SSE                 BIT21
#define ESR_SRT(Esr)            (((Esr) >> 16) & 0x1F)
#define ESR_SF                  BIT15
#define ESR_FNV                 BIT10
#define ESR_CM                  BIT8
#define ESR_WNR                 BIT6
#define ESR_FSC(Esr)            ((Esr) & 0x3F)
// Translation and access flag faults, at any level: what the window's
// invalid entry (or a firmware's RP) gives.
#define FSC_KIND(Fsc)           ((Fsc) & 0x3C)
#define FSC_TRANSLATION         0x04
#define FSC_ACCESS_FLAG         0x08
#define REGISTER_ZERO           31
#define INSTRUCTION_SIZE        4

STATIC CHAR16   mStopMessage[256];
STATIC BOOLEAN  mStopping;

/**
  Runs in place of the instruction that could not be emulated, in the
  program's own context: says why, then switches the machine off.
**/
STATIC
VOID
Stop (
  VOID
  )
{
  gST->ConOut->OutputString (gST->ConOut, mStopMessage);
  gRT->ResetSystem (EfiResetShutdown, EFI_ABORTED, 0, NULL);
}

STATIC
VOID
Refuse (
  IN OUT EFI_SYSTEM_CONTEXT_AARCH64  *Context,
  IN     CONST CHAR8                 *What
  )
{
  if (mStopping) {
    // The stop itself faulted: no console to trust any more.
    gRT->ResetSystem (EfiResetShutdown, EFI_ABORTED, 0, NULL);
  }

  mStopping = TRUE;
  UnicodeSPrint (
    mStopMessage,
    sizeof mStopMessage,
    L"\r\nkovrin-trap stops: %a (ESR 0x%lx, FAR 0x%lx, at 0x%lx)\r\n",
    What,
    Context->ESR,
    Context->FAR,
    Context->ELR
    );
  Context->ELR = (UINT64)(UINTN)Stop;
}

STATIC
UINT64 *
Register (
  IN EFI_SYSTEM_CONTEXT_AARCH64  *Context,
  IN UINTN                       Number
  )
{
  // X0 to X28, FP (X29) and LR (X30) lie in order.
  return &Context->X0 + Number;
}

/**
  The loaded byte as the register receives it: zero- or sign-extended to
  32 or 64 bits.
**/
STATIC
UINT64
Extended (
  IN UINT8   Byte,
  IN UINT64  Esr
  )
{
  UINT64  Value;

  Value = Byte;
  if ((Esr & ESR_SSE) != 0) {
    Value = (UINT64)(INT64)(INT8)Byte;
  }

  return (Esr & ESR_SF) != 0 ? Value : (UINT32)Value;
}

STATIC
CONST CHAR8 *
WhyNotEmulated (
  IN EFI_SYSTEM_CONTEXT_AARCH64  *Context
  )
{
  UINT64  Esr;

  Esr = Context->ESR;
  if (ESR_CLASS (Esr) != CLASS_DATA_ABORT) {
    return "an exception other than a data abort";
  }

  if (((Esr & ESR_FNV) != 0) || (Context->FAR - TRAP_WINDOW_BASE >= TRAP_WINDOW_SIZE)) {
    return "a data abort outside the 256-byte port window";
  }

  if ((FSC_KIND (ESR_FSC (Esr)) != FSC_TRANSLATION) && (FSC_KIND (ESR_FSC (Esr)) != FSC_ACCESS_FLAG)) {
    return "a data abort in the port window that its trap did not cause";
  }

  if ((Esr & ESR_ISV) == 0) {
    return "an access to the port window without an instruction syndrome (ISV clear: pair, vector or writeback form)";
  }

  if ((Esr & ESR_CM) != 0) {
    return "a cache maintenance operation on the port window";
  }

  if (ESR_SAS (Esr) != 0) {
    return (Esr & ESR_WNR) != 0 ?
           "a store wider than a byte to the port window" :
           "a load wider than a byte from the port window";
  }

  return NULL;
}

VOID
EFIAPI
TrapSynchronousException (
  IN CONST EFI_EXCEPTION_TYPE  Type,
  IN CONST EFI_SYSTEM_CONTEXT  SystemContext
  )
{
  EFI_SYSTEM_CONTEXT_AARCH64  *Context;
  CONST CHAR8                 *Why;
  UINTN                       Target;
  UINT8                       Port;

  Context = SystemContext.SystemContextAArch64;
  Why     = WhyNotEmulated (Context);
  if (Why != NULL) {
    Refuse (Context, Why);
    return;
  }

  Port   = (UINT8)(Context->FAR - TRAP_WINDOW_BASE);
  Target = ESR_SRT (Context->ESR);
  if ((Context->ESR & ESR_WNR) != 0) {
    TrapBoardWrite (Port, Target == REGISTER_ZERO ? 0 : (UINT8)*Register (Context, Target));
  } else if (Target == REGISTER_ZERO) {
    TrapBoardRead (Port);
  } else {
    *Register (Context, Target) = Extended (TrapBoardRead (Port), Context->ESR);
  }

  Context->ELR += INSTRUCTION_SIZE;
}
