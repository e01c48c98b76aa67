// The generated galaxy.bmp: a plain 24-bit bitmap that SDL_image loads, large enough to scroll over, with the
// galaxy's warm core in the program's first view and something to find wherever the view goes.

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

const std::string GalaxyPath = BRIMLET_DATA_DIR "/galaxy.bmp";

constexpr int ViewWidth = 320;
constexpr int ViewHeight = 240;

std::uint32_t Byte(const std::string& Bytes, std::size_t At) { return static_cast<std::uint8_t>(Bytes[At]); }

std::uint32_t Le16(const std::string& Bytes, std::size_t At) { return Byte(Bytes, At) | Byte(Bytes, At + 1) << 8; }

std::uint32_t Le32(const std::string& Bytes, std::size_t At) { return Le16(Bytes, At) | Le16(Bytes, At + 2) << 16; }

struct TRgb {
    int R, G, B;
    int Luma() const { return (R * 3 + G * 6 + B) / 10; }
};

// The picture as SDL_image delivers it, read through the surface's own format.
class GalaxyPicture : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SDL_Surface* Surface = IMG_Load(GalaxyPath.c_str());
        ASSERT_NE(Surface, nullptr) << IMG_GetError();
        BitsPerPixel = Surface->format->BitsPerPixel;
        Width = Surface->w;
        Height = Surface->h;
        Pixels.resize(static_cast<std::size_t>(Width) * Height);
        ASSERT_EQ(SDL_LockSurface(Surface), 0);
        const auto* Base = static_cast<const std::uint8_t*>(Surface->pixels);
        for (int Y = 0; Y < Height; ++Y) {
            for (int X = 0; X < Width; ++X) {
                const std::uint8_t* At = Base + Y * Surface->pitch + X * Surface->format->BytesPerPixel;
                std::uint32_t Value = 0;
                for (int Byte = 0; Byte < Surface->format->BytesPerPixel; ++Byte)
                    Value |= static_cast<std::uint32_t>(At[Byte]) << (8 * Byte);
                Uint8 R = 0, G = 0, B = 0;
                SDL_GetRGB(Value, Surface->format, &R, &G, &B);
                Pixels[static_cast<std::size_t>(Y) * Width + X] = TRgb{R, G, B};
            }
        }
        SDL_UnlockSurface(Surface);
        SDL_FreeSurface(Surface);
    }
    static void TearDownTestSuite() { Pixels.clear(); }
    void SetUp() override { ASSERT_FALSE(Pixels.empty()) << "galaxy.bmp did not load"; }

    static const TRgb& At(int X, int Y) { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }

    // Stars: pixels of at least Floor brightness that outshine their eight neighbours, inside the rectangle.
    static std::vector<TRgb> Stars(int Left, int Top, int Right, int Bottom, int Floor)
    {
        std::vector<TRgb> Found;
        for (int Y = std::max(Top, 1); Y < std::min(Bottom, Height - 1); ++Y) {
            for (int X = std::max(Left, 1); X < std::min(Right, Width - 1); ++X) {
                const int Luma = At(X, Y).Luma();
                bool Peak = Luma >= Floor;
                for (int DY = -1; DY <= 1 && Peak; ++DY)
                    for (int DX = -1; DX <= 1 && Peak; ++DX)
                        if ((DX != 0 || DY != 0) && At(X + DX, Y + DY).Luma() >= Luma)
                            Peak = false;
                if (Peak)
                    Found.push_back(At(X, Y));
            }
        }
        return Found;
    }

    static int BitsPerPixel;
    static int Width;
    static int Height;
    static std::vector<TRgb> Pixels;
};

int GalaxyPicture::BitsPerPixel = 0;
int GalaxyPicture::Width = 0;
int GalaxyPicture::Height = 0;
std::vector<TRgb> GalaxyPicture::Pixels;

} // namespace

TEST(GalaxyBitmap, IsAPlainBottomUpBitmapOf24Bits)
{
    const std::string Bytes = ReadFile(GalaxyPath);
    ASSERT_GE(Bytes.size(), 54u);
    EXPECT_EQ(Bytes.substr(0, 2), "BM");
    EXPECT_EQ(Le32(Bytes, 2), Bytes.size());       // the size the header states is the file's
    EXPECT_EQ(Le32(Bytes, 10), 54u);               // the pixels follow the two headers, no palette
    EXPECT_EQ(Le32(Bytes, 14), 40u);               // BITMAPINFOHEADER
    EXPECT_EQ(Le32(Bytes, 18), 1024u);             // width
    EXPECT_EQ(Le32(Bytes, 22), 768u);              // positive height: rows stored bottom-up
    EXPECT_EQ(Le16(Bytes, 26), 1u);                // planes
    EXPECT_EQ(Le16(Bytes, 28), 24u);               // bits per pixel
    EXPECT_EQ(Le32(Bytes, 30), 0u);                // not compressed
    EXPECT_EQ(Le32(Bytes, 34), 1024u * 3 * 768);   // rows of whole 4-byte words
    EXPECT_EQ(Bytes.size(), 54u + 1024u * 3 * 768);
}

TEST_F(GalaxyPicture, LoadsThroughSdlImageAs24BitsAndIsLargeEnoughToScroll)
{
    EXPECT_EQ(BitsPerPixel, 24);
    EXPECT_EQ(Width, 1024);
    EXPECT_EQ(Height, 768);
    EXPECT_GE(Width, 800);
    EXPECT_GE(Height, 600);
}

// The program's first view starts at ((width - 320) / 2, 200): the brightest part of the picture, the galaxy's
// core, is to be seen there, and it glows warm yellow rather than blue. Rows stored top-down or the colours swapped
// would move it out of the view or turn it blue.
TEST_F(GalaxyPicture, FirstViewShowsTheWarmCore)
{
    const int Block = 16;
    int BestX = 0, BestY = 0;
    long Best = -1;
    long BestR = 0, BestB = 0;
    for (int Y = 0; Y + Block <= Height; Y += Block / 2) {
        for (int X = 0; X + Block <= Width; X += Block / 2) {
            long Sum = 0, R = 0, B = 0;
            for (int DY = 0; DY < Block; ++DY)
                for (int DX = 0; DX < Block; ++DX) {
                    Sum += At(X + DX, Y + DY).Luma();
                    R += At(X + DX, Y + DY).R;
                    B += At(X + DX, Y + DY).B;
                }
            if (Sum > Best) {
                Best = Sum;
                BestX = X;
                BestY = Y;
                BestR = R;
                BestB = B;
            }
        }
    }
    const int ViewX = (Width - ViewWidth) / 2;
    const int ViewY = 200;
    EXPECT_GE(BestX, ViewX);
    EXPECT_LE(BestX + Block, ViewX + ViewWidth);
    EXPECT_GE(BestY, ViewY);
    EXPECT_LE(BestY + Block, ViewY + ViewHeight);
    EXPECT_GT(BestR, BestB + 20L * Block * Block) << "the core is not warm";
}

// A night sky: mostly dark, not black and not washed out.
TEST_F(GalaxyPicture, SkyIsDarkButNotBlack)
{
    std::vector<int> Lumas;
    Lumas.reserve(Pixels.size());
    for (const TRgb& Pixel : Pixels)
        Lumas.push_back(Pixel.Luma());
    std::nth_element(Lumas.begin(), Lumas.begin() + Lumas.size() / 2, Lumas.end());
    const int Median = Lumas[Lumas.size() / 2];
    EXPECT_GE(Median, 3);
    EXPECT_LE(Median, 60);
}

// Wherever the view is scrolled to, corners included, it shows stars; and the stars come in colours, not grey.
TEST_F(GalaxyPicture, EveryViewFindsStarsOfManyColours)
{
    ASSERT_GE(Width, ViewWidth);
    ASSERT_GE(Height, ViewHeight);
    for (const int Y : {0, (Height - ViewHeight) / 2, Height - ViewHeight}) {
        for (const int X : {0, (Width - ViewWidth) / 2, Width - ViewWidth}) {
            const std::size_t Count = Stars(X, Y, X + ViewWidth, Y + ViewHeight, 110).size();
            EXPECT_GE(Count, 15u) << "the view at (" << X << ", " << Y << ")";
        }
    }
    int Warm = 0, Cool = 0;
    for (const TRgb& Star : Stars(0, 0, Width, Height, 110)) {
        Warm += Star.R > Star.B + 30;
        Cool += Star.B > Star.R + 20;
    }
    EXPECT_GE(Warm, 20);
    EXPECT_GE(Cool, 20);
}
