#include "sim/launcher/key_map_overlay.h"

#include "device/font6x13.h"
#include "sim/launcher/key_map.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int GlyphWidth = 6;
constexpr int GlyphHeight = 13;
// The key map's margin, in font pixels, and its opacity: the picture shows faintly through it.
constexpr int HelpMargin = 4;
constexpr Uint8 HelpOpacity = 224;
constexpr std::uint16_t HelpBackground = 0x0008;

// The key map drawn for the window's current format and text scale, kept until either changes.
SDL_Surface* Help = nullptr;
int HelpScale = 0;

// The key map's lines, and the width of the longest.
std::vector<std::string> HelpLines(std::size_t& Columns)
{
    std::vector<std::string> Lines;
    const std::string Text = KeyMapText();
    Columns = 0;
    for (std::size_t Start = 0, End; Start < Text.size(); Start = End + 1) {
        End = std::min(Text.find('\n', Start), Text.size());
        Lines.push_back(Text.substr(Start, End - Start));
        Columns = std::max(Columns, End - Start);
    }
    return Lines;
}

// The key map in the program's font, TextScale window pixels per font pixel, in the screen's format.
SDL_Surface* BuildHelp(SDL_Surface* Screen, const std::vector<std::string>& Lines, std::size_t Columns, int TextScale)
{
    const int Width = (static_cast<int>(Columns) * GlyphWidth + 2 * HelpMargin) * TextScale;
    const int Height = (static_cast<int>(Lines.size()) * GlyphHeight + 2 * HelpMargin) * TextScale;
    std::vector<std::uint16_t> Pixels(static_cast<std::size_t>(Width) * Height, HelpBackground);
    for (std::size_t Row = 0; Row < Lines.size(); ++Row)
        for (std::size_t Column = 0; Column < Lines[Row].size(); ++Column) {
            const std::uint8_t* Glyph =
                Font6x13 + static_cast<unsigned char>(Lines[Row][Column]) * static_cast<std::size_t>(FontGlyphBytes);
            for (int Y = 0; Y < GlyphHeight * TextScale; ++Y)
                for (int X = 0; X < GlyphWidth * TextScale; ++X) {
                    const std::uint8_t* Pixel = Glyph + Y / TextScale * FontRowBytes + X / TextScale * 2;
                    if ((Pixel[0] | Pixel[1] << 8) == FontTransparent)
                        continue;
                    const int Left = (HelpMargin + static_cast<int>(Column) * GlyphWidth) * TextScale + X;
                    const int Top = (HelpMargin + static_cast<int>(Row) * GlyphHeight) * TextScale + Y;
                    Pixels[static_cast<std::size_t>(Top) * Width + Left] = FontInk;
                }
        }
    SDL_Surface* Drawn =
        SDL_CreateRGBSurfaceFrom(Pixels.data(), Width, Height, 16, Width * 2, 0xF800, 0x07E0, 0x001F, 0);
    SDL_Surface* Converted = Drawn != nullptr ? SDL_ConvertSurface(Drawn, Screen->format, SDL_SWSURFACE) : nullptr;
    SDL_FreeSurface(Drawn);
    if (Converted != nullptr)
        SDL_SetAlpha(Converted, SDL_SRCALPHA, HelpOpacity);
    return Converted;
}

} // namespace

// The key map over the middle of the picture, clipped to it, so that it never reaches the bars.
void DrawKeyMap(SDL_Surface* Screen, SDL_Rect Picture)
{
    std::size_t Columns = 0;
    const std::vector<std::string> Lines = HelpLines(Columns);
    // The largest whole font scale at which the longest line fits the picture.
    const int TextScale = std::max(1, Picture.w / (static_cast<int>(Columns) * GlyphWidth + 2 * HelpMargin));
    if (Help == nullptr || HelpScale != TextScale) {
        SDL_FreeSurface(Help);
        Help = BuildHelp(Screen, Lines, Columns, TextScale);
        HelpScale = TextScale;
    }
    if (Help == nullptr)
        return;
    SDL_Rect At{static_cast<Sint16>(Picture.x + std::max(0, (Picture.w - Help->w) / 2)),
                static_cast<Sint16>(Picture.y + std::max(0, (Picture.h - Help->h) / 2)), 0, 0};
    SDL_SetClipRect(Screen, &Picture);
    SDL_BlitSurface(Help, nullptr, Screen, &At);
    SDL_SetClipRect(Screen, nullptr);
}

void ForgetKeyMap()
{
    SDL_FreeSurface(Help);
    Help = nullptr;
}
