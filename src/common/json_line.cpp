#include "json_line.h"

namespace {

// The well-formed UTF-8 sequences: by lead byte, the length and the range
// of the second byte (later ones are 0x80-0xBF). No overlong forms, no
// surrogates, nothing past U+10FFFF.
struct Lead {
    uint8_t first, last;
    uint8_t length;
    uint8_t second_low, second_high;
};
constexpr Lead kLeads[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// Length of the whole character that starts at s, or 0 when s[0] begins
// none. Stops at the first byte that does not fit, so never reads past a NUL.
size_t CharacterLength(const uint8_t* s)
{
    for (const Lead& lead : kLeads) {
        if (s[0] < lead.first || s[0] > lead.last)
            continue;
        if (s[1] < lead.second_low || s[1] > lead.second_high)
            return 0;
        for (size_t i = 2; i < lead.length; ++i) {
            if ((s[i] & 0xC0) != 0x80)
                return 0;
        }
        return lead.length;
    }
    return 0;
}

}  // namespace

JsonLine::JsonLine(char* buffer, size_t size) : buffer_(buffer), size_(size)
{
    Open('{', true);
}

void JsonLine::Put(char c)
{
    if (length_ < size_)
        buffer_[length_++] = c;
    else
        broken_ = true;
}

void JsonLine::PutText(const char* text)
{
    while (*text != '\0')
        Put(*text++);
}

void JsonLine::Separate()
{
    const uint32_t bit = uint32_t{1} << (depth_ - 1);
    if ((filled_ & bit) != 0)
        Put(',');
    filled_ |= bit;
}

bool JsonLine::ValueFits()
{
    if (depth_ == 0) {
        broken_ = true;  // after the line's object was closed
        return false;
    }
    const bool in_object = (objects_ >> (depth_ - 1) & 1) != 0;
    if (in_object != keyed_) {
        broken_ = true;  // a member without a key, or an item with one
        return false;
    }
    if (!in_object)
        Separate();
    keyed_ = false;
    return true;
}

JsonLine& JsonLine::Key(const char* key)
{
    if (key == nullptr || depth_ == 0 || (objects_ >> (depth_ - 1) & 1) == 0 || keyed_) {
        broken_ = true;
        return *this;
    }
    Separate();
    PutQuoted(key);
    Put(':');
    keyed_ = true;
    return *this;
}

void JsonLine::Open(char bracket, bool object)
{
    if (depth_ == kMaxDepth) {
        broken_ = true;
        return;
    }
    const uint32_t bit = uint32_t{1} << depth_;
    objects_ = object ? objects_ | bit : objects_ & ~bit;
    filled_ &= ~bit;
    ++depth_;
    Put(bracket);
}

void JsonLine::Close(char bracket, bool object)
{
    // The line's own object is closed by Finish alone.
    if (depth_ <= 1 || keyed_ || ((objects_ >> (depth_ - 1) & 1) != 0) != object) {
        broken_ = true;
        return;
    }
    --depth_;
    Put(bracket);
}

JsonLine& JsonLine::BeginObject()
{
    if (ValueFits())
        Open('{', true);
    return *this;
}

JsonLine& JsonLine::EndObject()
{
    Close('}', true);
    return *this;
}

JsonLine& JsonLine::BeginArray()
{
    if (ValueFits())
        Open('[', false);
    return *this;
}

JsonLine& JsonLine::EndArray()
{
    Close(']', false);
    return *this;
}

void JsonLine::PutQuoted(const char* text)
{
    constexpr char kHex[] = "0123456789abcdef";
    Put('"');
    const auto* s = reinterpret_cast<const uint8_t*>(text);
    while (*s != 0) {
        const uint8_t c = *s;
        if (c == '"' || c == '\\') {
            Put('\\');
            Put(static_cast<char>(c));
            ++s;
        } else if (c >= 0x20 && c < 0x80) {
            Put(static_cast<char>(c));
            ++s;
        } else if (const size_t n = c < 0x80 ? 0 : CharacterLength(s); n > 0) {
            for (size_t i = 0; i < n; ++i)
                Put(static_cast<char>(s[i]));
            s += n;
        } else {
            // A control character, or a byte no valid character holds: its
            // Latin-1 character, so the line stays UTF-8 whatever it was.
            PutText("\\u00");
            Put(kHex[c >> 4]);
            Put(kHex[c & 0x0F]);
            ++s;
        }
    }
    Put('"');
}

JsonLine& JsonLine::String(const char* text)
{
    if (text == nullptr)
        return Null();
    if (ValueFits())
        PutQuoted(text);
    return *this;
}

void JsonLine::PutDecimal(uint64_t magnitude)
{
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0)
        Put(digits[--n]);
}

JsonLine& JsonLine::Unsigned(uint64_t value)
{
    if (ValueFits())
        PutDecimal(value);
    return *this;
}

JsonLine& JsonLine::Signed(int64_t value)
{
    if (!ValueFits())
        return *this;
    if (value < 0)
        Put('-');
    PutDecimal(value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
    return *this;
}

JsonLine& JsonLine::Bool(bool value)
{
    if (ValueFits())
        PutText(value ? "true" : "false");
    return *this;
}

JsonLine& JsonLine::Null()
{
    if (ValueFits())
        PutText("null");
    return *this;
}

size_t JsonLine::Finish()
{
    if (depth_ != 1 || keyed_)
        broken_ = true;
    depth_ = 0;
    Put('}');
    Put('\n');
    Put('\0');
    return broken_ ? 0 : length_ - 1;
}
