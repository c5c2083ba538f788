// Where to hang the EC so that it stops at a given point of a run: the
// --hang N whose EC refuses the first byte of a given transaction of the
// fault-free run's trace.
//
// The bytes a transaction costs on the mailbox follow from its trace line
// (command and sub-command bytes, two per byte sent to the flash, one per
// byte read), except whether it ended with sub-command 0x05; so each line
// gives a low and a high bound. Each try of an N shows where that run
// really hung, which narrows the bounds until they meet.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fault_run.h"

namespace faults {

struct ByteCost {
    uint64_t low;
    uint64_t high;
};

// Mailbox bytes of one trace line ("kbc" lines cost none).
ByteCost LineCost(const std::string& line);

class HangSearch {
public:
    // good: the fault-free run; run(n): the same run with --hang n.
    HangSearch(const Outcome& good, std::function<Outcome(uint64_t)> run);

    struct Found {
        uint64_t n;       // --hang value
        Outcome outcome;  // its run
    };
    // The smallest N whose run hangs in trace line `line` (not a "kbc"
    // line): the EC took at most the first byte (0x01) of that transaction
    // and the lines before it whole.
    Found StartOf(size_t line);
    // A run hung at the given N.
    Outcome At(uint64_t n);

    int runs() const { return runs_; }

private:
    // Trace line the run at n hung in (the trace's size if it did not hang).
    size_t HungLine(const Outcome& o) const;
    uint64_t Low(size_t from, size_t to) const;   // bytes of lines [from, to), at least
    uint64_t High(size_t from, size_t to) const;  // at most

    const Outcome& good_;
    std::function<Outcome(uint64_t)> run_;
    std::vector<ByteCost> costs_;
    int runs_ = 0;
};

// A stretch of a fault-free run: its name and first trace line.
struct Phase {
    std::string name;
    size_t line;
};

// The phases of an update by their first transactions: the project-name
// reads (if any), 0xDD, 0xDC, identification, unlock, erase, erase check,
// programming, verify (of the first block) and the closing command.
std::vector<Phase> UpdatePhases(const std::vector<std::string>& trace);
// Every transaction of a run (each non-"kbc" line), named by its line.
std::vector<Phase> EveryTransaction(const std::vector<std::string>& trace);

}  // namespace faults
