// Console text for the whole tool. Formatting lives here once so both
// programs print numbers identically; bytes reach the platform unchanged.
//
// Conversions: %% %c %s %d %i %u %x %X with the flags '-' and '0', a width,
// and the length modifiers hh h l ll z. "%c" with 0 writes a NUL byte.
#pragma once

#include <cstdarg>
#include <cstddef>

void Print(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void PrintV(const char* fmt, va_list ap);
// Text exactly as given.
void PrintText(const char* text);
// Text followed by one newline: what the tool calls printing "as a line".
void PrintLine(const char* text);
// Formats into buf (always terminated when size > 0); returns the length the
// whole text has, as snprintf does.
int FormatText(char* buf, size_t size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

// The last line printed that held more than blanks (the one still open
// when it does), without its line breaks; at most 200 bytes of it.
const char* LastPrintedLine();
