// Runs a program as a child process and measures it: wall time, CPU time
// and peak resident memory, as the kernel accounts them for that child.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct ChildRun {
    int status = -1;       // exit status, or 128 + signal
    double wall_s = 0;
    double cpu_s = 0;      // user + system
    long max_rss_kb = 0;
};

// argv[0] is the program's path. Standard output is discarded.
ChildRun RunChild(const std::vector<std::string>& argv);

}  // namespace bench
