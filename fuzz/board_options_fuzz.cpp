// The virtual board's own option parser on any command line. Its refusals
// go to standard error, its help to standard output; both are muted around
// the call.
// Besides the sanitizers' findings, an accepted command line that leaves
// the board's settings out of their documented ranges is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "fuzz_input.h"
#include "sim/host.h"
#include "sim/parts.h"

namespace {

// A stream to /dev/null while alive; findings still reach the terminal
// after it.
template <int kFd>
class Quiet {
public:
    Quiet()
    {
        fflush(kFd == 1 ? stdout : stderr);
        saved_ = dup(kFd);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, kFd);
        close(null);
    }
    ~Quiet()
    {
        fflush(kFd == 1 ? stdout : stderr);
        dup2(saved_, kFd);
        close(saved_);
    }

private:
    int saved_;
};
using QuietStderr = Quiet<2>;
using QuietStdout = Quiet<1>;  // --help and --version

bool NullOrArgument(const fuzz::Argv& args, const char* p)
{
    return p == nullptr || args.Holds(p);
}

void CheckAccepted(const fuzz::Argv& args, const sim::Config& config, int tool_first)
{
    using fuzz::Require;
    Require(tool_first >= 1 && tool_first <= args.argc(), "tool arguments start outside argv");
    const uint32_t kb = sim::FlashKb(config);
    Require(sim::FindMember(sim::PartInfoOf(config.flash), kb) != nullptr, "a size the part does not come in");
    Require(kb >= 64 && kb <= 16384 && (kb & (kb - 1)) == 0, "flash size not a power of two from 64 to 16384 KB");
    Require(config.stuck_count <= sim::Config::kMaxStuck, "too many stuck bytes");
    for (size_t s = 0; s < config.stuck_count; ++s)
        Require(config.stuck[s].address < kb * 1024u, "a stuck byte outside the flash");
    Require(NullOrArgument(args, config.flash_in) && NullOrArgument(args, config.flash_out) &&
                NullOrArgument(args, config.trace) && NullOrArgument(args, config.stats),
            "a file name that is no argument");
    for (const char* name : {config.flash_in, config.flash_out, config.trace, config.stats})
        Require(name == nullptr || *name != '\0', "an empty file name accepted");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Argv args(std::vector<uint8_t>(data, data + size));
    sim::Config config;
    int tool_first = -1;
    sim::BoardStart start = sim::BoardStart::kRefused;
    {
        QuietStderr quiet;
        QuietStdout quiet_help;
        start = sim::ParseBoardOptions(args.argc(), args.argv(), &config, &tool_first);
    }
    for (int i = 0; i < args.argc(); ++i)
        fuzz::Require(args.Unchanged(i), "the parser changed an argument");
    if (start == sim::BoardStart::kRun)
        CheckAccepted(args, config, tool_first);
    return 0;
}
