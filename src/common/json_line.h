// One JSON object as one line, built in the caller's fixed buffer: a run's
// record. Whatever bytes a string holds, the line is valid UTF-8 and valid
// JSON; a line that did not fit is reported, never handed out cut.
#pragma once

#include <cstddef>
#include <cstdint>

class JsonLine {
public:
    // Opens the line's object.
    JsonLine(char* buffer, size_t size);

    // The name of the next member of the object being built, escaped as a
    // string is (none: the line is refused).
    JsonLine& Key(const char* key);

    JsonLine& BeginObject();
    JsonLine& EndObject();
    JsonLine& BeginArray();
    JsonLine& EndArray();

    // Valid UTF-8 as it is; '"', '\' and control characters escaped; any
    // other byte that is not part of valid UTF-8 as its Latin-1 character
    // (0xFF is "\u00ff"). A null text is written as null.
    JsonLine& String(const char* text);
    JsonLine& Unsigned(uint64_t value);
    JsonLine& Signed(int64_t value);
    JsonLine& Bool(bool value);
    JsonLine& Null();

    // Closes the line's object and ends the line with "\n" (then a NUL).
    // Returns the line's length without the NUL, or 0 when the buffer was
    // too small or the line is not one whole object (a container left
    // open, a value without its key): nothing of it may be written then.
    size_t Finish();

private:
    static constexpr int kMaxDepth = 16;

    // Before a key (in an object) or a value (in an array): the comma.
    void Separate();
    // Before any value: false when it cannot go here.
    bool ValueFits();
    void Open(char bracket, bool object);
    void Close(char bracket, bool object);
    void Put(char c);
    void PutText(const char* text);
    void PutQuoted(const char* text);
    void PutDecimal(uint64_t magnitude);

    char* buffer_;
    size_t size_;
    size_t length_ = 0;
    bool broken_ = false;  // did not fit, or no longer one whole object
    int depth_ = 0;        // containers open, the line's object included
    uint32_t objects_ = 0; // bit n: level n is an object (else an array)
    uint32_t filled_ = 0;  // bit n: level n has an item already
    bool keyed_ = false;   // a key waits for its value
};
