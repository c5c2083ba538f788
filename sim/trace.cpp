#include "trace.h"

namespace sim {

void Trace::Begin(const char* kind)
{
    text_.Clear();
    if (clock_ != nullptr)
        text_.Decimal(*clock_).Put(' ');
    text_.Put(kind);
}

void Trace::Word(const char* text)
{
    text_.Put(' ').Put(text);
}

void Trace::Hex(uint32_t value, int digits)
{
    text_.Put(' ').Hex(value, digits);
}

void Trace::Tagged(const char* tag, uint32_t value, int digits)
{
    text_.Put(' ').Put(tag).Hex(value, digits);
}

void Trace::Count(const char* tag, uint64_t count)
{
    if (count != 0)
        text_.Put(' ').Put(tag).Decimal(count);
}

void Trace::End()
{
    text_.Put('\n');
    if (sink_ != nullptr)
        sink_(context_, text_.c_str(), text_.length());
    text_.Clear();
}

}  // namespace sim
