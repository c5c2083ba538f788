#include "iso_time.h"

namespace {

// value's lowest `digits` decimal digits at text: a field never runs over.
char* Digits(char* text, unsigned value, int digits)
{
    for (int i = digits - 1; i >= 0; --i) {
        text[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return text + digits;
}

}  // namespace

void IsoTime(const platform::CivilTime& time, char (&text)[kIsoTimeLength + 1])
{
    const struct {
        unsigned value;
        int digits;
        char after;
    } kFields[] = {
        {time.year, 4, '-'},   {time.month, 2, '-'},  {time.day, 2, 'T'},           {time.hour, 2, ':'},
        {time.minute, 2, ':'}, {time.second, 2, '.'}, {time.millisecond, 3, 'Z'},
    };
    char* at = text;
    for (const auto& field : kFields) {
        at = Digits(at, field.value, field.digits);
        *at++ = field.after;
    }
    *at = '\0';
}
