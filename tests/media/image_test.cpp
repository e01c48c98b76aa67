#include "media_fixture.h"

#include "media/image.h"

namespace {

// The test image's pixels, left to right: red, green, blue, white, black and a colour with low bits to drop.
const SDL_Color Colours[] = {{255, 0, 0, 0},     {0, 255, 0, 0}, {0, 0, 255, 0},
                             {255, 255, 255, 0}, {0, 0, 0, 0},   {0x12, 0x34, 0x57, 0}};
const std::uint16_t Rgb565[] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x11AA};
constexpr int Width = 6;
constexpr int Height = 2;

// A Width x Height image whose rows both hold the colours above, saved by SDL as a BMP of Depth bits.
bool SaveBmp(const std::string& Path, int Depth)
{
    SDL_Surface* Surface;
    if (Depth == 8) {
        Surface = SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 8, 0, 0, 0, 0);
        SDL_SetColors(Surface, const_cast<SDL_Color*>(Colours), 10, Width);
    } else {
        Surface = SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    }
    if (!Surface)
        return false;
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
            SDL_Rect Pixel{static_cast<Sint16>(X), static_cast<Sint16>(Y), 1, 1};
            const Uint32 Value = Depth == 8 ? static_cast<Uint32>(10 + X)
                                            : SDL_MapRGB(Surface->format, Colours[X].r, Colours[X].g, Colours[X].b);
            SDL_FillRect(Surface, &Pixel, Value);
        }
    const bool Saved = SDL_SaveBMP(Surface, Path.c_str()) == 0;
    SDL_FreeSurface(Surface);
    return Saved;
}

void PutLe(std::string& Out, std::uint32_t Value, int Bytes)
{
    for (int Index = 0; Index < Bytes; ++Index)
        Out += static_cast<char>((Value >> (8 * Index)) & 0xFF);
}

// SDL 1.2 saves only 8- and 24-bit BMP files, so the 32-bit one (BGRX pixels, rows bottom up) is made here.
bool SaveBmp32(const std::string& Path)
{
    const std::uint32_t PixelBytes = Width * Height * 4;
    std::string Content = "BM";
    PutLe(Content, 54 + PixelBytes, 4);
    PutLe(Content, 0, 4);
    PutLe(Content, 54, 4);
    PutLe(Content, 40, 4);
    PutLe(Content, Width, 4);
    PutLe(Content, Height, 4);
    PutLe(Content, 1, 2);
    PutLe(Content, 32, 2);
    PutLe(Content, 0, 4); // no compression
    PutLe(Content, PixelBytes, 4);
    PutLe(Content, 2835, 4);
    PutLe(Content, 2835, 4);
    PutLe(Content, 0, 4);
    PutLe(Content, 0, 4);
    for (int Y = 0; Y < Height; ++Y)
        for (const SDL_Color& Colour : Colours)
            PutLe(Content, Colour.b | (Colour.g << 8) | (Colour.r << 16), 4);
    return WriteFile(Path, Content);
}

// The bits per pixel that a BMP file's header states.
int BmpDepth(const std::string& Path)
{
    const std::string Content = ReadFile(Path);
    return Content.size() < 30 ? 0 : static_cast<unsigned char>(Content[28]) | static_cast<unsigned char>(Content[29]) << 8;
}

std::vector<std::uint16_t> Pixels(SDL_Surface* Surface)
{
    std::vector<std::uint16_t> Result;
    SDL_LockSurface(Surface);
    for (int Y = 0; Y < Surface->h; ++Y) {
        const auto* Row = reinterpret_cast<const std::uint16_t*>(static_cast<const std::uint8_t*>(Surface->pixels) +
                                                                 Y * Surface->pitch);
        Result.insert(Result.end(), Row, Row + Surface->w);
    }
    SDL_UnlockSurface(Surface);
    return Result;
}

class ImageTest : public StartedMediaTest {
protected:
    void TearDown() override
    {
        FreeImage(Image);
        StartedMediaTest::TearDown();
    }

    SDL_Surface* Image = nullptr;
};

// Whatever the file's depth, the image comes back in the screen's RGB565 format, low bits dropped.
TEST_F(ImageTest, ConvertedToRgb565)
{
    ASSERT_TRUE(SaveBmp(Temp.File("image24.bmp"), 24));
    ASSERT_TRUE(SaveBmp(Temp.File("image8.bmp"), 8));
    ASSERT_TRUE(SaveBmp32(Temp.File("image32.bmp")));
    std::vector<std::uint16_t> Expected(Rgb565, Rgb565 + Width);
    Expected.insert(Expected.end(), Rgb565, Rgb565 + Width);
    for (const int Depth : {24, 8, 32}) {
        const std::string File = Temp.File("image" + std::to_string(Depth) + ".bmp");
        ASSERT_EQ(BmpDepth(File), Depth);
        ASSERT_TRUE(LoadImage(File, Image, NoColorKey)) << Depth;
        ASSERT_NE(Image, nullptr);
        EXPECT_EQ(Image->w, Width);
        EXPECT_EQ(Image->h, Height);
        EXPECT_EQ(Image->format->BitsPerPixel, 16) << Depth;
        EXPECT_EQ(Image->format->Rmask, 0xF800u);
        EXPECT_EQ(Image->format->Gmask, 0x07E0u);
        EXPECT_EQ(Image->format->Bmask, 0x001Fu);
        EXPECT_EQ(Pixels(Image), Expected) << Depth;
        EXPECT_EQ(Image->flags & SDL_SRCCOLORKEY, 0u);
        EXPECT_TRUE(FreeImage(Image));
    }
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{});
}

TEST_F(ImageTest, ColourKeys)
{
    ASSERT_TRUE(SaveBmp(Temp.File("image.bmp"), 24));
    const struct {
        std::uint32_t Key;
        bool Keyed;
        std::uint32_t Mapped;
    } Cases[] = {
        {0x00FFFFFF, false, 0},  {0x000000FF, true, 0xF800}, {0x0000FF00, true, 0x07E0},
        {0x00FF0000, true, 0x001F}, {0xFF000000, true, 0x0000}, {0xFFFFFFFF, true, 0xFFFF},
        {0x00573412, true, 0x11AA}, // red in the low byte
    };
    for (const auto& Case : Cases) {
        ASSERT_TRUE(LoadImage(Temp.File("image.bmp"), Image, Case.Key)) << std::hex << Case.Key;
        EXPECT_EQ((Image->flags & SDL_SRCCOLORKEY) != 0, Case.Keyed) << std::hex << Case.Key;
        EXPECT_EQ(Image->flags & SDL_RLEACCEL, 0u) << std::hex << Case.Key;
        if (Case.Keyed) {
            EXPECT_EQ(Image->format->colorkey, Case.Mapped) << std::hex << Case.Key;
        }
        EXPECT_TRUE(FreeImage(Image));
    }
}

TEST_F(ImageTest, FreeingTwice)
{
    ASSERT_TRUE(SaveBmp(Temp.File("image.bmp"), 24));
    ASSERT_TRUE(LoadImage(Temp.File("image.bmp"), Image, NoColorKey));
    EXPECT_TRUE(FreeImage(Image));
    EXPECT_EQ(Image, nullptr);
    EXPECT_FALSE(FreeImage(Image));
    EXPECT_EQ(Image, nullptr);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{});
}

// A failed load leaves the variable null even when it held a surface, which stays the caller's to free.
TEST_F(ImageTest, FilesThatDoNotLoad)
{
    const std::string Missing = Temp.File("missing.bmp");
    const std::string Junk = Temp.File("junk.bmp");
    ASSERT_TRUE(WriteFile(Junk, std::string(4096, 'j')));
    ASSERT_TRUE(SaveBmp(Temp.File("image.bmp"), 24));
    const std::pair<std::string, std::string> Cases[] = {
        {Missing, "Couldn't open " + Missing},
        {Junk, "Unsupported image format"},
    };
    for (const auto& Case : Cases) {
        ASSERT_TRUE(LoadImage(Temp.File("image.bmp"), Image, NoColorKey));
        SDL_Surface* Held = Image;
        EXPECT_FALSE(LoadImage(Case.first, Image, NoColorKey)) << Case.first;
        EXPECT_EQ(Image, nullptr);
        EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error(Case.second, "LoadImage")});
        EXPECT_TRUE(FreeImage(Held));
    }
}

// The whole name reaches SDL_image, however long it is.
TEST_F(ImageTest, LongFileNameLoads)
{
    const std::string Long = LongFileName("image.bmp", 600);
    ASSERT_GT(Long.size(), 511u);
    ASSERT_TRUE(SaveBmp(Long, 24));
    EXPECT_TRUE(LoadImage(Long, Image, NoColorKey));
    EXPECT_NE(Image, nullptr);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{});
}

// Without a video mode there is no screen format to convert to, whether or not SDL's video was started.
TEST_F(MediaTest, ImageWithoutVideoMode)
{
    ASSERT_TRUE(SaveBmp(Temp.File("image.bmp"), 24));
    for (const bool VideoStarted : {false, true}) {
        if (VideoStarted) {
            ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        }
        SDL_Surface* Image = nullptr;
        EXPECT_FALSE(LoadImage(Temp.File("image.bmp"), Image, NoColorKey)) << VideoStarted;
        EXPECT_EQ(Image, nullptr);
        EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error("No video mode has been set", "LoadImage")});
    }
}

} // namespace
