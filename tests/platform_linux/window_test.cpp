// The Linux window over a sparse file standing in for /dev/mem: the real
// device is never opened by a test.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "hostio/mailbox.h"
#include "platform/linux/window.h"
#include "platform/platform.h"
#include "support/run_tool.h"

namespace {

constexpr off_t kWindow = 0x20000000;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        device_ = dir_.File("mem");
        const int f = open(device_.c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_GE(f, 0);
        ASSERT_EQ(ftruncate(f, kWindow + 256), 0);  // sparse: no real space used
        uint8_t byte = 0x5A;
        ASSERT_EQ(pwrite(f, &byte, 1, kWindow + 0x62), 1);
        close(f);
    }
    void TearDown() override { platform::CloseWindow(); }

    uint8_t DeviceByte(off_t offset)
    {
        const int f = open(device_.c_str(), O_RDONLY);
        uint8_t byte = 0;
        EXPECT_EQ(pread(f, &byte, 1, offset), 1);
        close(f);
        return byte;
    }

    testsupport::TempDir dir_;
    std::string device_;
};

TEST_F(WindowTest, PortsAreBytesOfTheWindowReducedToEightBits)
{
    ASSERT_EQ(platform::MapWindowFrom(device_.c_str()), 0);
    EXPECT_EQ(platform::IoRead8(0x62), 0x5A);
    EXPECT_EQ(platform::IoRead8(0x162), 0x5A);
    platform::IoWrite8(0x14E, 0xAB);  // port 0x4E
    platform::IoWrite8(0xFF, 0x01);
    platform::CloseWindow();
    EXPECT_EQ(DeviceByte(kWindow + 0x4E), 0xAB);
    EXPECT_EQ(DeviceByte(kWindow + 0xFF), 0x01);
}

// The tool's line on standard output, the system's reason on standard error.
TEST_F(WindowTest, MissingDeviceIsReported)
{
    const std::string absent = dir_.File("absent");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::MapWindowFrom(absent.c_str()), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "open /dev/mem failed.\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kovrinux: cannot open " + absent + ": No such file or directory\n");
}

TEST_F(WindowTest, UnmappableDeviceIsReportedAndClosed)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::MapWindowFrom("/dev/null"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "mmap /dev/mem failed.\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kovrinux: cannot map 0x20000000-0x200000FF of /dev/null: No such device\n");
}

TEST_F(WindowTest, AcpiStatusWaitsReadTheWindow)
{
    ASSERT_EQ(platform::MapWindowFrom(device_.c_str()), 0);
    platform::IoWrite8(0x66, 0x01);  // output full, input empty
    hostio::WaitAcpiInputEmpty();
    hostio::WaitAcpiOutputFull();
    SUCCEED();
}

}  // namespace
