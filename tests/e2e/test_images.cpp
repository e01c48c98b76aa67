#include "e2e/test_images.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

std::uint16_t PatternPixel(int X, int Y)
{
    return static_cast<std::uint16_t>((X % 640) | (Y % 64) << 10);
}

} // namespace

void WritePatternBmp(const std::string& Path, int Width, int Height)
{
    SDL_Surface* Surface = SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    ASSERT_NE(Surface, nullptr) << SDL_GetError();
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
            const std::uint16_t Value = PatternPixel(X, Y);
            std::uint8_t* Pixel = static_cast<std::uint8_t*>(Surface->pixels) + Y * Surface->pitch + X * 3;
            Pixel[0] = static_cast<std::uint8_t>((Value >> 11) << 3);
            Pixel[1] = static_cast<std::uint8_t>((Value >> 5 & 0x3F) << 2);
            Pixel[2] = static_cast<std::uint8_t>((Value & 0x1F) << 3);
        }
    EXPECT_EQ(SDL_SaveBMP(Surface, Path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(Surface);
}

TFrame PatternView(int Width, int Height, int ScrollX, int ScrollY)
{
    const long Pitch = PatternPitch(Width);
    TFrame Frame(ScreenWidth * ScreenHeight, 0);
    for (int Row = 0; Row < ScreenHeight; ++Row)
        for (int Column = 0; Column < ScreenWidth; ++Column) {
            const long Offset = (ScrollY + Row) * Pitch + (ScrollX + Column) * 2L;
            const int ImageX = static_cast<int>(Offset % Pitch / 2);
            const int ImageY = static_cast<int>(Offset / Pitch);
            if (ImageY < Height && ImageX < Width)
                Frame[Row * ScreenWidth + Column] = PatternPixel(ImageX, ImageY);
        }
    return Frame;
}
