#pragma once
// A palette of at most 256 colours made for one picture, for a GIF frame: the picture's colours are cut at the
// median of their widest component, box by box, and each box's colour is the mean of the pixels in it.

#include <cstdint>
#include <vector>

struct TGifPalette {
    // 0xFFRRGGBB, as a paletted frame holds them; unused entries are black.
    std::uint32_t Colours[256];
    // Each RGB565 colour's entry; only the picture's own colours are meaningful.
    std::vector<std::uint8_t> Entry = std::vector<std::uint8_t>(65536, 0);
};

void MakeGifPalette(const std::vector<std::uint16_t>& Picture, TGifPalette& Palette);
