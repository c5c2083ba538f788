// The Linux window over a sparse file standing in for /dev/mem: the real
// device is never opened by a test.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/linux/mem_map.h"
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
    void TearDown() override { MemUnmap6266(); }

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
    ASSERT_EQ(MemMapDevice(device_.c_str()), 0);
    EXPECT_EQ(IoRead8(0x62), 0x5A);
    EXPECT_EQ(IoRead8(0x162), 0x5A);
    IoWrite8(0x14E, 0x1AB);  // port 0x4E, value's low byte
    IoWrite8(0xFF, 0x01);
    MemUnmap6266();
    EXPECT_EQ(DeviceByte(kWindow + 0x4E), 0xAB);
    EXPECT_EQ(DeviceByte(kWindow + 0xFF), 0x01);
}

TEST_F(WindowTest, MissingDeviceIsReported)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(MemMapDevice(dir_.File("absent").c_str()), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "open /dev/mem failed.\n");
    EXPECT_LT(fd, 0);
    EcIbFree();  // return at once after a failed open
    EcObFull();
}

TEST_F(WindowTest, UnmappableDeviceIsReportedAndClosed)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(MemMapDevice("/dev/null"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "mmap /dev/mem failed.\n");
    EXPECT_EQ(mem, nullptr);
}

TEST_F(WindowTest, AcpiStatusWaitsReadTheWindow)
{
    ASSERT_EQ(MemMapDevice(device_.c_str()), 0);
    IoWrite8(0x66, 0x01);  // output full, input empty
    EcIbFree();
    EcObFull();
    SUCCEED();
}

}  // namespace
