#include "text.h"

size_t StrLen(const char* s)
{
    size_t n = 0;
    while (s[n] != '\0')
        ++n;
    return n;
}

int StrCmp(const char* a, const char* b)
{
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    while (*x != 0 && *x == *y) {
        ++x;
        ++y;
    }
    return static_cast<int>(*x) - static_cast<int>(*y);
}

bool StartsWith(const char* s, const char* prefix)
{
    while (*prefix != '\0') {
        if (*s++ != *prefix++)
            return false;
    }
    return true;
}

char CharAt(const char* s, size_t i)
{
    if (s == nullptr)
        return 0;
    for (size_t k = 0; k < i; ++k) {
        if (s[k] == '\0')
            return 0;
    }
    return s[i];
}

static int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

int64_t StrToL(const char* s, int base)
{
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = *s == '-';
        ++s;
    }
    if (base == 16 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && DigitValue(s[2]) < 16)
        s += 2;

    // Accumulate as a negative number so INT64_MIN is reachable.
    const int64_t limit = INT64_MIN;
    int64_t value = 0;
    bool saturated = false;
    for (int d; (d = DigitValue(*s)) < base; ++s) {
        if (saturated)
            continue;
        if (value < (limit + d) / base) {
            saturated = true;
            continue;
        }
        value = value * base - d;
    }
    if (saturated)
        return negative ? INT64_MIN : INT64_MAX;
    if (!negative)
        return value == INT64_MIN ? INT64_MAX : -value;
    return value;
}

bool ParseHex(const char* s, uint64_t* value)
{
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s += 2;
    if (*s == '\0')
        return false;
    *value = 0;
    for (; *s != '\0'; ++s) {
        const int d = DigitValue(*s);
        if (d >= 16)
            return false;
        *value = *value > (UINT64_MAX >> 4) ? UINT64_MAX : (*value << 4) | static_cast<uint64_t>(d);
    }
    return true;
}
