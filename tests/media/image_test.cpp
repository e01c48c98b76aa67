#include "media_fixture.h"

#include <filesystem>

#include "media/image.h"
#include "media/music.h"

namespace {

// Every row of the test image, left to right: red, green, blue, white, black and a colour with low bits to drop.
const SDL_Color Colours[] = {{255, 0, 0, 0},     {0, 255, 0, 0}, {0, 0, 255, 0},
                             {255, 255, 255, 0}, {0, 0, 0, 0},   {0x12, 0x34, 0x57, 0}};
const std::vector<std::uint16_t> Rgb565Row = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x11AA};

// A 6 x 2 BMP file of Depth bits whose rows both hold the colours above; at 8 bits they form its palette.
bool WriteBmp(const std::string& Path, int Depth)
{
    const std::uint32_t Palette = Depth == 8 ? 6 : 0;
    const std::uint32_t RowBytes = (6 * Depth / 8 + 3) & ~3u;
    const std::uint32_t Offset = 54 + 4 * Palette;
    std::string Content = "BM" + Le(Offset + 2 * RowBytes, 4) + Le(0, 4) + Le(Offset, 4) + Le(40, 4) + Le(6, 4) +
                          Le(2, 4) + Le(1, 2) + Le(static_cast<std::uint32_t>(Depth), 2) + Le(0, 4) +
                          Le(2 * RowBytes, 4) + Le(2835, 4) + Le(2835, 4) + Le(Palette, 4) + Le(0, 4);
    std::string Row;
    for (int X = 0; X < 6; ++X) {
        const std::uint32_t Bgr = Colours[X].b | Colours[X].g << 8 | Colours[X].r << 16;
        if (Depth == 8) {
            Content += Le(Bgr, 4);
            Row += static_cast<char>(X);
        } else {
            Row += Le(Bgr, Depth / 8);
        }
    }
    Row.resize(RowBytes, '\0');
    return WriteFile(Path, Content + Row + Row);
}

class ImageTest : public StartedMediaTest {
protected:
    void SetUp() override
    {
        StartedMediaTest::SetUp();
        ASSERT_TRUE(WriteBmp(Temp.File("image.bmp"), 24));
    }

    void TearDown() override
    {
        FreeImage(Image);
        StartedMediaTest::TearDown();
    }

    SDL_Surface* Image = nullptr;
};

// Whatever the file's depth, the image comes back in the screen's RGB565 format, low bits dropped.
TEST_F(ImageTest, ConvertedToRgb565AndFreedOnce)
{
    std::vector<std::uint16_t> Expected = Rgb565Row;
    Expected.insert(Expected.end(), Rgb565Row.begin(), Rgb565Row.end());
    for (const int Depth : {8, 24, 32}) {
        SCOPED_TRACE(Depth);
        const std::string File = Temp.File("image" + std::to_string(Depth) + ".bmp");
        ASSERT_TRUE(WriteBmp(File, Depth));
        ASSERT_TRUE(LoadImage(File, Image, NoColorKey));
        EXPECT_EQ(Image->format->BitsPerPixel, 16);
        std::vector<std::uint16_t> Pixels;
        for (int Y = 0; Y < Image->h; ++Y)
            for (int X = 0; X < Image->w; ++X)
                Pixels.push_back(static_cast<const std::uint16_t*>(Image->pixels)[Y * Image->pitch / 2 + X]);
        EXPECT_EQ(Pixels, Expected);
        EXPECT_EQ(Image->flags & SDL_SRCCOLORKEY, 0u);
        EXPECT_TRUE(FreeImage(Image));
        EXPECT_EQ(Image, nullptr);
        EXPECT_FALSE(FreeImage(Image));
    }
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{});
}

// The key holds red in its low byte; 0x00FFFFFF alone means no key.
TEST_F(ImageTest, ColourKeys)
{
    const struct {
        std::uint32_t Key;
        bool Keyed;
        std::uint32_t Mapped;
    } Cases[] = {
        {0x00FFFFFF, false, 0},     {0x000000FF, true, 0xF800}, {0x0000FF00, true, 0x07E0},
        {0x00FF0000, true, 0x001F}, {0xFF000000, true, 0x0000}, {0xFFFFFFFF, true, 0xFFFF},
        {0x00573412, true, 0x11AA},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Key);
        ASSERT_TRUE(LoadImage(Temp.File("image.bmp"), Image, Case.Key));
        EXPECT_EQ((Image->flags & SDL_SRCCOLORKEY) != 0, Case.Keyed);
        EXPECT_EQ(Image->flags & SDL_RLEACCEL, 0u);
        if (Case.Keyed) {
            EXPECT_EQ(Image->format->colorkey, Case.Mapped);
        }
        EXPECT_TRUE(FreeImage(Image));
    }
}

// A failed load leaves the variable null even when it held a surface, which stays the caller's to free.
TEST_F(ImageTest, FilesThatDoNotLoad)
{
    const std::string Missing = Temp.File("missing.bmp");
    const std::string Junk = Temp.File("junk.bmp");
    ASSERT_TRUE(WriteFile(Junk, std::string(4096, 'j')));
    for (const auto& [File, Reason] :
         {std::pair{Missing, "Couldn't open " + Missing}, {Junk, std::string("Unsupported image format")}}) {
        ASSERT_TRUE(LoadImage(Temp.File("image.bmp"), Image, NoColorKey));
        SDL_Surface* Held = Image;
        EXPECT_FALSE(LoadImage(File, Image, NoColorKey)) << File;
        EXPECT_EQ(Image, nullptr);
        EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error(Reason, "LoadImage")});
        EXPECT_TRUE(FreeImage(Held));
    }
}

// The whole name reaches SDL_image and SDL_mixer, however long it is.
TEST_F(ImageTest, LongFileNamesLoad)
{
    std::string Folder = Temp.Path();
    while (Folder.size() < 600)
        Folder += "/" + std::string(100, 'd');
    std::filesystem::create_directories(Folder);
    ASSERT_TRUE(WriteBmp(Folder + "/image.bmp", 24));
    ASSERT_TRUE(WriteWav(Folder + "/song.wav", 100, 1, 1));
    EXPECT_TRUE(LoadImage(Folder + "/image.bmp", Image, NoColorKey));
    Mix_Music* Music = nullptr;
    EXPECT_TRUE(LoadMusic(Folder + "/song.wav", Music));
    FreeMusic(Music);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Status("Music \"" + Folder + "/song.wav\" loaded", "LoadMusic")});
}

// Without a video mode there is no screen format to convert to, whether or not SDL's video is started.
TEST_F(MediaTest, ImageWithoutVideoMode)
{
    ASSERT_TRUE(WriteBmp(Temp.File("image.bmp"), 24));
    for (const bool VideoStarted : {false, true}) {
        ASSERT_TRUE(!VideoStarted || SDL_Init(SDL_INIT_VIDEO) == 0);
        SDL_Surface* Image = nullptr;
        EXPECT_FALSE(LoadImage(Temp.File("image.bmp"), Image, NoColorKey)) << VideoStarted;
        EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error("No video mode has been set", "LoadImage")});
    }
}

} // namespace
