#include "board_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>

#include "driver/tool_main.h"
#include "platform/sim/sim_platform.h"
#include "sim/board.h"
#include "sim/parts.h"

namespace bench {

namespace {

// Enough for the busiest routine on one 64 KB block (AAI byte programming
// makes about 2.1 million accesses); the log is emptied at every phase change.
constexpr size_t kLogCapacity = size_t{4} << 20;

class PortCounter : public PhaseObserver {
public:
    PortCounter(sim::Board* board, std::vector<sim::PortEvent>* log, BoardRun* run)
        : board_(board), log_(log), run_(run)
    {
        board_->SetPortLog(log_->data(), log_->size());
    }

    void EnterPhase(Phase phase) override
    {
        Flush();
        phase_ = phase;
    }

    void End()
    {
        Flush();
        minimum_.Finish(&run_->phases[static_cast<int>(phase_)]);
    }

private:
    void Flush()
    {
        const size_t n = board_->PortLogLength();
        if (n == log_->size())
            run_->log_overflow = true;
        minimum_.Feed(log_->data(), n, &run_->phases[static_cast<int>(phase_)]);
        board_->SetPortLog(log_->data(), log_->size());
    }

    sim::Board* board_;
    std::vector<sim::PortEvent>* log_;
    BoardRun* run_;
    ProtocolMinimum minimum_;
    Phase phase_ = Phase::kSession;
};

int ReportEarlyEnd(int status)
{
    fprintf(stderr, "kovrin-bench: the run on the virtual board ended early with status %d\n", status);
    return status;
}

BoardRun RunHere(const sim::Config& config, const std::vector<std::string>& args,
                 const std::vector<uint8_t>& flash_in, const std::vector<uint8_t>& expected, bool count_phases)
{
    static sim::Board board;
    static std::vector<sim::PortEvent> log;

    BoardRun run;
    std::vector<uint8_t> flash(size_t{sim::FlashKb(config)} * 1024, 0xFF);
    std::copy(flash_in.begin(), flash_in.begin() + static_cast<long>(std::min(flash_in.size(), flash.size())),
              flash.begin());
    board = sim::Board{};
    board.Init(config, flash.data());
    simplat::Install(&board, false);
    simplat::CaptureConsole(&run.console);
    simplat::SetFinish(ReportEarlyEnd);

    std::unique_ptr<PortCounter> counter;
    if (count_phases) {
        log.resize(kLogCapacity);
        counter = std::make_unique<PortCounter>(&board, &log, &run);
        ObservePhases(counter.get());
    }

    std::vector<std::string> words = {"kovrinux-sim"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    run.status = driver::ToolMain(static_cast<int>(words.size()), argv.data());

    if (counter != nullptr) {
        counter->End();
        ObservePhases(nullptr);
        run.counted = true;
    }
    simplat::CaptureConsole(nullptr);
    simplat::SetFinish(nullptr);

    run.stats = board.stats();
    run.modeled_us = board.NowUs();
    run.flash_matches = true;
    for (size_t a = 0; a < expected.size(); ++a) {
        if (board.FlashByte(static_cast<uint32_t>(a)) != expected[a]) {
            run.flash_matches = false;
            break;
        }
    }
    return run;
}

// A run's result as the child sends it: the fixed part, then what the tool
// printed.
template <typename T>
void Put(std::string* out, const T& value)
{
    static_assert(std::is_trivially_copyable_v<T>);
    out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
bool Take(const std::string& in, size_t* at, T* value)
{
    static_assert(std::is_trivially_copyable_v<T>);
    if (in.size() - *at < sizeof *value)
        return false;
    memcpy(value, in.data() + *at, sizeof *value);
    *at += sizeof *value;
    return true;
}

std::string Pack(const BoardRun& run)
{
    std::string out;
    Put(&out, run.status);
    Put(&out, run.flash_matches);
    Put(&out, run.stats);
    Put(&out, run.modeled_us);
    Put(&out, run.counted);
    Put(&out, run.log_overflow);
    Put(&out, run.phases);
    return out + run.console;
}

bool Unpack(const std::string& in, BoardRun* run)
{
    size_t at = 0;
    if (!Take(in, &at, &run->status) || !Take(in, &at, &run->flash_matches) || !Take(in, &at, &run->stats) ||
        !Take(in, &at, &run->modeled_us) || !Take(in, &at, &run->counted) || !Take(in, &at, &run->log_overflow) ||
        !Take(in, &at, &run->phases))
        return false;
    run->console = in.substr(at);
    return true;
}

}  // namespace

Tally WholeRun(const BoardRun& run)
{
    Tally whole;
    for (const Tally& t : run.phases)
        whole.Add(t);
    return whole;
}

// The tool keeps state of its run in static storage (its run record, for
// one), which a program starts with once: each run gets a process of its
// own, forked from this one, which never runs the tool itself.
BoardRun RunOnBoard(const sim::Config& config, const std::vector<std::string>& args,
                    const std::vector<uint8_t>& flash_in, const std::vector<uint8_t>& expected, bool count_phases)
{
    BoardRun run;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) {
        run.console = "kovrin-bench: no pipe for the run";
        return run;
    }
    fflush(nullptr);  // nothing buffered here may be written twice
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipe_ends[0]);
        const std::string packed = Pack(RunHere(config, args, flash_in, expected, count_phases));
        size_t sent = 0;
        while (sent < packed.size()) {
            const ssize_t n = write(pipe_ends[1], packed.data() + sent, packed.size() - sent);
            if (n <= 0)
                _exit(1);
            sent += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(pipe_ends[1]);
    std::string packed;
    char buffer[1 << 16];
    for (ssize_t n; pid > 0 && (n = read(pipe_ends[0], buffer, sizeof buffer)) > 0;)
        packed.append(buffer, static_cast<size_t>(n));
    close(pipe_ends[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !Unpack(packed, &run)) {
        run = BoardRun{};
        run.console = "kovrin-bench: the run's process did not finish";
    }
    return run;
}

BoardRun RunUpdateOnBoard(const sim::Config& config, const std::string& image_path,
                          const std::vector<uint8_t>& image, bool count_phases)
{
    return RunOnBoard(config, {image_path, std::to_string(image.size() / 1024)}, {}, image, count_phases);
}

}  // namespace bench
