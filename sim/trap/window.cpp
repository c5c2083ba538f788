// /dev/mem without a device: the open gives a stand-in descriptor, the
// mapping of the LPC window is a page that faults on every access, and the
// fault handler performs each byte access on the board, then steps past it.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "decode.h"
#include "trap.h"

#define INTERPOSED extern "C" __attribute__((visibility("default")))

namespace {

constexpr const char* kDevice = "/dev/mem";
constexpr off_t kWindowBase = 0x20000000;
constexpr uint64_t kWindowSize = 256;

int gDevice = -1;             // the stand-in descriptor for /dev/mem
uint64_t gWindow;             // where the window is mapped, 0 when it is not
uint64_t gMappedLength;       // the whole faulting range (pages)

template <typename Function>
Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

[[noreturn]] void Refuse(uint32_t word, uint64_t pc, uint64_t address, const char* why)
{
    Dl_info where{};
    char place[160] = "";
    if (dladdr(reinterpret_cast<void*>(pc), &where) != 0 && where.dli_fname != nullptr) {
        const char* slash = strrchr(where.dli_fname, '/');
        snprintf(place, sizeof place, " (%s+0x%lx)", slash != nullptr ? slash + 1 : where.dli_fname,
                 static_cast<unsigned long>(pc - reinterpret_cast<uint64_t>(where.dli_fbase)));
    }
    char text[400];
    snprintf(text, sizeof text,
             "cannot emulate instruction 0x%08x at 0x%lx%s, data address 0x%lx (window byte 0x%lx): %s",
             word, static_cast<unsigned long>(pc), place, static_cast<unsigned long>(address),
             static_cast<unsigned long>(address - gWindow), why);
    trap::Stop(text);
}

void OnFault(int, siginfo_t* info, void* context)
{
    const uint64_t fault = reinterpret_cast<uint64_t>(info->si_addr);
    if (gWindow == 0 || fault < gWindow || fault - gWindow >= gMappedLength) {
        // Not the window: the program crashes as it would have without us.
        signal(SIGSEGV, SIG_DFL);
        return;
    }
    mcontext_t& cpu = static_cast<ucontext_t*>(context)->uc_mcontext;
    const uint32_t word = *reinterpret_cast<const uint32_t*>(cpu.pc);
    const trap::Decoded decoded = trap::Decode(word);
    if (!decoded.ok)
        Refuse(word, cpu.pc, fault, decoded.refusal);
    const trap::ByteAccess& access = decoded.access;
    uint64_t regs[31];
    memcpy(regs, cpu.regs, sizeof regs);
    const uint64_t address = trap::EffectiveAddress(access, regs, cpu.sp);
    if (address != fault)
        Refuse(word, cpu.pc, fault, "the decoded address is not the faulting one");
    if (address - gWindow >= kWindowSize)
        Refuse(word, cpu.pc, fault, "outside the 256-byte window");

    const auto port = static_cast<uint8_t>(address - gWindow);
    if (access.load) {
        const uint8_t value = trap::TheBoard().Read(port);
        if (access.rt != 31)
            cpu.regs[access.rt] = value;  // a W register: the upper bits clear
    } else {
        trap::TheBoard().Write(port, access.rt != 31 ? static_cast<uint8_t>(cpu.regs[access.rt]) : 0);
    }
    cpu.pc += 4;
    trap::AfterAccess();
}

int OpenDevice(int flags)
{
    // Nothing is read or written through the descriptor; it only has to be
    // real, so close() and the access mode behave.
    static auto next = Next<int (*)(const char*, int, ...)>("open");
    const int fd = next("/dev/null", (flags & O_ACCMODE) | O_CLOEXEC);
    if (fd >= 0)
        gDevice = fd;
    return fd;
}

void* MapWindow(void* hint, size_t length, int prot, int flags, int fd, off_t offset)
{
    static auto next = Next<void* (*)(void*, size_t, int, int, int, off_t)>("mmap");
    if (fd < 0 || fd != gDevice)
        return next(hint, length, prot, flags, fd, offset);
    if (offset != kWindowBase) {
        char text[120];
        snprintf(text, sizeof text, "%s mapped at physical 0x%lx: the LPC window is at 0x%lx", kDevice,
                 static_cast<unsigned long>(offset), static_cast<unsigned long>(kWindowBase));
        trap::Stop(text);
    }
    if ((prot & PROT_WRITE) != 0 && (fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDONLY) {
        errno = EACCES;
        return MAP_FAILED;
    }
    void* window = next(hint, length, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | (flags & MAP_FIXED), -1, 0);
    if (window == MAP_FAILED)
        return window;
    struct sigaction action{};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, nullptr);
    const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    gWindow = reinterpret_cast<uint64_t>(window);
    gMappedLength = (length + page - 1) / page * page;
    return window;
}

int OpenFile(int dirfd, const char* path, int flags, va_list rest)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE)
        mode = va_arg(rest, mode_t);
    if (path != nullptr && strcmp(path, kDevice) == 0)
        return OpenDevice(flags);
    static auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    return next(dirfd, path, flags, mode);
}

}  // namespace

INTERPOSED int open(const char* path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const int fd = OpenFile(AT_FDCWD, path, flags, rest);
    va_end(rest);
    return fd;
}

INTERPOSED int open64(const char* path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const int fd = OpenFile(AT_FDCWD, path, flags, rest);
    va_end(rest);
    return fd;
}

INTERPOSED int openat(int dirfd, const char* path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const int fd = OpenFile(dirfd, path, flags, rest);
    va_end(rest);
    return fd;
}

INTERPOSED void* mmap(void* hint, size_t length, int prot, int flags, int fd, off_t offset)
{
    return MapWindow(hint, length, prot, flags, fd, offset);
}

INTERPOSED void* mmap64(void* hint, size_t length, int prot, int flags, int fd, off_t offset)
{
    return MapWindow(hint, length, prot, flags, fd, offset);
}

INTERPOSED int munmap(void* address, size_t length)
{
    static auto next = Next<int (*)(void*, size_t)>("munmap");
    if (reinterpret_cast<uint64_t>(address) == gWindow)
        gWindow = 0;
    return next(address, length);
}

INTERPOSED int close(int fd)
{
    static auto next = Next<int (*)(int)>("close");
    if (fd >= 0 && fd == gDevice)
        gDevice = -1;
    return next(fd);
}
