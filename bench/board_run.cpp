#include "board_run.h"

#include <cstdio>
#include <memory>

#include "common/image_state.h"
#include "common/runstate.h"
#include "driver/tool_main.h"
#include "flash/program.h"
#include "hostio/sio.h"
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
    fprintf(stderr, "kovrin-bench: the update on the virtual board ended early with status %d\n", status);
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

BoardRun RunUpdateOnBoard(const sim::Config& config, const std::string& image_path,
                          const std::vector<uint8_t>& image, bool count_phases)
{
    static sim::Board board;
    static std::vector<sim::PortEvent> log;

    BoardRun run;
    std::vector<uint8_t> flash(size_t{sim::FlashKb(config)} * 1024, 0xFF);
    board = sim::Board{};
    board.Init(config, flash.data());
    simplat::Install(&board, false);
    simplat::CaptureConsole(&run.console);
    simplat::SetFinish(ReportEarlyEnd);
    ResetRunState();
    ResetImageState();
    ResetSioState();
    ResetFlashState();

    std::unique_ptr<PortCounter> counter;
    if (count_phases) {
        log.resize(kLogCapacity);
        counter = std::make_unique<PortCounter>(&board, &log, &run);
        ObservePhases(counter.get());
    }

    std::string program = "kovrinux-sim";
    std::string path = image_path;
    std::string kb = std::to_string(image.size() / 1024);
    char* argv[] = {program.data(), path.data(), kb.data(), nullptr};
    run.status = ToolMain(3, argv);

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
    for (size_t a = 0; a < image.size(); ++a) {
        if (board.FlashByte(static_cast<uint32_t>(a)) != image[a]) {
            run.flash_matches = false;
            break;
        }
    }
    return run;
}

}  // namespace bench
