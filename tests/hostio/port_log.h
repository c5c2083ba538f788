// The port log of the virtual board as short text: "r6c" for a read,
// "w6c=92" for a write, separated by blanks.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "sim/board.h"

namespace hostio_test {

inline std::string Render(const std::vector<sim::PortEvent>& events)
{
    std::string text;
    char piece[16];
    for (const sim::PortEvent& e : events) {
        if (e.write)
            snprintf(piece, sizeof piece, "w%02x=%02x", e.port, e.value);
        else
            snprintf(piece, sizeof piece, "r%02x", e.port);
        if (!text.empty())
            text += ' ';
        text += piece;
    }
    return text;
}

}  // namespace hostio_test
