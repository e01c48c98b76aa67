// Blits that reach outside RAM: the pixels outside are skipped and counted, those inside are copied, and nothing
// outside RAM is touched on the host (RAM has inaccessible pages on either side, so a stray access would fault).

#include "sim_fixture.h"

#include <vector>

namespace {

constexpr std::uint32_t Top = SimRamSize; // the first address past RAM
constexpr std::uint16_t Untouched = 0x5A5A;
constexpr std::uint16_t Ink = 0x0FF0;

struct TBoundsCase {
    const char* Name;
    TBlitRegisters Registers;
    std::uint64_t Skipped;
    std::vector<std::uint32_t> Written; // destination pixels that must hold the ink afterwards
};

class TBlitBounds : public TSimFixture, public ::testing::WithParamInterface<TBoundsCase> {};

std::vector<std::uint8_t> Snapshot(std::uint32_t Address, std::uint32_t Length)
{
    const std::uint8_t* Host = SimPhysToHost(Address, Length);
    return std::vector<std::uint8_t>(Host, Host + Length);
}

TEST_P(TBlitBounds, SkipsAndCountsThePixelsOutsideRam)
{
    const TBoundsCase& Case = GetParam();
    // Ink everywhere a source may be read in RAM: its first 128 KiB, its last page and the image area.
    FillPixels(0, 0x20000 / 2, Ink);
    FillPixels(Top - 4096, 4096 / 2, Ink);
    FillPixels(0x02000000, 0x10000, Ink);
    // The destination areas start untouched, except where a case reads its source.
    for (std::uint32_t Address : Case.Written)
        SetPixel(Address, Untouched);
    std::vector<std::uint16_t> Registers(RegisterBlockSize / 2);
    for (std::uint32_t Offset = 0; Offset < RegisterBlockSize; Offset += 2)
        Registers[Offset / 2] = SimPeekReg16(Offset);

    RunBlit(Case.Registers);

    EXPECT_EQ(SimBlitterSkippedPixels(), Case.Skipped);
    for (std::uint32_t Address : Case.Written)
        EXPECT_EQ(Pixel(Address), Ink) << std::hex << Address;
    for (std::uint32_t Offset = 0; Offset < RegisterBlockSize; Offset += 2)
        ASSERT_EQ(SimPeekReg16(Offset), Registers[Offset / 2]) << "register " << std::hex << Offset;
}

const std::uint32_t Copy = BlitOpFixed | RopCopy;
const std::uint32_t Full = 0xFFFFFFFFu; // 65535 x 65535
const std::uint64_t FullCount = 65535ull * 65535ull;

INSTANTIATE_TEST_SUITE_P(
    Cases, TBlitBounds,
    ::testing::Values(
        // The last two pixels of RAM are written, the two beyond it skipped.
        TBoundsCase{"PastTheTop", {0x20, Top - 4, 640, 0x1A0, 0x02000000, 640, 0x10004, Copy}, 2, {Top - 4, Top - 2}},
        // The odd bit moves the row's first pixel to RAM's last pixel.
        TBoundsCase{"OddPixelAtTheTop", {0x30, Top - 4, 640, 0x1A0, 0x02000000, 640, 0x10002, Copy}, 1, {Top - 2}},
        // An odd stride puts the second row's pixel across the end of RAM: half a pixel in RAM is not in RAM.
        TBoundsCase{"StraddlingTheTop", {0x20, Top - 4, 3, 0x1A0, 0x02000000, 640, 0x20001, Copy}, 1, {Top - 4}},
        // A negative stride from address 0 leaves RAM below it after the first row.
        TBoundsCase{"BelowZero", {0x20, 0, -640, 0x1A0, 0x02000000, 640, 0x30010, Copy}, 32, {0, 30}},
        // A stride of -2 shifts each row one pixel below the previous one: row 1 loses its first pixel only.
        TBoundsCase{"PartlyBelowZero", {0x20, 0, -2, 0x1A0, 0x02000000, 0, 0x20004, Copy}, 1, {0, 2, 4}},
        // A source outside RAM (the register block) is never read.
        TBoundsCase{"SourceInTheRegisterBlock", {0x20, 0x02100000, 640, 0x1A0, 0xC0000000, 640, 0x20010, Copy}, 32, {}},
        // The source leaves RAM part way along the row.
        TBoundsCase{"SourcePastTheTop", {0x20, 0x02100000, 640, 0x1A0, Top - 4, 640, 0x10004, Copy}, 2,
                    {0x02100000, 0x02100002}},
        // The largest size with a huge positive stride: only row 0 lies in RAM.
        TBoundsCase{"HugePositiveStride", {0x20, 0x02100000, 0x7FFFFFFF, 0x1A0, 0x02000000, 0x7FFFFFFF, Full, Copy},
                    FullCount - 65535, {0x02100000, 0x02100000 + 2 * 65534}},
        // The most negative stride, from the top of RAM downwards.
        TBoundsCase{"HugeNegativeStride", {0x20, Top - 4, INT32_MIN, 0x1A0, 0x02000000, 640, 0xFFFF0002u, Copy},
                    65534ull * 2, {Top - 4, Top - 2}},
        // The largest size at the top of the 32-bit space: nothing is in RAM.
        TBoundsCase{"EverythingOutside", {0x20, 0xFFFFFFFCu, 640, 0x1A0, 0xFFFFFFFCu, 640, Full, Copy}, FullCount, {}},
        // The largest size at address 0 with a stride of 0: every row is the same row in RAM, but its end is out.
        TBoundsCase{"ZeroStrideLongRows", {0x20, Top - 0x10000, 0, 0x1A0, 0, 0, 0x0010FFFFu, Copy}, 16 * 32767ull,
                    {Top - 0x10000, Top - 2}},
        // A destination in the register block is never written.
        TBoundsCase{"DestinationInTheRegisterBlock", {0x20, 0xC0000000, 640, 0x1A0, 0x02000000, 640, 0x20010, Copy}, 32,
                    {}},
        // A keyed copy checks the source too.
        TBoundsCase{"KeyedSourceBelowZero", {0x20, 0x02100000, 640, 0x1A0, 0, -640, 0x20004, 0xF81F0FCCu}, 4,
                    {0x02100000, 0x02100006}}),
    [](const ::testing::TestParamInfo<TBoundsCase>& Info) { return std::string(Info.param.Name); });

using TBlitOutside = TSimFixture;

// RAM just inside both ends keeps its bytes when a destination lies wholly beyond it, wrapping past 32 bits included.
TEST_F(TBlitOutside, DestinationOutsideRamWritesNothing)
{
    FillPixels(0x02000000, 16, Ink);
    std::vector<std::uint8_t> Low = Snapshot(0, 4096), High = Snapshot(Top - 4096, 4096);
    for (std::uint32_t Dst : {Top, 0xC0000000u, 0xE0020000u, 0xFFFFFFFCu}) {
        RunBlit({0x20, Dst, 640, 0x1A0, 0x02000000, 640, 0x10010, BlitOpFixed | RopCopy});
        RunBlit({0x20, Dst, 640, 0x1A0, 0x02000000, 640, 0x10010, BlitOpFixed | 0x66});
    }
    EXPECT_EQ(SimBlitterSkippedPixels(), 8u * 16u);
    EXPECT_EQ(Snapshot(0, 4096), Low);
    EXPECT_EQ(Snapshot(Top - 4096, 4096), High);
}

} // namespace
