// The board's transaction trace: one line per event, fields separated by
// one blank, numbers in lower-case hex except counts. Nothing is formatted
// unless a sink is set.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

// Receives whole trace lines, each ending in '\n'.
using TraceSink = void (*)(void* context, const char* line, size_t length);

class Trace {
public:
    void SetSink(TraceSink sink, void* context)
    {
        sink_ = sink;
        context_ = context;
    }
    bool enabled() const { return sink_ != nullptr; }

    // A line is Begin, any pieces, End.
    void Begin(const char* kind);
    void Word(const char* text);                            // " text"
    void Hex(uint32_t value, int digits);                   // " 0a"
    void Tagged(const char* tag, uint32_t value, int digits);  // " addr=000100", " @6c"
    void Count(const char* tag, uint64_t count);            // " w=256", left out when 0
    void End();

private:
    void Put(char c);
    void PutHex(uint32_t value, int digits);

    TraceSink sink_ = nullptr;
    void* context_ = nullptr;
    char line_[160] = {};
    size_t length_ = 0;
};

}  // namespace sim
