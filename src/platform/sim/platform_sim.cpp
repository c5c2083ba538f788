#include "sim_platform.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <cerrno>

#include "common/flavour.h"
#include "platform/platform.h"

namespace {

sim::Board* gBoard;
bool gRealTime;
std::string* gCapture;
int (*gFinish)(int status);

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

sim::Board* InstalledBoard()
{
    return gBoard;
}

void CaptureConsole(std::string* out)
{
    gCapture = out;
}

void SetFinish(int (*finish)(int status))
{
    gFinish = finish;
}

}  // namespace simplat

uint8_t IoRead8(uint16_t port)
{
    return gBoard->Read(static_cast<uint8_t>(port));
}

void IoWrite8(uint16_t port, uint32_t value)
{
    gBoard->Write(static_cast<uint8_t>(port), static_cast<uint8_t>(value));
}

void delay(int32_t n)
{
    if (n <= 0)
        return;
    const uint64_t us = static_cast<uint64_t>(n) * kFlavour.delay_unit_us;
    gBoard->Pause(us);
    if (gRealTime)
        SleepUs(us);
}

// The UEFI console is drawn on a terminal with ANSI sequences; the Linux
// console has no screen to manage.
void clrscr()
{
    if (kFlavour.real_screen)
        Emit("\x1b[2J\x1b[H");
}

void gotoxy(int x, int y)
{
    if (!kFlavour.real_screen)
        return;
    char text[32];
    snprintf(text, sizeof text, "\x1b[%d;%dH", y + 1, x + 1);
    Emit(text);
}

namespace platform {

int OpenWindow()
{
    return 0;
}

void CloseWindow() {}

void ConsoleWrite(const char* text, size_t length)
{
    if (gCapture != nullptr)
        gCapture->append(text, length);
    else
        fwrite(text, 1, length, stdout);
}

void ConsoleAttribute(uint8_t attribute)
{
    if (!kFlavour.real_screen)
        return;
    if (attribute == 0x0C)
        Emit("\x1b[91m");
    else if (attribute == 0x0A)
        Emit("\x1b[92m");
}

uint64_t NowUs()
{
    return gBoard->NowUs();
}

void Exit(int status)
{
    fflush(stdout);
    if (gFinish != nullptr)
        status = gFinish(status);
    std::exit(status);
}

}  // namespace platform
