/* UTF-8 to UCS-2 for kovrin's console and file names, in one place. Bytes
   that do not form valid UTF-8 stand for themselves as the characters
   U+0080 to U+00FF (Latin-1), one each: a version or project-name byte of
   0x80 or above shows as that character and never takes the next byte
   with it. Plain C, so the host's tests build it too. */
#ifndef KOVRIN_UTF8_H_
#define KOVRIN_UTF8_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
  uint8_t Bytes[4];  /* a character begun but not yet complete */
  uint8_t Count;
  uint8_t Needed;    /* bytes the character has in all */
} UTF8_DECODER;

/* Receives each UCS-2 code unit. */
typedef void (*UCS2_SINK)(uint16_t Unit, void *Context);

/* One more byte; a character split across calls is completed by the next. */
void Utf8Feed (UTF8_DECODER *Decoder, uint8_t Byte, UCS2_SINK Sink, void *Context);
/* The end of the text: a character left incomplete goes out as Latin-1. */
void Utf8Flush (UTF8_DECODER *Decoder, UCS2_SINK Sink, void *Context);

#ifdef __cplusplus
}
#endif

#endif
