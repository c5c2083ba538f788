/** @file
  Makes the page of the port window fault on every access. The firmware is
  asked first (CPU protocol, EFI_MEMORY_RP); where it leaves the page
  readable, its translation entry is made invalid here.
**/

#include <Uefi.h>
#include <Chipset/AArch64.h>
#include <Library/ArmLib.h>
#include <Library/MemoryAllocationLib.h>
#include <Library/PrintLib.h>
#include <Library/UefiBootServicesTableLib.h>
#include <Protocol/Cpu.h>

#include "trap_internal.h"

#define ENTRY_VALID         BIT0
#define LEVELS              4
#define BITS_PER_LEVEL      9
#define SMALLEST_T0SZ       16
#define ENTRIES_MASK        0x1FF

/**
  The descriptor that maps Address in the live tables, and its level.
**/
STATIC
UINT64 *
MappingEntry (
  IN  UINT64  Address,
  OUT UINTN   *Level
  )
{
  UINTN   At;
  UINT64  *Table;
  UINT64  *Entry;

  At    = ((ArmGetTCR () & TCR_T0SZ_MASK) - SMALLEST_T0SZ) / BITS_PER_LEVEL;
  Table = ArmGetTTBR0BaseAddress ();
  for ( ; ; At++) {
    Entry = &Table[(Address >> (EFI_PAGE_SHIFT + BITS_PER_LEVEL * (LEVELS - 1 - At))) & ENTRIES_MASK];
    if ((At == LEVELS - 1) || ((*Entry & TT_TYPE_MASK) != TT_TYPE_TABLE_ENTRY)) {
      *Level = At;
      return Entry;
    }

    Table = (UINT64 *)(UINTN)(*Entry & TT_ADDRESS_MASK_DESCRIPTION_TABLE);
  }
}

STATIC
BOOLEAN
Faults (
  IN UINT64  Entry
  )
{
  return (Entry & ENTRY_VALID) == 0 || (Entry & TT_AF) == 0;
}

/**
  Replaces the live block entry at Level by a table of the next level that
  maps the same memory the same way. Break before make: the block entry is
  invalid, and out of the TLB, before the table takes its place.
**/
STATIC
EFI_STATUS
SplitBlock (
  IN UINT64  *Entry,
  IN UINTN   Level
  )
{
  UINT64  *Table;
  UINT64  Attributes;
  UINT64  Output;
  UINT64  Step;
  UINTN   Index;

  Table = AllocatePages (1);
  if (Table == NULL) {
    return EFI_OUT_OF_RESOURCES;
  }

  Attributes = *Entry & ~(TT_ADDRESS_MASK_BLOCK_ENTRY | TT_TYPE_MASK);
  Output     = *Entry & TT_ADDRESS_MASK_BLOCK_ENTRY;
  Step       = 1ULL << (EFI_PAGE_SHIFT + BITS_PER_LEVEL * (LEVELS - 2 - Level));
  for (Index = 0; Index <= ENTRIES_MASK; Index++) {
    Table[Index] = Attributes | (Output + Index * Step) |
                   (Level + 1 == LEVELS - 1 ? TT_TYPE_BLOCK_ENTRY_LEVEL3 : TT_TYPE_BLOCK_ENTRY);
  }

  *Entry = 0;
  ArmUpdateTranslationTableEntry (Entry, (VOID *)(UINTN)TRAP_WINDOW_BASE);
  *Entry = (UINT64)(UINTN)Table | TT_TYPE_TABLE_ENTRY;
  ArmUpdateTranslationTableEntry (Entry, (VOID *)(UINTN)TRAP_WINDOW_BASE);
  return EFI_SUCCESS;
}

EFI_STATUS
TrapWindowFault (
  OUT CHAR8  *How,
  IN  UINTN  HowSize
  )
{
  EFI_CPU_ARCH_PROTOCOL  *Cpu;
  EFI_STATUS             Status;
  EFI_STATUS             Split;
  UINT64                 *Entry;
  UINTN                  Level;
  UINTN                  Splits;

  Status = gBS->LocateProtocol (&gEfiCpuArchProtocolGuid, NULL, (VOID **)&Cpu);
  if (EFI_ERROR (Status)) {
    AsciiSPrint (How, HowSize, "no CPU architecture protocol (%r)", Status);
    return Status;
  }

  Status = Cpu->SetMemoryAttributes (Cpu, TRAP_WINDOW_BASE, EFI_PAGE_SIZE, EFI_MEMORY_UC | EFI_MEMORY_XP | EFI_MEMORY_RP);
  Entry  = MappingEntry (TRAP_WINDOW_BASE, &Level);
  if (!EFI_ERROR (Status) && Faults (*Entry)) {
    AsciiSPrint (How, HowSize, "the firmware honours EFI_MEMORY_RP");
    return EFI_SUCCESS;
  }

  // The page alone must fault, not the block around it.
  for (Splits = 0; Level < LEVELS - 1; Splits++) {
    Split = SplitBlock (Entry, Level);
    if (EFI_ERROR (Split)) {
      AsciiSPrint (How, HowSize, "the level %d block around it cannot be split: %r", Level, Split);
      return Split;
    }

    Entry = MappingEntry (TRAP_WINDOW_BASE, &Level);
  }

  *Entry &= ~(UINT64)ENTRY_VALID;
  ArmUpdateTranslationTableEntry (Entry, (VOID *)(UINTN)TRAP_WINDOW_BASE);
  AsciiSPrint (
    How,
    HowSize,
    "SetMemoryAttributes(UC|XP|RP) said %r but left the page readable; %d block(s) split, its level 3 entry made invalid",
    Status,
    Splits
    );
  return EFI_SUCCESS;
}
