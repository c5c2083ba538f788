#include "sim_platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/program.h"
#include "platform/hosted/hosted.h"
#include "platform/platform.h"

namespace {

sim::Board* gBoard;
bool gRealTime;
std::string* gCapture;
int (*gFinish)(int status);
void (*gPhaseObserver)(uint8_t phase);
int gSignal;
uint64_t gSignalAfter;

void MaybeRaise()
{
    if (gSignal == 0)
        return;
    const sim::Stats& s = gBoard->stats();
    if (s.port_reads + s.port_writes < gSignalAfter)
        return;
    const int signo = gSignal;
    gSignal = 0;
    raise(signo);
}

void SleepUs(uint64_t us)
{
    timespec left{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void Emit(const char* text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    platform::ConsoleWrite(text, n);
}

}  // namespace

namespace simplat {

void Install(sim::Board* board, bool real_time)
{
    gBoard = board;
    gRealTime = real_time;
}

void CaptureConsole(std::string* out)
{
    gCapture = out;
}

void SetFinish(int (*finish)(int status))
{
    gFinish = finish;
}

void RaiseAfter(int signo, uint64_t accesses)
{
    gSignal = accesses != 0 ? signo : 0;
    gSignalAfter = accesses;
}

void ObservePhases(void (*observer)(uint8_t phase))
{
    gPhaseObserver = observer;
}

}  // namespace simplat

namespace platform {

uint8_t IoRead8(uint16_t port)
{
    const uint8_t value = gBoard->Read(static_cast<uint8_t>(port));
    MaybeRaise();
    return value;
}

void IoWrite8(uint16_t port, uint8_t value)
{
    gBoard->Write(static_cast<uint8_t>(port), value);
    MaybeRaise();
}

void DelayUs(uint32_t us)
{
    if (us == 0)
        return;
    gBoard->Pause(us);
    if (gRealTime)
        SleepUs(us);
}

// The UEFI console is drawn on a terminal with ANSI sequences; the Linux
// console has no screen to manage.
void ClearScreen()
{
    if (kProgram.real_screen)
        Emit("\x1b[2J\x1b[H");
}

void GotoXy(int column, int row)
{
    if (!kProgram.real_screen)
        return;
    char text[32];
    snprintf(text, sizeof text, "\x1b[%d;%dH", row + 1, column + 1);
    Emit(text);
}

int OpenWindow()
{
    return 0;
}

void CloseWindow() {}

void ConsoleWrite(const char* text, size_t length)
{
    if (gCapture != nullptr) {
        gCapture->append(text, length);
        return;
    }
    // As the Linux program: whatever was printed is out before the next step.
    fwrite(text, 1, length, stdout);
    fflush(stdout);
}

void ConsoleColour(Colour colour)
{
    if (!kProgram.real_screen)
        return;
    Emit(colour == Colour::kLightRed ? "\x1b[91m" : "\x1b[92m");
}

uint64_t NowUs()
{
    return gBoard->NowUs();
}

void NotePhase(uint8_t phase)
{
    if (gPhaseObserver != nullptr)
        gPhaseObserver(phase);
}

void Exit(int status)
{
    hosted::ReleaseAll();
    fflush(stdout);
    if (gFinish != nullptr)
        status = gFinish(status);
    std::exit(status);
}

}  // namespace platform
