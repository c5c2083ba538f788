// The read-out on a page part, an AAI part and an ITE part: the file holds
// what the flash holds; nothing is refused after the EC was touched but the
// capacity; no partial file and no overwritten file is ever left behind.
#include "update_support.h"

namespace {

using updatetest::Outcome;

const std::vector<std::string> kAllParts = {"winbond", "sst", "ite"};
const std::vector<std::string> kDefaultPart = {"winbond"};
const std::vector<std::string> kSizeFromId = {"winbond", "sst"};
const std::vector<std::string> kSizeFromSfdp = {"spansion"};

struct Row {
    const std::vector<std::string>& parts;
    std::vector<std::string> board;  // besides --flash
    std::vector<std::string> tool;   // after "/R <file>"
    const char* ending;              // the last line, or what it begins with
    uint32_t from = 0;               // the flash range the file must hold
    uint32_t length = 0;             // 0: no file may be left
    const char* closing = "ec fe";   // null: no EC access at all; "": hung, not closable
    bool file_exists = false;        // a file of that name is there before
};

const Row kRows[] = {
    {kAllParts, {}, {"256"}, "\n\rFlash saved: 256K from 0x000000.\n", 0, 0x40000},
    {kAllParts, {}, {"64", "/O", "20080", "/j", "/F"}, "\n\rFlash saved: 64K from 0x020000.\n", 0x20000, 0x10000,
     "ec fc"},
    {kAllParts, {}, {"256"}, "\n\rFile exists, not overwritten!\n", 0, 0, nullptr, true},
    // 0: from the base to the part's end, where the part's size is known.
    {kSizeFromId, {}, {"0"}, "\n\rFlash saved: 256K from 0x000000.\n", 0, 0x40000},
    {kDefaultPart, {}, {"0", "/O", "10000"}, "\n\rFlash saved: 192K from 0x010000.\n", 0x10000, 0x30000},
    {{"ite-a"}, {}, {"0"}, "\n\rFlash size unknown: give the read-out size in KB!\n"},
    // The size from SFDP, and none without it.
    {kSizeFromSfdp, {}, {"0"}, "\n\rFlash saved: 256K from 0x000000.\n", 0, 0x40000},
    {kSizeFromSfdp, {"--no-sfdp"}, {"0"}, "\n\rFlash size unknown: give the read-out size in KB!\n"},
    {kSizeFromSfdp, {}, {"128", "/O", "30000"}, "\n\rImage does not fit this flash (256K)!\n"},
    {kDefaultPart, {}, {"0", "/O", "40000"}, "\n\rImage does not fit this flash (256K)!\n"},
    // Sizes that are no whole 64 KB block.
    {kDefaultPart, {}, {"100"}, "\n\rFlash saved: 100K from 0x000000.\n", 0, 0x19000},
    {kDefaultPart, {}, {"1", "/O", "30000"}, "\n\rFlash saved: 1K from 0x030000.\n", 0x30000, 0x400},
    {kDefaultPart, {}, {"64K"}, "\n\rRead size must be a number of KB (0: the whole flash)!\n", 0, 0, nullptr},
    {kDefaultPart, {}, {"64", "/O", "1000"}, "\n\rOffset must be a multiple of 64K!\n", 0, 0, nullptr},
    {kDefaultPart, {}, {"128", "/O", "FF0000"}, "\n\rImage does not fit the flash address space!\n", 0, 0, nullptr},
    {kDefaultPart, {"--flash-size", "1024"}, {"64", "/O", "100000"}, "\n\rImage does not fit this flash (1024K)!\n"},
    // A stop in block 1 (5 port accesses per byte read), an EC that hangs in block 2.
    {kDefaultPart, {"--signal", "INT@400000"}, {"256"}, "\n\rInterrupted.\n"},
    {kDefaultPart, {"--hang", "150000"}, {"256"}, "\n\rTimeout: ", 0, 0, ""},
};

TEST(ReadOut, Table)
{
    const std::vector<uint8_t> before = updatetest::Pattern(updatetest::kFlashSize, 5);
    for (const Row& row : kRows) {
        for (const std::string& part : row.parts) {
            SCOPED_TRACE(part + " " + row.tool[0] + (row.board.empty() ? "" : " " + row.board[0]));
            testsupport::TempDir dir;
            const std::vector<uint8_t> old_file = {1, 2, 3};
            if (row.file_exists)
                dir.Write("out.bin", old_file);
            std::vector<std::string> tool = {"/R", std::filesystem::relative(dir.File("out.bin")).string()};
            tool.insert(tool.end(), row.tool.begin(), row.tool.end());
            std::vector<std::string> board = {"--flash", part};
            board.insert(board.end(), row.board.begin(), row.board.end());
            const Outcome o = updatetest::RunIn(dir, "kovrinux-sim", board, tool, before);

            EXPECT_EQ(o.status, row.length != 0 ? 0 : 1);
            EXPECT_NE(o.out.rfind(row.ending), std::string::npos);
            EXPECT_EQ(o.out.find('\n', o.out.rfind(row.ending) + 2), o.out.size() - 1) << o.out;
            ASSERT_GE(o.flash.size(), before.size());
            EXPECT_FLASH(std::vector<uint8_t>(o.flash.begin(), o.flash.begin() + before.size()), before);
            const bool kept = std::filesystem::exists(dir.File("out.bin"));
            if (row.file_exists)
                EXPECT_TRUE(dir.Read("out.bin") == old_file);
            else if (row.length == 0)
                EXPECT_FALSE(kept) << "a partial file was left";
            else
                EXPECT_FLASH(dir.Read("out.bin"), std::vector<uint8_t>(before.begin() + row.from,
                                                                       before.begin() + row.from + row.length));
            if (row.closing == nullptr)
                EXPECT_TRUE(o.trace.empty());
            else if (*row.closing != '\0')
                updatetest::ExpectClosedOnce(o, row.closing);
        }
    }
}

// A file system that takes 64 KB, no more: the second chunk's write fails.
TEST(ReadOut, FailedWriteLeavesNoFile)
{
    testsupport::TempDir dir;
    const std::string command = "ulimit -f 64; trap '' XFSZ; exec " + testsupport::CommandWords("kovrinux-sim") +
                                " --trace " + dir.File("trace.txt") + " -- /R " +
                                std::filesystem::relative(dir.File("out.bin")).string() + " 128";
    const auto r = testsupport::Run("/bin/bash", {"-c", command});
    EXPECT_EQ(r.status, 1);
    const std::string failed = "-- Read OK. \n\n\rFile Write Fail!\n";
    ASSERT_GE(r.out.size(), failed.size());
    EXPECT_EQ(r.out.substr(r.out.size() - failed.size()), failed);
    EXPECT_EQ(r.out.find(" Block Number     : 2 "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.bin")));
    updatetest::ExpectClosedOnce(Outcome{1, r.out, {}, testsupport::TraceLines(dir.Read("trace.txt"), "kovrinux-sim")},
                                 "ec fe");
}

}  // namespace
