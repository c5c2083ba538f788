// The run record's append on a hosted system: whole cases, and two runs
// appending to one file at once.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>

#include "platform/platform.h"
#include "support/run_tool.h"

namespace {

// Root writes through any mode; without this capability the modes count,
// as they do for everyone else.
class WithoutDacOverride {
public:
    WithoutDacOverride()
    {
        syscall(SYS_capget, &header_, before_);
        __user_cap_data_struct without[2] = {before_[0], before_[1]};
        without[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &header_, without);
    }
    ~WithoutDacOverride() { syscall(SYS_capset, &header_, before_); }
    WithoutDacOverride(const WithoutDacOverride&) = delete;
    WithoutDacOverride& operator=(const WithoutDacOverride&) = delete;

private:
    __user_cap_header_struct header_ = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct before_[2] = {};
};

std::string Text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

bool Append(const std::string& name, const std::string& line)
{
    return platform::AppendRecord(name.c_str(), line.data(), line.size());
}

TEST(AppendRecord, WholeCases)
{
    const std::string kLine = "{\"program\":\"kovrinux\"}\n";
    const mode_t mask = umask(0);
    umask(mask);
    const struct {
        const char* what;
        const char* name;    // in the test's directory, or absolute
        const char* before;  // the file's content, or null: no such file
        mode_t mode;
        bool appended;
    } kCases[] = {
        {"a new file gets the line", "record.log", nullptr, 0, true},
        {"an existing file keeps its lines", "record.log", "{\"n\":1}\n{\"n\":2}\n", 0600, true},
        {"a missing directory", "missing/record.log", nullptr, 0, false},
        {"a read-only file", "record.log", "{\"n\":1}\n", 0444, false},
        {"a full disk", "/dev/full", nullptr, 0, false},
        {"a device with nothing to sync", "/dev/null", nullptr, 0, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        const std::string name = c.name[0] == '/' ? c.name : dir.File(c.name);
        if (c.before != nullptr) {
            dir.Write(c.name, c.before);
            ASSERT_EQ(chmod(name.c_str(), c.mode), 0);
        }
        {
            WithoutDacOverride modes_count;
            EXPECT_EQ(Append(name, kLine), c.appended);
        }
        if (c.name[0] == '/')
            continue;
        // A file that was there keeps its mode; a new one gets 0644.
        struct stat st {};
        const bool exists = c.before != nullptr || c.appended;
        ASSERT_EQ(stat(name.c_str(), &st) == 0, exists);
        if (!exists)
            continue;
        EXPECT_EQ(Text(dir.Read(c.name)), (c.before != nullptr ? c.before : "") + std::string(c.appended ? kLine : ""));
        EXPECT_EQ(st.st_mode & 07777, c.before != nullptr ? c.mode : 0644 & ~mask);
    }
}

// Lines of many lengths, some longer than a page, from two processes at
// once: each comes out whole, exactly once.
TEST(AppendRecord, TwoRunsAtOnceNeverMixTheirLines)
{
    constexpr int kLines = 200;
    testsupport::TempDir dir;
    const std::string name = dir.File("record.log");
    const auto line = [](char tag, int index) {
        return std::string(1, tag) + " " + std::to_string(index) + " " + std::string(index * 61 % 9000, tag) + "\n";
    };
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            int failed = 0;
            for (int i = 0; i < kLines; ++i)
                failed += Append(name, line(static_cast<char>('A' + child), i)) ? 0 : 1;
            _exit(failed == 0 ? 0 : 1);
        }
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    std::map<std::string, int> seen;
    for (const std::string& text : testsupport::Lines(dir.Read("record.log")))
        ++seen[text + "\n"];
    EXPECT_EQ(seen.size(), 2u * kLines);
    for (char tag : {'A', 'B'}) {
        for (int i = 0; i < kLines; ++i)
            EXPECT_EQ(seen[line(tag, i)], 1) << tag << " " << i;
    }
}

}  // namespace
