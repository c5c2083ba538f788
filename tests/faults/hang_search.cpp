#include "hang_search.h"

#include <sstream>

namespace faults {

ByteCost LineCost(const std::string& line)
{
    std::istringstream in(line);
    std::string device, code;
    in >> device >> code;
    if (device == "ec") {
        // The command, then its data bytes: 0x80 one address byte, 0x92 two.
        const uint64_t n = code == "80" ? 2 : code == "92" ? 3 : 1;
        return {n, n};
    }
    if (device != "spi")
        return {0, 0};
    // 0x01, then 0x02 with the opcode; 0x03 before each byte sent; 0x04 for
    // each byte read; maybe 0x05 at the end.
    uint64_t n = 3;
    for (std::string field; in >> field;) {
        const size_t eq = field.find('=');
        const std::string key = field.substr(0, eq);
        if (key == "addr")
            n += 2 * 3;
        else if (key == "w")
            n += 2 * std::stoull(field.substr(eq + 1));
        else if (key == "r")
            n += std::stoull(field.substr(eq + 1));
    }
    return {n, n + 1};
}

HangSearch::HangSearch(const Outcome& good, std::function<Outcome(uint64_t)> run)
    : good_(good), run_(std::move(run))
{
    for (const std::string& line : good.trace)
        costs_.push_back(LineCost(line));
}

uint64_t HangSearch::Low(size_t from, size_t to) const
{
    uint64_t n = 0;
    for (size_t i = from; i < to; ++i)
        n += costs_[i].low;
    return n;
}

uint64_t HangSearch::High(size_t from, size_t to) const
{
    uint64_t n = 0;
    for (size_t i = from; i < to; ++i)
        n += costs_[i].high;
    return n;
}

size_t HangSearch::HungLine(const Outcome& o) const
{
    return FirstDrop(o.trace);
}

Outcome HangSearch::At(uint64_t n)
{
    ++runs_;
    return run_(n);
}

// The run at n hangs in the first line its trace lacks, k: byte n+1 is in
// line k, or is the first byte of line k+1 when line k ended without 0x05
// (such a line is traced only when the next one begins). The search looks
// for the smallest n with k >= line: the EC then took at most the first
// byte (0x01) of that line's transaction.
HangSearch::Found HangSearch::StartOf(size_t line)
{
    const size_t size = good_.trace.size();
    uint64_t low = Low(0, line);
    uint64_t high = High(0, line) + 1;
    Outcome at_high;
    uint64_t have = UINT64_MAX;
    while (low < high) {
        const uint64_t n = low + (high - low) / 2;
        Outcome o = At(n);
        const size_t k = HungLine(o);
        if (k < line) {
            // Lines up to k-1 took at most n bytes, lines from k+1 on are
            // still to come.
            low = std::max({low, n + 1, n + Low(k + 1, line)});
            high = std::min(high, n + High(k, line) + 1);
        } else {
            high = n;
            have = n;
            at_high = std::move(o);
            if (k < size && n > High(line, k + 1))
                low = std::max(low, n - High(line, k + 1));
        }
    }
    if (have != high)
        at_high = At(high);
    return {high, std::move(at_high)};
}

std::vector<Phase> UpdatePhases(const std::vector<std::string>& trace)
{
    auto find = [&](size_t from, auto&& holds) {
        for (size_t i = from; i < trace.size(); ++i)
            if (holds(trace[i]))
                return i;
        return trace.size();
    };
    auto is = [](std::initializer_list<const char*> heads) {
        return [heads](const std::string& line) {
            for (const char* head : heads)
                if (StartsWith(line, head))
                    return true;
            return false;
        };
    };
    std::vector<Phase> phases;
    auto add = [&](const char* name, size_t line) {
        if (line < trace.size())
            phases.push_back({name, line});
        return line;
    };
    if (!trace.empty() && StartsWith(trace[0], "ec 80"))
        add("project name reads", 0);
    add("command 0xdd", find(0, is({"ec dd"})));
    const size_t dc = add("command 0xdc", find(0, is({"ec dc"})));
    add("identification", find(dc, is({"spi "})));
    const size_t erase = find(dc, is({"spi 20 ", "spi d7 ", "spi d8 "}));
    size_t last_id = dc;
    for (size_t i = dc; i < erase; ++i)
        if (is({"spi 9f", "spi ab"})(trace[i]))
            last_id = i;
    add("unlock", last_id + 1);
    add("erase", erase);
    const size_t check = add("erase check", find(erase, is({"spi 0b "})));
    const size_t program = add("programming", find(check, is({"spi 02 ", "spi ad ", "spi af "})));
    add("verify", find(program, is({"spi 0b "})));
    add("closing command", find(program, is({"ec fe", "ec fc"})));
    return phases;
}

std::vector<Phase> EveryTransaction(const std::vector<std::string>& trace)
{
    std::vector<Phase> phases;
    for (size_t i = 0; i < trace.size(); ++i)
        if (!StartsWith(trace[i], "kbc "))
            phases.push_back({trace[i], i});
    return phases;
}

}  // namespace faults
