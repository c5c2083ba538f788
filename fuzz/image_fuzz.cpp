// The update mode's image checks and geometry on the in-process virtual
// board: any image content and length, any size argument, any region
// options and base, any flash part, stuck flash bytes and acknowledge. The
// board's flash takes no time (instant_flash) and images stay small, so an
// accepted image is flashed for real in a few milliseconds.
//
// Besides the sanitizers' findings, these are findings: a run that reports
// success while the flash does not hold the image where it belongs, a
// change to the flash outside the area being updated, a run that ends the
// process (a timeout on this healthy board would). Lengths too large to flash in a fuzzing run go to the
// placement checks alone, which must refuse every image the three address
// bytes and the block count cannot carry.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/image_checks.h"
#include "driver/modes.h"
#include "fuzz_board.h"
#include "fuzz_input.h"
#include "sim/parts.h"

namespace {

constexpr size_t kLongestFlashed = 0x40000;  // 256 KB: the chip rule's halves
constexpr uint64_t kAddressSpace = 0x1000000;

// Flags of the first input byte.
enum : uint8_t {
    kBbk = 1 << 0,
    kMain = 1 << 1,
    kBackup = 1 << 2,
    kSkipProjectCheck = 1 << 3,
    kReset = 1 << 4,
    kWideOffset = 1 << 5,
    kStretched = 1 << 6,
    kStuck = 1 << 7,
};

// The flash before the run: old firmware, no 0xFF runs, so a missing erase
// or a write outside the area shows.
const std::vector<uint8_t>& OldFlash()
{
    static const std::vector<uint8_t> old = [] {
        std::vector<uint8_t> bytes(fuzz::Bench::kMaxFlashKb * 1024);
        uint32_t x = 12345;
        for (uint8_t& b : bytes) {
            x = x * 1664525u + 1013904223u;
            b = static_cast<uint8_t>((x >> 24) & 0x7E);
        }
        return bytes;
    }();
    return old;
}

uint64_t RoundUp(uint64_t n, uint64_t unit)
{
    return (n + unit - 1) / unit * unit;
}

struct Plan {
    uint8_t flags;
    uint64_t offset;
    uint64_t length;
    std::vector<uint8_t> image;  // empty for a length only checked
};

std::vector<uint8_t> DecodeImage(fuzz::Input& in, uint8_t flags, uint64_t* length)
{
    if ((flags & kStretched) == 0) {
        std::vector<uint8_t> image = in.Rest();
        *length = image.size();
        return image;
    }
    *length = in.Bytes(5) % (static_cast<uint64_t>(1) << 36);
    const uint8_t seed = in.Byte();
    if (*length > kLongestFlashed)
        return {};
    // Old-looking firmware with the rest of the input laid over its start.
    std::vector<uint8_t> image(*length);
    uint32_t x = seed;
    for (uint8_t& b : image) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    const std::vector<uint8_t> rest = in.Rest();
    for (size_t i = 0; i < rest.size() && i < image.size(); ++i)
        image[i] = rest[i];
    return image;
}

// Where the update writes, relative to the base, and which image byte goes
// to the area's first byte. ST parts erase whole 64 KB blocks.
struct Area {
    uint64_t start;
    uint64_t length;
    uint64_t image_offset;
};

Area UpdateArea(const Plan& p, uint16_t chip_id)
{
    if (p.flags & kBbk)
        return {0x00000, 0x1000, 0};
    if (p.flags & kMain)
        return {0x01000, 0xF000, 0};
    if (p.flags & kBackup)
        return {0x11000, 0xF000, 0};
    const bool halved = (chip_id == 0x8987 || chip_id == 0x8928) && p.length == 0x40000;
    const uint64_t written = halved ? p.length / 2 : p.length;
    return {0, written, halved && chip_id == 0x8987 ? 0x20000u : 0u};
}

void CheckFlash(fuzz::Bench& bench, const sim::Config& config, const Plan& p, int status)
{
    const uint64_t size = static_cast<uint64_t>(sim::FlashKb(config)) * 1024;
    const uint64_t base = p.offset & ~static_cast<uint64_t>(0xFFFF);
    const Area area = UpdateArea(p, config.chip_id);
    const uint64_t touched = (p.flags & (kBbk | kMain | kBackup)) != 0 ? area.length : RoundUp(area.length, 0x10000);
    if (touched > size)
        return;  // the area wraps around the flash onto itself

    // A stuck byte reads its value (the last one given for an address).
    auto stuck = [&](uint64_t a, uint8_t* value) {
        for (size_t s = 0; s < config.stuck_count; ++s)
            if (config.stuck[s].address == a)
                *value = config.stuck[s].value;
    };
    const uint64_t first = (base + area.start) % size;
    for (uint64_t a = 0; a < size; ++a) {
        const uint64_t relative = (a + size - first) % size;
        const uint8_t now = bench.board().FlashByte(static_cast<uint32_t>(a));
        if (relative >= touched) {
            uint8_t want = OldFlash()[a];
            stuck(a, &want);
            fuzz::Require(now == want, "the flash changed outside the area being updated");
        } else if (status == 0 && relative < area.length) {
            fuzz::Require(now == p.image[area.image_offset + relative], "success reported, but the flash differs");
        }
    }
}

// The placement rules for a length that is only checked: what they accept
// must fit the address bytes and the block count.
void CheckPlacementOnly(const Plan& p, const driver::RunOptions& options)
{
    const driver::Geometry geometry = driver::GeometryOf(p.length);
    fuzz::Require(uint64_t{geometry.blocks} * 0x10000 >= p.length, "block count too small for the image");
    fuzz::Require(uint64_t{geometry.pages} * 1024 >= p.length, "page count too small for the image");
    if (driver::BrokenRegionRule(options, p.length) != nullptr)
        return;
    if (driver::PlacementRefusal(options, p.length) != nullptr)
        return;
    const uint64_t base = p.offset & ~static_cast<uint64_t>(0xFFFF);
    fuzz::Require(((p.offset >> 8) & 0xFF) == 0, "a base inside a block accepted");
    fuzz::Require(geometry.blocks <= 255, "more blocks accepted than the status screen counts");
    fuzz::Require(base < kAddressSpace && base + p.length <= kAddressSpace, "an image past 16 MB accepted");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::Bench bench;
    static fuzz::MemoryFile file;

    fuzz::Input in(data, size);
    Plan p{};
    p.flags = in.Byte();
    const uint8_t size_mode = in.Byte() % 3;
    const auto size_arg = static_cast<int32_t>(in.Bytes(4));
    p.offset = in.Bytes(3);
    if (p.flags & kWideOffset)
        p.offset |= in.Bytes(5) << 24;

    sim::Config config;
    config.instant_flash = true;
    size_t part_count = 0;
    sim::AllParts(&part_count);
    config.flash = static_cast<sim::Part>(in.Byte() % part_count);
    config.flash_kb = 64u << (in.Byte() % 3);
    if (sim::FindMember(sim::PartInfoOf(config.flash), config.flash_kb) == nullptr)
        config.flash_kb = 0;  // a size the part does not come in: its own
    static constexpr uint16_t kChips[] = {0x5570, 0x8987, 0x8928, 0x5570};
    config.chip_id = kChips[in.Byte() % 4];
    config.ack = in.Byte();
    const size_t name_length = in.Byte() % 11;
    for (size_t i = 0; i < sizeof config.project; ++i)
        config.project[i] = i < name_length ? in.Byte() : 0;
    if (p.flags & kStuck) {
        config.stuck_count = 1 + in.Byte() % 2;
        for (size_t s = 0; s < config.stuck_count; ++s)
            config.stuck[s] = {static_cast<uint32_t>(in.Bytes(3) % (sim::FlashKb(config) * 1024u)), in.Byte()};
    }
    p.image = DecodeImage(in, p.flags, &p.length);

    bench.Boot(config, OldFlash());
    driver::RunOptions options;
    options.boot_block = (p.flags & kBbk) != 0;
    options.main_code = (p.flags & kMain) != 0;
    options.backup_code = (p.flags & kBackup) != 0;
    options.offset = p.offset;
    if (p.image.size() != p.length) {
        CheckPlacementOnly(p, options);
        return 0;
    }

    file.Fill(p.image);
    options.image = file.path();
    options.check_project = (p.flags & kSkipProjectCheck) == 0;
    options.reset = (p.flags & kReset) != 0;
    const int32_t pages = static_cast<int32_t>((p.length + 1023) / 1024);
    options.size_kb = size_mode == 0 ? pages : size_mode == 1 ? 0 : size_arg;

    const int status = driver::RunUpdateMode(options);
    bench.Show(status);
    fuzz::Require(status == 0 || status == 1, "status neither 0 nor 1");
    CheckFlash(bench, config, p, status);
    return 0;
}
