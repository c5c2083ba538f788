// The board's transaction trace: one line per event, fields separated by
// one blank, numbers in lower-case hex except counts. Nothing is formatted
// unless a sink is set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text.h"

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
    // With a clock every line begins with the board time in us (--trace-time).
    void SetClock(const uint64_t* clock) { clock_ = clock; }
    bool enabled() const { return sink_ != nullptr; }

    // A line is Begin, any pieces, End.
    void Begin(const char* kind);
    void Word(const char* text);                            // " text"
    void Hex(uint32_t value, int digits);                   // " 0a"
    void Tagged(const char* tag, uint32_t value, int digits);  // " addr=000100", " @6c"
    void Count(const char* tag, uint64_t count);            // " w=256", left out when 0
    void End();

private:
    TraceSink sink_ = nullptr;
    void* context_ = nullptr;
    const uint64_t* clock_ = nullptr;
    Text<160> text_;
};

}  // namespace sim
