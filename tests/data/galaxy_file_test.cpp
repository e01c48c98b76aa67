// The generated galaxy.bmp: a plain 24-bit bitmap that SDL_image loads, large enough to scroll over, with the
// galaxy's warm core in the program's first view and stars wherever the view goes.

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "support/test_support.h"

namespace {

const std::string GalaxyPath = BRIMLET_DATA_DIR "/galaxy.bmp";
constexpr int Width = 1024;
constexpr int Height = 768;

struct TRgb {
    int R, G, B;
    int Luma() const { return (R * 3 + G * 6 + B) / 10; }
};

// The two headers and nothing else before the pixels: the file's size, no palette, 1024 x 768 with a positive height
// (rows stored bottom-up), one plane, 24 bits, no compression, the pixels' size in rows of whole 4-byte words.
TEST(GalaxyBitmap, IsAPlainBottomUpBitmapOf24Bits)
{
    const std::string Bytes = ReadFile(GalaxyPath);
    EXPECT_EQ(Bytes.size(), 54u + Width * 3 * Height);
    EXPECT_EQ(Bytes.substr(0, 38), std::string("BM\x36\x00\x24\x00\0\0\0\0\x36\0\0\0\x28\0\0\0\0\x04\0\0\0\x03\0\0"
                                               "\x01\0\x18\0\0\0\0\0\0\0\x24\0",
                                               38));
}

// The picture as SDL_image delivers it, read through the surface's own format.
class GalaxyPicture : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SDL_Surface* Surface = IMG_Load(GalaxyPath.c_str());
        ASSERT_NE(Surface, nullptr) << IMG_GetError();
        EXPECT_EQ(Surface->format->BitsPerPixel, 24);
        if (Surface->w == Width && Surface->h == Height && Surface->format->BytesPerPixel == 3) {
            for (int Y = 0; Y < Height; ++Y) {
                for (int X = 0; X < Width; ++X) {
                    const auto* At = static_cast<const std::uint8_t*>(Surface->pixels) + Y * Surface->pitch + X * 3;
                    Uint8 R = 0, G = 0, B = 0;
                    SDL_GetRGB(At[0] | At[1] << 8 | At[2] << 16, Surface->format, &R, &G, &B);
                    Pixels.push_back({R, G, B});
                }
            }
        }
        SDL_FreeSurface(Surface);
    }
    void SetUp() override { ASSERT_EQ(Pixels.size(), std::size_t{Width * Height}) << "galaxy.bmp did not load"; }

    static const TRgb& At(int X, int Y) { return Pixels[static_cast<std::size_t>(Y * Width + X)]; }

    // Stars: pixels of at least brightness 110 that outshine their eight neighbours, inside the rectangle.
    static std::vector<TRgb> Stars(int Left, int Top, int Right, int Bottom)
    {
        std::vector<TRgb> Found;
        for (int Y = std::max(Top, 1); Y < std::min(Bottom, Height - 1); ++Y) {
            for (int X = std::max(Left, 1); X < std::min(Right, Width - 1); ++X) {
                bool Peak = At(X, Y).Luma() >= 110;
                for (int DY = -1; DY <= 1; ++DY)
                    for (int DX = -1; DX <= 1; ++DX)
                        Peak = Peak && ((DX == 0 && DY == 0) || At(X + DX, Y + DY).Luma() < At(X, Y).Luma());
                if (Peak)
                    Found.push_back(At(X, Y));
            }
        }
        return Found;
    }

    static inline std::vector<TRgb> Pixels;
};

// The program's first view starts at ((width - 320) / 2, 200): the brightest 16 x 16 block of the picture, the
// galaxy's core, lies in it and glows warm rather than blue. Rows stored top-down or the colours swapped would
// move it out of the view or turn it blue.
TEST_F(GalaxyPicture, FirstViewShowsTheWarmCore)
{
    long Best = -1, BestR = 0, BestB = 0;
    int BestX = 0, BestY = 0;
    for (int Y = 0; Y + 16 <= Height; Y += 8) {
        for (int X = 0; X + 16 <= Width; X += 8) {
            long Sum = 0, R = 0, B = 0;
            for (int DY = 0; DY < 16; ++DY) {
                for (int DX = 0; DX < 16; ++DX) {
                    Sum += At(X + DX, Y + DY).Luma();
                    R += At(X + DX, Y + DY).R;
                    B += At(X + DX, Y + DY).B;
                }
            }
            if (Sum > Best)
                std::tie(Best, BestX, BestY, BestR, BestB) = std::tie(Sum, X, Y, R, B);
        }
    }
    EXPECT_GE(BestX, 352);
    EXPECT_LE(BestX + 16, 352 + 320);
    EXPECT_GE(BestY, 200);
    EXPECT_LE(BestY + 16, 200 + 240);
    EXPECT_GT(BestR, BestB + 20L * 16 * 16) << "the core is not warm";
}

// A night sky, mostly dark but neither black nor washed out; wherever the view is scrolled to, corners included, it
// shows stars, and the stars come in colours, not grey.
TEST_F(GalaxyPicture, DarkSkyWithStarsOfManyColoursInEveryView)
{
    std::vector<int> Lumas;
    for (const TRgb& Pixel : Pixels)
        Lumas.push_back(Pixel.Luma());
    std::nth_element(Lumas.begin(), Lumas.begin() + static_cast<std::ptrdiff_t>(Lumas.size() / 2), Lumas.end());
    EXPECT_GE(Lumas[Lumas.size() / 2], 3);
    EXPECT_LE(Lumas[Lumas.size() / 2], 60);
    for (const int Y : {0, (Height - 240) / 2, Height - 240})
        for (const int X : {0, (Width - 320) / 2, Width - 320})
            EXPECT_GE(Stars(X, Y, X + 320, Y + 240).size(), 15u) << "the view at (" << X << ", " << Y << ")";
    int Warm = 0, Cool = 0;
    for (const TRgb& Star : Stars(0, 0, Width, Height)) {
        Warm += Star.R > Star.B + 30;
        Cool += Star.B > Star.R + 20;
    }
    EXPECT_GE(Warm, 20);
    EXPECT_GE(Cool, 20);
}

} // namespace
