// "/L <file>": every way a run ends appends one whole JSON line with the
// right result and status, and hashes that sha256sum agrees with.
#include <map>

#include "update_support.h"

namespace {

using updatetest::Image;
using updatetest::Outcome;

// Reads one JSON value into its leaves, "a.b" and "a.0" for members and
// items: strings quoted (escapes undone), numbers and literals as written.
class JsonLeaves {
public:
    explicit JsonLeaves(const std::string& text) : s_(text)
    {
        ok_ = Value("") && (Blank(), at_ == s_.size());
    }
    bool ok() const { return ok_; }
    std::string operator[](const std::string& key) const
    {
        const auto it = leaves_.find(key);
        return it == leaves_.end() ? "<missing>" : it->second;
    }
    const std::map<std::string, std::string>& leaves() const { return leaves_; }

private:
    void Blank()
    {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t'))
            ++at_;
    }
    bool Take(char c)
    {
        Blank();
        if (at_ >= s_.size() || s_[at_] != c)
            return false;
        ++at_;
        return true;
    }
    bool String(std::string* out)
    {
        if (!Take('"'))
            return false;
        while (at_ < s_.size() && s_[at_] != '"') {
            char c = s_[at_++];
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c == '\\') {
                if (at_ >= s_.size())
                    return false;
                c = s_[at_++];
                const std::string simple = "\"\\/bfnrt";
                const std::string meant = "\"\\/\b\f\n\r\t";
                if (c == 'u') {
                    if (at_ + 4 > s_.size() || s_.substr(at_, 4).find_first_not_of("0123456789abcdefABCDEF") !=
                                                   std::string::npos)
                        return false;
                    c = static_cast<char>(std::stoi(s_.substr(at_, 4), nullptr, 16) & 0x7F);
                    at_ += 4;
                } else if (simple.find(c) != std::string::npos) {
                    c = meant[simple.find(c)];
                } else {
                    return false;
                }
            }
            *out += c;
        }
        return Take('"');
    }
    bool Value(const std::string& path)
    {
        Blank();
        if (at_ >= s_.size())
            return false;
        const char c = s_[at_];
        if (c == '{' || c == '[') {
            ++at_;
            leaves_[path] = c == '{' ? "{}" : "[]";
            if (Take(c == '{' ? '}' : ']'))
                return true;
            for (int i = 0;; ++i) {
                std::string key = std::to_string(i);
                if (c == '{' && (!(key.clear(), String(&key)) || !Take(':')))
                    return false;
                if (!Value(path.empty() ? key : path + "." + key))
                    return false;
                if (Take(c == '{' ? '}' : ']'))
                    return true;
                if (!Take(','))
                    return false;
            }
        }
        if (c == '"') {
            std::string text;
            if (!String(&text))
                return false;
            leaves_[path] = "\"" + text + "\"";
            return true;
        }
        for (const char* literal : {"true", "false", "null"}) {
            if (s_.compare(at_, strlen(literal), literal) == 0) {
                leaves_[path] = literal;
                at_ += strlen(literal);
                return true;
            }
        }
        // A number: what the record holds are unsigned integers.
        const size_t end = s_.find_first_not_of("0123456789", at_);
        const size_t length = (end == std::string::npos ? s_.size() : end) - at_;
        if (length == 0 || (length > 1 && s_[at_] == '0'))
            return false;
        leaves_[path] = s_.substr(at_, length);
        at_ += length;
        return true;
    }

    std::string s_;
    size_t at_ = 0;
    bool ok_ = false;
    std::map<std::string, std::string> leaves_;
};

// text has the shape: 'd' a digit, anything else itself.
bool Shaped(const std::string& text, const std::string& shape)
{
    if (text.size() != shape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (shape[i] == 'd' ? !isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
            return false;
    }
    return true;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Sha256(const testsupport::TempDir& dir, const std::vector<uint8_t>& bytes)
{
    const testsupport::RunResult r = testsupport::Run("/usr/bin/env", {"sha256sum", dir.Write("hashed.bin", bytes)});
    return r.out.substr(0, 64);
}

// The records in a log file: each line whole and one JSON object.
std::vector<JsonLeaves> Records(const std::vector<uint8_t>& file)
{
    EXPECT_TRUE(file.empty() || file.back() == '\n') << "the last line is not whole";
    std::vector<JsonLeaves> records;
    for (const std::string& line : testsupport::Lines(file)) {
        records.emplace_back(line);
        EXPECT_TRUE(records.back().ok() && records.back()[""] == "{}") << line;
    }
    return records;
}

enum class FlashHash { kNull, kArea };

struct Row {
    const char* name;
    std::vector<std::string> board;
    std::vector<std::string> tool;  // "ec.bin", "out.bin", "old.bin" (there before) name files
    const char* result;
    int status;
    const char* mode;  // null: the record's mode is null
    size_t image_kb = 128;
    FlashHash flash_hash = FlashHash::kNull;
    bool flash_holds_image = false;  // the board starts with the image at 0
    const char* capacity_source = nullptr;
};

const Row kRows[] = {
    {"update", {}, {"ec.bin", "128"}, "ok", 0, "update", 128, FlashHash::kArea, false, "id"},
    {"region", {}, {"ec.bin", "60", "/Mn", "/O", "10000"}, "ok", 0, "update", 60, FlashHash::kArea},
    {"halved", {"--chip-id", "8987", "--flash", "mxic", "--flash-size", "128"}, {"ec.bin", "256"}, "ok", 0, "update",
     256, FlashHash::kArea},
    {"final check", {"--flash", "ite"}, {"ec.bin", "128", "/j"}, "ok", 0, "update", 128, FlashHash::kArea, false,
     "unknown"},
    {"compare", {}, {"ec.bin", "128", "/C"}, "ok", 0, "compare", 128, FlashHash::kArea, true},
    {"differs", {"--stuck", "1234=00"}, {"ec.bin", "128", "/C"}, "differs", 1, "compare", 128, FlashHash::kArea, true},
    {"read-out", {"--flash", "spansion"}, {"/R", "out.bin", "0"}, "ok", 0, "read-out", 0, FlashHash::kArea, false,
     "sfdp"},
    {"test", {}, {"/T"}, "ok", 0, "test", 0},
    {"test failed", {"--flash", "sst"}, {"/T"}, "test-failed", 1, "test", 0},
    {"protect", {}, {"/PB"}, "ok", 0, "protect", 0},
    {"protect failed", {"--flash", "mxic", "--status", "80", "--wp-low"}, {"/PB"}, "protect-failed", 1, "protect", 0},
    {"information", {"--flash", "ite"}, {"/I"}, "ok", 0, "information", 0, FlashHash::kNull, false, "unknown"},
    {"version", {}, {"/V"}, "ok", 0, "version", 0},
    {"not newer", {}, {"/VB", "0.1"}, "not-newer", 1, "version", 0},
    {"not equal", {}, {"/VC", "V0"}, "not-equal", 1, "version", 0},
    {"not ite", {"--chip-id", "none"}, {"/VB"}, "not-ite", 1, "version", 0},
    {"wrong parameter", {}, {"/O", "zz"}, "wrong-parameter", 1, nullptr, 0},
    {"no mode", {}, {"/BK"}, "no-mode", 1, nullptr, 0},
    {"missing image", {}, {"no-such.bin", "128"}, "file-error", 1, "update", 0},
    {"existing file", {}, {"/R", "old.bin", "64"}, "file-error", 1, "read-out", 0},
    {"project", {"--project", "OTHER"}, {"ec.bin", "128"}, "project-mismatch", 1, "update"},
    {"capacity", {}, {"ec.bin", "128", "/O", "30000"}, "refused", 1, "update"},
    {"no 4 KB erase", {"--flash", "st"}, {"ec.bin", "4", "/BK"}, "refused", 1, "update", 4},
    {"verify", {"--stuck", "1234=ff"}, {"ec.bin", "128"}, "verify-failed", 1, "update"},
    {"erase check", {"--stuck", "1234=00"}, {"ec.bin", "128"}, "erase-failed", 1, "update"},
    {"final check failed", {"--flash", "ite", "--flash-size", "64"}, {"ec.bin", "128"}, "final-check-failed", 1,
     "update"},
    {"hung EC", {"--hang", "2000", "--access-us", "1000"}, {"ec.bin", "128"}, "timeout", 1, "update"},
    {"busy flash", {"--flash-busy-forever", "--access-us", "1000"}, {"ec.bin", "128"}, "timeout", 1, "update"},
    {"signal", {"--signal", "INT@800000"}, {"ec.bin", "128"}, "interrupted", 1, "update"},
    {"read-out signal", {"--signal", "INT@400000"}, {"/R", "out.bin", "256"}, "interrupted", 1, "read-out", 0},
};

TEST(RunRecord, EveryWayARunEnds)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        testsupport::TempDir dir;
        std::vector<uint8_t> image = Image(row.image_kb * 1024, 6);
        if (image.size() > 0x1234)
            image[0x1234] = 0x11;  // neither erased nor what a stuck byte reads
        std::vector<std::string> tool = {"/L", std::filesystem::relative(dir.File("log.jsonl")).string()};
        for (const std::string& word : row.tool) {
            if (word == "ec.bin")
                tool.push_back(std::filesystem::relative(dir.Write("ec.bin", image)).string());
            else if (word == "out.bin" || word == "old.bin")  // old.bin: the board's flash before
                tool.push_back(std::filesystem::relative(dir.File(word)).string());
            else
                tool.push_back(word);
        }
        const std::vector<uint8_t> flash_in =
            row.flash_holds_image ? updatetest::OldFlashWith(0, image) : std::vector<uint8_t>{};
        const Outcome o = updatetest::RunIn(dir, "kovrinux-sim", row.board, tool, flash_in);
        EXPECT_EQ(o.status, row.status);

        const std::vector<JsonLeaves> records = Records(dir.Read("log.jsonl"));
        ASSERT_EQ(records.size(), 1u);
        const JsonLeaves& r = records[0];
        EXPECT_EQ(r["result"], Quoted(row.result));
        EXPECT_EQ(r["status"], std::to_string(row.status));
        EXPECT_EQ(r["mode"], row.mode != nullptr ? Quoted(row.mode) : "null");
        EXPECT_EQ(r["program"], Quoted("kovrinux"));
        EXPECT_TRUE(Shaped(r["time"], "\"dddd-dd-ddTdd:dd:dd.dddZ\"")) << r["time"];
        EXPECT_TRUE(Shaped(r["duration_ms"], std::string(r["duration_ms"].size(), 'd'))) << r["duration_ms"];
        for (size_t i = 0; i < tool.size(); ++i)
            EXPECT_EQ(r["args." + std::to_string(i)], Quoted(tool[i]));
        EXPECT_EQ(r["args." + std::to_string(tool.size())], "<missing>");
        // The message is the last line the run printed that is not blank.
        std::string out = o.out;
        out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
        while (!out.empty() && std::string(" \n\r").find(out.back()) != std::string::npos)
            out.pop_back();
        const std::string last = out.substr(out.find_last_of("\n\r") + 1);
        EXPECT_NE(r["message"].find(last.substr(last.find_first_not_of(' '))), std::string::npos) << r["message"];

        if (r["image"] != "null") {
            EXPECT_EQ(r["image.sha256"], Quoted(Sha256(dir, image)));
        }
        if (row.capacity_source != nullptr) {
            EXPECT_EQ(r["flash.capacity_source"], Quoted(row.capacity_source));
        }
        if (row.flash_hash == FlashHash::kNull) {
            EXPECT_EQ(r["flash_sha256"], "null");
            continue;
        }
        const size_t base = std::stoul(r["area.base"]);
        const size_t length = std::stoul(r["area.length"]);
        ASSERT_LE(base + length, o.flash.size());
        const std::vector<uint8_t> area(o.flash.begin() + static_cast<long>(base),
                                        o.flash.begin() + static_cast<long>(base + length));
        EXPECT_EQ(r["flash_sha256"], Quoted(Sha256(dir, area)));
    }
}

// A record that cannot be written says so and leaves the status alone.
TEST(RunRecord, UnwritableLogLeavesTheStatus)
{
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir.File("a-directory"));
    for (const char* log : {"no-such-dir/log.jsonl", "a-directory"}) {
        for (const auto& [query, status] : {std::pair<const char*, int>{"/V", 0}, {"/VB", 1}}) {
            SCOPED_TRACE(std::string(log) + " " + query);
            const std::string path = std::filesystem::relative(dir.File(log)).string();
            const auto o = updatetest::RunTool({"/L", path, query, "0.1"}, {});
            EXPECT_EQ(o.status, status);
            const std::string fail = "\n\rLog Write Fail!\n";
            ASSERT_GE(o.out.size(), fail.size());
            EXPECT_EQ(o.out.substr(o.out.size() - fail.size()), fail);
        }
    }
}

// Runs that end at once append whole lines, and kovrin writes the record
// kovrinux writes, but for its name, version and clock.
TEST(RunRecord, ConcurrentRunsAndKovrin)
{
    testsupport::TempDir dir;
    const std::string log = std::filesystem::relative(dir.File("log.jsonl")).string();
    std::string command;
    for (int i = 0; i < 6; ++i)
        command += testsupport::CommandWords(i % 2 == 0 ? "kovrinux-sim" : "kovrin-sim") +
                   " -- /L " + log + " /I >/dev/null & ";
    command += "wait";
    ASSERT_EQ(testsupport::Run("/bin/bash", {"-c", command}).status, 0);
    const std::vector<JsonLeaves> records = Records(dir.Read("log.jsonl"));
    ASSERT_EQ(records.size(), 6u);
    size_t kovrin = 0;
    for (const JsonLeaves& r : records) {
        kovrin += r["program"] == Quoted("kovrin") ? 1 : 0;
        EXPECT_EQ(r["result"], Quoted("ok"));
        std::map<std::string, std::string> kept = r.leaves();
        std::map<std::string, std::string> first = records[0].leaves();
        for (const char* key : {"time", "program", "version", "duration_ms"}) {
            kept.erase(key);
            first.erase(key);
        }
        EXPECT_EQ(kept, first);
    }
    EXPECT_EQ(kovrin, 3u);
}

}  // namespace
