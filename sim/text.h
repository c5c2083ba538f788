// Text built into a fixed buffer, always terminated; what does not fit is
// cut off. The board's core formats its trace lines and its messages with
// it, having no C library to lean on. Constant-initialized, so a board at
// namespace scope needs no static constructor (UEFI runs none).
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

template <size_t kSize>
class Text {
public:
    void Clear()
    {
        length_ = 0;
        buffer_[0] = '\0';
    }
    Text& Put(char c)
    {
        if (length_ + 1 < kSize) {
            buffer_[length_++] = c;
            buffer_[length_] = '\0';
        }
        return *this;
    }
    Text& Put(const char* text)
    {
        while (*text != '\0')
            Put(*text++);
        return *this;
    }
    // Hex, exactly `digits` digits (0: as many as the value needs).
    Text& Hex(uint32_t value, int digits, bool upper = false)
    {
        if (digits == 0) {
            digits = 1;
            while (digits < 8 && (value >> (digits * 4)) != 0)
                ++digits;
        }
        const char* figures = upper ? "0123456789ABCDEF" : "0123456789abcdef";
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
            Put(figures[(value >> shift) & 0xF]);
        return *this;
    }
    Text& Decimal(uint64_t value)
    {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (n > 0)
            Put(digits[--n]);
        return *this;
    }
    // Pads with blanks up to column `column`, at least one blank.
    Text& Column(size_t column)
    {
        do
            Put(' ');
        while (length_ < column && length_ + 1 < kSize);
        return *this;
    }

    const char* c_str() const { return buffer_; }
    size_t length() const { return length_; }

private:
    char buffer_[kSize] = {};
    size_t length_ = 0;
};

}  // namespace sim
