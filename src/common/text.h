// String helpers the shared code needs without a C library.
#pragma once

#include <cstddef>
#include <cstdint>

size_t StrLen(const char* s);
// Byte-wise order as unsigned characters: <0, 0, >0.
int StrCmp(const char* a, const char* b);
bool StartsWith(const char* s, const char* prefix);
// Character i of s, or 0 when s is null or shorter: never reads past the end.
char CharAt(const char* s, size_t i);
// The standard string-to-long conversion: leading white space, a sign, an
// optional 0x prefix in base 16, stops at the first non-digit, saturates.
int64_t StrToL(const char* s, int base);
// The whole text as a hexadecimal number: an optional 0x, then hex digits
// only, at least one; saturates. False for anything else.
bool ParseHex(const char* s, uint64_t* value);
