#include "trace.h"

namespace sim {

void Trace::Put(char c)
{
    if (length_ + 1 < sizeof line_)
        line_[length_++] = c;
}

void Trace::PutHex(uint32_t value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        Put("0123456789abcdef"[(value >> shift) & 0xF]);
}

void Trace::Begin(const char* kind)
{
    length_ = 0;
    while (*kind != '\0')
        Put(*kind++);
}

void Trace::Word(const char* text)
{
    Put(' ');
    while (*text != '\0')
        Put(*text++);
}

void Trace::Hex(uint32_t value, int digits)
{
    Put(' ');
    PutHex(value, digits);
}

void Trace::Tagged(const char* tag, uint32_t value, int digits)
{
    Put(' ');
    while (*tag != '\0')
        Put(*tag++);
    PutHex(value, digits);
}

void Trace::Count(const char* tag, uint64_t count)
{
    if (count == 0)
        return;
    Put(' ');
    while (*tag != '\0')
        Put(*tag++);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + count % 10);
        count /= 10;
    } while (count != 0);
    while (n > 0)
        Put(digits[--n]);
}

void Trace::End()
{
    Put('\n');
    if (sink_ != nullptr)
        sink_(context_, line_, length_);
    length_ = 0;
}

}  // namespace sim
