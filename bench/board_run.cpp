#include "board_run.h"

#include <algorithm>
#include <cstdio>
#include <memory>

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

}  // namespace

Tally WholeRun(const BoardRun& run)
{
    Tally whole;
    for (const Tally& t : run.phases)
        whole.Add(t);
    return whole;
}

BoardRun RunOnBoard(const sim::Config& config, const std::vector<std::string>& args,
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

BoardRun RunUpdateOnBoard(const sim::Config& config, const std::string& image_path,
                          const std::vector<uint8_t>& image, bool count_phases)
{
    return RunOnBoard(config, {image_path, std::to_string(image.size() / 1024)}, {}, image, count_phases);
}

}  // namespace bench
