#include "run_tool.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace testsupport {

// KOVRIN_BIN_DIR in the environment points the whole runs at another build
// of the programs (the AArch64 one); KOVRIN_RUN_PREFIX, words separated by
// blanks, is put before each program from there (e.g. "qemu-aarch64 -L
// /usr/aarch64-linux-gnu"), so the same tests run the programs that ship.
static std::string BinDir()
{
    const char* dir = getenv("KOVRIN_BIN_DIR");
    return dir != nullptr && *dir != '\0' ? dir : KOVRIN_BIN_DIR;
}

static std::vector<std::string> RunPrefix(const std::string& program)
{
    std::vector<std::string> words;
    const char* prefix = getenv("KOVRIN_RUN_PREFIX");
    if (prefix == nullptr || program.rfind(BinDir() + "/", 0) != 0)
        return words;
    std::istringstream in(prefix);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string BinPath(const std::string& name)
{
    return BinDir() + "/" + name;
}

std::string CommandWords(const std::string& name)
{
    std::string words;
    for (const std::string& word : RunPrefix(BinPath(name)))
        words += word + " ";
    return words + BinPath(name);
}

RunResult Run(const std::string& program, const std::vector<std::string>& args)
{
    int out_pipe[2];
    int err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0)
        throw std::runtime_error("pipe");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);

    const std::vector<std::string> prefix = RunPrefix(program);
    std::vector<char*> argv;
    for (const std::string& word : prefix)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int rc = prefix.empty()
        ? posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
        : posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (rc != 0) {
        close(out_pipe[0]);
        close(err_pipe[0]);
        throw std::runtime_error("cannot start " + program);
    }

    RunResult result{{}, {}, -1};
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_count = 2;
    while (open_count > 0) {
        if (poll(fds, 2, -1) < 0)
            continue;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0)
                continue;
            char buf[65536];
            const ssize_t n = read(fds[k].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[k]->append(buf, static_cast<size_t>(n));
            } else {
                close(fds[k].fd);
                fds[k].fd = -1;
                --open_count;
            }
        }
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return result;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kovrin-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    const std::string path = File(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const
{
    return Write(name, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> TempDir::Read(const std::string& name) const
{
    return ReadFile(File(name));
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::vector<uint8_t>& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    return lines;
}

std::vector<std::string> TraceLines(const std::vector<uint8_t>& text, const std::string& program)
{
    const std::string own = program == "kovrin-sim" ? " @66" : " @6c";
    std::vector<std::string> lines = Lines(text);
    for (std::string& line : lines) {
        if (line.rfind("spi ", 0) == 0 && line.size() > own.size() &&
            line.compare(line.size() - own.size(), own.size(), own) == 0)
            line.resize(line.size() - own.size());
    }
    return lines;
}

std::vector<std::string> FlashMisuse(const std::vector<std::string>& trace)
{
    std::vector<std::string> misuse;
    for (const std::string& line : trace) {
        const bool spi = line.rfind("spi ", 0) == 0;
        const bool aai_tail = line.rfind("spi ad ignored length", 0) == 0 || line.rfind("spi af ignored length", 0) == 0;
        // Asking a part of unknown size for its SFDP tables is sound even
        // where it has none.
        const bool sfdp_probe = line.rfind("spi 5a ", 0) == 0 && line.find(" ignored unsupported") != std::string::npos;
        const bool other_pair = spi && line.find(" @") != std::string::npos;  // TraceLines took the own pair off
        if ((line.find(" ignored ") != std::string::npos && !aai_tail && !sfdp_probe) || other_pair ||
            line.rfind("unselected ", 0) == 0)
            misuse.push_back(line);
    }
    return misuse;
}

size_t FlashBytesOf(const std::vector<std::string>& board)
{
    size_t kb = 0;
    std::string part = "winbond";
    for (size_t i = 0; i + 1 < board.size(); ++i) {
        if (board[i] == "--flash-size")
            kb = std::stoul(board[i + 1]);
        if (board[i] == "--flash")
            part = board[i + 1];
    }
    if (kb == 0)
        kb = part == "mxic-pp32" ? 64 : part == "sst-old" ? 128 : 256;
    return kb * 1024;
}

long long Stat(const std::string& json, const std::string& key)
{
    const std::string quoted = "\"" + key + "\":";
    const size_t at = json.find(quoted);
    if (at == std::string::npos)
        return -1;
    return std::stoll(json.substr(at + quoted.size()));
}

}  // namespace testsupport
