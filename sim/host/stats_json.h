// The board's counters and its modeled time as one JSON object.
#pragma once

#include <string>

#include "sim/board.h"

namespace sim::host {

std::string StatsJson(const Board& board);

}  // namespace sim::host
