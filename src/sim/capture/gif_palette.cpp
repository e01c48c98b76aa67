#include "sim/capture/gif_palette.h"

#include "sim/model/rgb565.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t MostColours = 256;

using TComponent = std::uint8_t (*)(std::uint16_t);
const std::array<TComponent, 3> Components = {Red8, Green8, Blue8};

// A run of the picture's distinct colours, and its widest component.
struct TBox {
    std::size_t Begin, End;
    int Widest;
    int Width;
};

TBox MakeBox(const std::vector<std::uint16_t>& Colours, std::size_t Begin, std::size_t End)
{
    TBox Box{Begin, End, 0, -1};
    for (int Component = 0; Component < 3; ++Component) {
        const auto Value = [Component](std::uint16_t Colour) { return Components[Component](Colour); };
        const auto [Low, High] =
            std::minmax_element(Colours.begin() + Begin, Colours.begin() + End,
                                [&](std::uint16_t A, std::uint16_t B) { return Value(A) < Value(B); });
        const int Width = Value(*High) - Value(*Low);
        if (Width > Box.Width) {
            Box.Widest = Component;
            Box.Width = Width;
        }
    }
    return Box;
}

} // namespace

void MakeGifPalette(const std::vector<std::uint16_t>& Picture, TGifPalette& Palette)
{
    std::vector<std::uint32_t> Count(65536, 0);
    for (std::uint16_t Pixel : Picture)
        ++Count[Pixel];
    std::vector<std::uint16_t> Colours;
    for (std::uint32_t Colour = 0; Colour < Count.size(); ++Colour)
        if (Count[Colour] != 0)
            Colours.push_back(static_cast<std::uint16_t>(Colour));

    std::vector<TBox> Boxes;
    if (!Colours.empty())
        Boxes.push_back(MakeBox(Colours, 0, Colours.size()));
    while (Boxes.size() < MostColours) {
        const auto Widest = std::max_element(Boxes.begin(), Boxes.end(),
                                             [](const TBox& A, const TBox& B) { return A.Width < B.Width; });
        if (Widest == Boxes.end() || Widest->Width <= 0)
            break;
        const TBox Box = *Widest;
        const TComponent Value = Components[Box.Widest];
        std::sort(Colours.begin() + Box.Begin, Colours.begin() + Box.End,
                  [Value](std::uint16_t A, std::uint16_t B) { return Value(A) < Value(B); });
        // The cut leaves half of the box's pixels on each side, or as near as whole colours allow, and never an
        // empty side.
        std::uint64_t Pixels = 0, Below = 0;
        for (std::size_t At = Box.Begin; At < Box.End; ++At)
            Pixels += Count[Colours[At]];
        std::size_t Cut = Box.Begin;
        while (Cut < Box.End - 1 && (Cut == Box.Begin || Below * 2 < Pixels))
            Below += Count[Colours[Cut++]];
        *Widest = MakeBox(Colours, Box.Begin, Cut);
        Boxes.push_back(MakeBox(Colours, Cut, Box.End));
    }

    // Each colour once: two boxes of the same mean colour share one entry, since an encoder that shrinks the
    // palette to its distinct colours may leave the pixels of a repeated entry pointing anywhere.
    std::fill(std::begin(Palette.Colours), std::end(Palette.Colours), 0xFF000000u);
    std::size_t Entries = 0;
    for (const TBox& Box : Boxes) {
        std::uint64_t Sum[3] = {0, 0, 0}, Pixels = 0;
        for (std::size_t At = Box.Begin; At < Box.End; ++At) {
            for (int Component = 0; Component < 3; ++Component)
                Sum[Component] += std::uint64_t{Components[Component](Colours[At])} * Count[Colours[At]];
            Pixels += Count[Colours[At]];
        }
        std::uint32_t Colour = 0xFF000000u;
        for (int Component = 0; Component < 3; ++Component)
            Colour |= static_cast<std::uint32_t>((Sum[Component] + Pixels / 2) / Pixels) << (16 - 8 * Component);
        const auto Same = std::find(Palette.Colours, Palette.Colours + Entries, Colour);
        if (Same == Palette.Colours + Entries)
            Palette.Colours[Entries++] = Colour;
        for (std::size_t At = Box.Begin; At < Box.End; ++At)
            Palette.Entry[Colours[At]] = static_cast<std::uint8_t>(Same - Palette.Colours);
    }
}
