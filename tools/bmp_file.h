#pragma once
// Writing a 24-bit Windows bitmap: the plain format that the program loads through SDL_image.

#include <cstdint>
#include <string>
#include <vector>

// An image of Width x Height pixels, top row first, three bytes per pixel in the order red, green, blue.
struct TRgbImage {
    int Width;
    int Height;
    std::vector<std::uint8_t> Pixels;
};

// Writes Image to File as a 24-bit BMP with a BITMAPINFOHEADER: rows bottom-up, blue-green-red, each row padded
// to a multiple of 4 bytes. False with Error set when it cannot be written.
bool WriteBmp24(const std::string& File, const TRgbImage& Image, std::string& Error);
