#include "print.h"

#include <cstdint>

#include "platform/platform.h"

namespace {

// The line being printed and the last one that held anything but blanks:
// what a run's record quotes as its last word.
constexpr size_t kLineMax = 200;
char gLine[kLineMax + 1];
size_t gLineLength;
char gLastLine[kLineMax + 1];

bool Blank(const char* line)
{
    for (; *line != '\0'; ++line) {
        if (*line != ' ' && *line != '\t')
            return false;
    }
    return true;
}

void KeepLine()
{
    gLine[gLineLength] = '\0';
    if (!Blank(gLine)) {
        for (size_t i = 0; i <= gLineLength; ++i)
            gLastLine[i] = gLine[i];
    }
    gLineLength = 0;
}

// Every byte for the console passes here.
void Write(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n')
            KeepLine();
        else if (text[i] == '\r')
            gLineLength = 0;
        else if (gLineLength < kLineMax)
            gLine[gLineLength++] = text[i];
    }
    platform::ConsoleWrite(text, length);
}

// Where formatted bytes go: a caller-owned array, or the console through a
// small staging buffer so each text reaches the platform in few writes.
struct Sink {
    char* out;
    size_t size;
    size_t len;
    bool console;
    char stage[128];
    size_t staged;

    void Put(char c)
    {
        if (console) {
            stage[staged++] = c;
            if (staged == sizeof stage)
                Flush();
        } else if (len + 1 < size) {
            out[len] = c;
        }
        ++len;
    }
    void Flush()
    {
        if (console && staged > 0)
            Write(stage, staged);
        staged = 0;
    }
};

void PutPadded(Sink& sink, const char* text, size_t n, int width, bool left, char pad)
{
    size_t fill = width > 0 && static_cast<size_t>(width) > n ? static_cast<size_t>(width) - n : 0;
    if (!left) {
        for (; fill > 0; --fill)
            sink.Put(pad);
    }
    for (size_t i = 0; i < n; ++i)
        sink.Put(text[i]);
    for (; fill > 0; --fill)
        sink.Put(' ');
}

void PutNumber(Sink& sink, uint64_t magnitude, bool negative, unsigned base, bool upper,
               int width, bool left, bool zero)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char buf[24];
    size_t n = 0;
    do {
        buf[sizeof buf - 1 - n++] = digits[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    if (zero && !left) {
        // Zero padding goes between the sign and the digits.
        int want = width - (negative ? 1 : 0);
        while (static_cast<int>(n) < want && n < sizeof buf - 1)
            buf[sizeof buf - 1 - n++] = '0';
    }
    if (negative)
        buf[sizeof buf - 1 - n++] = '-';
    PutPadded(sink, buf + sizeof buf - n, n, width, left, ' ');
}

void FormatTo(Sink& sink, const char* fmt, va_list ap)
{
    while (*fmt != '\0') {
        if (*fmt != '%') {
            sink.Put(*fmt++);
            continue;
        }
        ++fmt;
        bool left = false;
        bool zero = false;
        for (;; ++fmt) {
            if (*fmt == '-')
                left = true;
            else if (*fmt == '0')
                zero = true;
            else
                break;
        }
        int width = 0;
        while (*fmt >= '0' && *fmt <= '9')
            width = width * 10 + (*fmt++ - '0');
        int length = 0;  // 0 int, 1 long, 2 long long, 3 size_t; h and hh narrow below
        int narrow = 0;
        for (;; ++fmt) {
            if (*fmt == 'l')
                ++length;
            else if (*fmt == 'z')
                length = 3;
            else if (*fmt == 'h')
                ++narrow;
            else
                break;
        }
        const char conv = *fmt;
        if (conv == '\0')
            break;
        ++fmt;
        switch (conv) {
        case '%':
            sink.Put('%');
            break;
        case 'c': {
            const char c = static_cast<char>(va_arg(ap, int));
            PutPadded(sink, &c, 1, width, left, ' ');
            break;
        }
        case 's': {
            const char* s = va_arg(ap, const char*);
            if (s == nullptr)
                s = "(null)";
            size_t n = 0;
            while (s[n] != '\0')
                ++n;
            PutPadded(sink, s, n, width, left, ' ');
            break;
        }
        case 'd':
        case 'i': {
            int64_t v;
            if (length == 0)
                v = va_arg(ap, int);
            else if (length == 1)
                v = va_arg(ap, long);
            else if (length == 2)
                v = va_arg(ap, long long);
            else
                v = static_cast<int64_t>(va_arg(ap, size_t));
            if (length == 0 && narrow == 1)
                v = static_cast<short>(v);
            else if (length == 0 && narrow >= 2)
                v = static_cast<signed char>(v);
            const bool negative = v < 0;
            const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            PutNumber(sink, magnitude, negative, 10, false, width, left, zero);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            uint64_t v;
            if (length == 0)
                v = va_arg(ap, unsigned);
            else if (length == 1)
                v = va_arg(ap, unsigned long);
            else if (length == 2)
                v = va_arg(ap, unsigned long long);
            else
                v = va_arg(ap, size_t);
            if (length == 0 && narrow == 1)
                v = static_cast<unsigned short>(v);
            else if (length == 0 && narrow >= 2)
                v = static_cast<unsigned char>(v);
            PutNumber(sink, v, false, conv == 'u' ? 10 : 16, conv == 'X', width, left, zero);
            break;
        }
        default:
            // Unknown conversions are shown as written rather than guessed at.
            sink.Put('%');
            sink.Put(conv);
            break;
        }
    }
}

}  // namespace

void PrintV(const char* fmt, va_list ap)
{
    Sink sink{nullptr, 0, 0, true, {}, 0};
    FormatTo(sink, fmt, ap);
    sink.Flush();
}

void Print(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    PrintV(fmt, ap);
    va_end(ap);
}

void PrintText(const char* text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    Write(text, n);
}

void PrintLine(const char* text)
{
    PrintText(text);
    Write("\n", 1);
}

int FormatText(char* buf, size_t size, const char* fmt, ...)
{
    Sink sink{buf, size, 0, false, {}, 0};
    va_list ap;
    va_start(ap, fmt);
    FormatTo(sink, fmt, ap);
    va_end(ap);
    if (size > 0)
        buf[sink.len < size ? sink.len : size - 1] = '\0';
    return static_cast<int>(sink.len);
}

const char* LastPrintedLine()
{
    // A line still open counts once it holds something.
    gLine[gLineLength] = '\0';
    return Blank(gLine) ? gLastLine : gLine;
}
