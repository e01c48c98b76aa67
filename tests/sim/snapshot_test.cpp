// The shown page and its PNG snapshot.

#include "sim_fixture.h"
#include "support/test_support.h"

#include <png.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using TSnapshot = TSimFixture;

// Every 16-bit value appears on the shown page, in an order that differs from row to row; each component widens
// by bit replication, so 0 stays 0 and the largest value becomes 255.
TEST_F(TSnapshot, WritesTheShownPageWidenedByBitReplication)
{
    for (std::uint32_t Index = 0; Index < 320 * 240; ++Index)
        SetPixel(SimFb1Start + 2 * Index, static_cast<std::uint16_t>(Index * 40503u));
    const std::uint16_t Extremes[] = {0x0000, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0821, 0x8410};
    const std::uint8_t Widened[][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0},    {0, 255, 0},
                                       {0, 0, 255}, {8, 4, 8},     {132, 130, 132}};
    for (std::uint32_t Index = 0; Index < 7; ++Index)
        SetPixel(SimFb1Start + 2 * Index, Extremes[Index]);
    Write16(RegDisplayStartLow, SimFb1Start & 0xFFFF);
    Write16(RegDisplayStartHigh, SimFb1Start >> 16);

    const std::vector<std::uint16_t> Shown = SimShownPage();
    ASSERT_EQ(Shown.size(), 320u * 240u);
    TTempDir Folder;
    std::string Error;
    ASSERT_TRUE(SimWriteSnapshot(Folder.File("page.png"), &Error)) << Error;
    png_image Image;
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&Image, Folder.File("page.png").c_str()), 0);
    ASSERT_EQ(std::make_pair(Image.width, Image.height), std::make_pair(320u, 240u));
    Image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> Png(PNG_IMAGE_SIZE(Image));
    ASSERT_NE(png_image_finish_read(&Image, nullptr, Png.data(), 0, nullptr), 0);
    for (std::uint32_t Index = 0; Index < 7; ++Index)
        EXPECT_EQ(std::vector<std::uint8_t>(&Png[Index * 3], &Png[Index * 3 + 3]),
                  std::vector<std::uint8_t>(Widened[Index], Widened[Index] + 3))
            << Index;
    int Wrong = 0;
    for (std::uint32_t Index = 0; Index < 320 * 240; ++Index) {
        const std::uint16_t Value = Pixel(SimFb1Start + 2 * Index);
        const unsigned Red = Value >> 11, Green = Value >> 5 & 0x3F, Blue = Value & 0x1F;
        const std::uint8_t* Rgb = &Png[Index * 3];
        const bool Same = Shown[Index] == Value && Rgb[0] == (Red << 3 | Red >> 2)
                          && Rgb[1] == (Green << 2 | Green >> 4) && Rgb[2] == (Blue << 3 | Blue >> 2);
        if (!Same && ++Wrong <= 5)
            ADD_FAILURE() << "pixel " << Index << " of value " << std::hex << Value;
    }
    EXPECT_EQ(Wrong, 0);
}

// A page that runs past the end of RAM shows zeros there.
TEST_F(TSnapshot, ShowsZerosOutsideRam)
{
    const std::uint32_t Start = SimRamSize - 10 * 640 - 2;
    for (std::uint32_t Address = Start; Address < SimRamSize; Address += 2)
        SetPixel(Address, 0xFFFF);
    Write16(RegDisplayStartLow, Start & 0xFFFF);
    Write16(RegDisplayStartHigh, Start >> 16);
    std::vector<std::uint16_t> Shown = SimShownPage();
    for (std::uint32_t Index = 0; Index < Shown.size(); ++Index)
        ASSERT_EQ(Shown[Index], Index < 10 * 320 + 1 ? 0xFFFF : 0x0000) << Index;
}

TEST_F(TSnapshot, ReportsAFileThatCannotBeWritten)
{
    TTempDir Folder;
    std::string Error;
    EXPECT_FALSE(SimWriteSnapshot(Folder.File("missing/page.png"), &Error));
    EXPECT_NE(Error.find(Folder.File("missing/page.png")), std::string::npos) << Error;
    EXPECT_FALSE(PathExists(Folder.File("missing/page.png")));
}

} // namespace
