#include "utf8.h"

/* The second byte a lead byte allows (the rest are 0x80-0xBF): no overlong
   forms, no surrogates, nothing past U+10FFFF. */
static int
SecondByteFits (
  uint8_t  Lead,
  uint8_t  Byte
  )
{
  uint8_t  Low;
  uint8_t  High;

  Low  = 0x80;
  High = 0xBF;
  if (Lead == 0xE0) {
    Low = 0xA0;
  } else if (Lead == 0xED) {
    High = 0x9F;
  } else if (Lead == 0xF0) {
    Low = 0x90;
  } else if (Lead == 0xF4) {
    High = 0x8F;
  }

  return Byte >= Low && Byte <= High;
}

static uint8_t
LengthFromLead (
  uint8_t  Lead
  )
{
  if ((Lead >= 0xC2) && (Lead <= 0xDF)) {
    return 2;
  }

  if ((Lead >= 0xE0) && (Lead <= 0xEF)) {
    return 3;
  }

  if ((Lead >= 0xF0) && (Lead <= 0xF4)) {
    return 4;
  }

  return 1;
}

static void
PutCode (
  uint32_t   Code,
  UCS2_SINK  Sink,
  void       *Context
  )
{
  if (Code >= 0x10000) {
    Code -= 0x10000;
    Sink ((uint16_t)(0xD800 | (Code >> 10)), Context);
    Sink ((uint16_t)(0xDC00 | (Code & 0x3FF)), Context);
  } else {
    Sink ((uint16_t)Code, Context);
  }
}

void
Utf8Flush (
  UTF8_DECODER  *Decoder,
  UCS2_SINK     Sink,
  void          *Context
  )
{
  uint8_t  Index;

  for (Index = 0; Index < Decoder->Count; Index++) {
    Sink (Decoder->Bytes[Index], Context);
  }

  Decoder->Count  = 0;
  Decoder->Needed = 0;
}

void
Utf8Feed (
  UTF8_DECODER  *Decoder,
  uint8_t       Byte,
  UCS2_SINK     Sink,
  void          *Context
  )
{
  uint32_t  Code;
  uint8_t   Index;
  int       Fits;

  if (Decoder->Count > 0) {
    Fits = Decoder->Count == 1 ? SecondByteFits (Decoder->Bytes[0], Byte) : (Byte & 0xC0) == 0x80;
    if (!Fits) {
      /* The character broke off: its bytes stand for themselves, and this
         byte is read afresh. */
      Utf8Flush (Decoder, Sink, Context);
    } else {
      Decoder->Bytes[Decoder->Count++] = Byte;
      if (Decoder->Count < Decoder->Needed) {
        return;
      }

      Code = Decoder->Bytes[0] & (0x7F >> Decoder->Needed);
      for (Index = 1; Index < Decoder->Count; Index++) {
        Code = (Code << 6) | (Decoder->Bytes[Index] & 0x3F);
      }

      Decoder->Count  = 0;
      Decoder->Needed = 0;
      PutCode (Code, Sink, Context);
      return;
    }
  }

  if (LengthFromLead (Byte) == 1) {
    Sink (Byte, Context);
    return;
  }

  Decoder->Bytes[0] = Byte;
  Decoder->Count    = 1;
  Decoder->Needed   = LengthFromLead (Byte);
}
