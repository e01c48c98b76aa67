#include "sim/launcher/scaler.h"

#include <cstring>
#include <vector>

#include "device/video_pages.h"
#include "sim/model/rgb565.h"

namespace {

// The window's pixel for each RGB565 value, for the format that Made describes.
std::vector<Uint32> Table;
struct TFormatKey {
    Uint8 BitsPerPixel;
    Uint32 Rmask, Gmask, Bmask, Amask;
    const SDL_Palette* Palette;
    bool operator==(const TFormatKey& Other) const
    {
        return BitsPerPixel == Other.BitsPerPixel && Rmask == Other.Rmask && Gmask == Other.Gmask
            && Bmask == Other.Bmask && Amask == Other.Amask && Palette == Other.Palette;
    }
};
TFormatKey Made{};

void MakeTable(const SDL_PixelFormat* Format)
{
    const TFormatKey Key{Format->BitsPerPixel, Format->Rmask, Format->Gmask,
                         Format->Bmask,        Format->Amask, Format->palette};
    if (!Table.empty() && Key == Made)
        return;
    Table.resize(65536);
    for (std::size_t Value = 0; Value < Table.size(); ++Value) {
        const auto Pixel = static_cast<std::uint16_t>(Value);
        Table[Value] = SDL_MapRGB(const_cast<SDL_PixelFormat*>(Format), Red8(Pixel), Green8(Pixel), Blue8(Pixel));
    }
    Made = Key;
}

// One window pixel in SDL's order of bytes for its size.
template <int Bytes>
void Put(std::uint8_t* Target, Uint32 Pixel)
{
    if constexpr (Bytes == 1) {
        *Target = static_cast<Uint8>(Pixel);
    } else if constexpr (Bytes == 2) {
        const auto Short = static_cast<Uint16>(Pixel);
        std::memcpy(Target, &Short, 2);
    } else if constexpr (Bytes == 3) {
        const bool Little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
        Target[Little ? 0 : 2] = static_cast<Uint8>(Pixel);
        Target[1] = static_cast<Uint8>(Pixel >> 8);
        Target[Little ? 2 : 0] = static_cast<Uint8>(Pixel >> 16);
    } else {
        std::memcpy(Target, &Pixel, 4);
    }
}

// Each device pixel converted once and written Scale times along its row; the row then copied down. Fixed: the scale
// when it is known when compiled, which lets the compiler unroll the widening (twice as fast at scale 3), or 0.
template <int Bytes, int Fixed>
void Stretch(const std::uint16_t* Page, SDL_Surface* To, int Left, int Top, int Given)
{
    const int Scale = Fixed != 0 ? Fixed : Given;
    const std::size_t RowBytes = static_cast<std::size_t>(PageWidth) * Scale * Bytes;
    for (int Y = 0; Y < PageHeight; ++Y) {
        const std::uint16_t* Source = Page + static_cast<std::size_t>(Y) * PageWidth;
        auto* First = static_cast<std::uint8_t*>(To->pixels) + static_cast<std::ptrdiff_t>(Top + Y * Scale) * To->pitch
            + Left * Bytes;
        auto* Target = First;
        for (int X = 0; X < PageWidth; ++X) {
            const Uint32 Pixel = Table[Source[X]];
            for (int Repeat = 0; Repeat < Scale; ++Repeat, Target += Bytes)
                Put<Bytes>(Target, Pixel);
        }
        for (int Copy = 1; Copy < Scale; ++Copy)
            std::memcpy(First + static_cast<std::ptrdiff_t>(Copy) * To->pitch, First, RowBytes);
    }
}

// The window's usual scales fixed, any other as given.
template <int Bytes>
void StretchAt(const std::uint16_t* Page, SDL_Surface* To, int Left, int Top, int Scale)
{
    switch (Scale) {
    case 1: Stretch<Bytes, 1>(Page, To, Left, Top, Scale); break;
    case 2: Stretch<Bytes, 2>(Page, To, Left, Top, Scale); break;
    case 3: Stretch<Bytes, 3>(Page, To, Left, Top, Scale); break;
    case 4: Stretch<Bytes, 4>(Page, To, Left, Top, Scale); break;
    default: Stretch<Bytes, 0>(Page, To, Left, Top, Scale); break;
    }
}

} // namespace

void ScalePicture(const std::uint16_t* Page, SDL_Surface* To, int Left, int Top, int Scale)
{
    MakeTable(To->format);
    switch (To->format->BytesPerPixel) {
    case 1: StretchAt<1>(Page, To, Left, Top, Scale); break;
    case 2: StretchAt<2>(Page, To, Left, Top, Scale); break;
    case 3: StretchAt<3>(Page, To, Left, Top, Scale); break;
    default: StretchAt<4>(Page, To, Left, Top, Scale); break;
    }
}
