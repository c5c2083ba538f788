// The results as Markdown: printed by the benchmark and written to
// docs/performance.md.
#pragma once

#include <string>

#include "results.h"

namespace bench {

struct Targets {
    bool ratio = false;
    bool wall = false;
    bool memory = false;
    bool differential = false;  // every /D run within its share of the default update's time
    bool All() const { return ratio && wall && memory && differential; }
};

Targets CheckTargets(const Results& results);

std::string Report(const Results& results, const Targets& targets);

}  // namespace bench
