// Paints galaxy.bmp, the picture that the program scrolls over: a large spiral galaxy whose core sits in the
// program's first view, a distant spiral, a small edge-on galaxy, a glowing nebula veiled by dark dust, a loose
// cluster and a field of stars of every brightness, so that scrolling finds something everywhere.
// Usage: brimlet_make_galaxy OUTPUT.bmp. Fixed seeds: every run writes the same bytes.

#include "bmp_file.h"
#include "canvas.h"
#include "noise.h"
#include "random.h"
#include "spiral_galaxy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int ImageWidth = 1024;
constexpr int ImageHeight = 768;

// The night behind everything: not quite black, with faint clouds so that empty sky is not flat.
void PaintSky(TCanvas& Canvas)
{
    for (int Y = 0; Y < Canvas.Height; ++Y) {
        for (int X = 0; X < Canvas.Width; ++X) {
            const double Cloud = 0.5 + 0.5 * FractalNoise(X / 220.0, Y / 220.0, 101, 5);
            const double Tint = 0.5 + 0.5 * FractalNoise(X / 300.0, Y / 300.0, 102, 3);
            const TColour Base{0.0025, 0.003, 0.007};
            const TColour Glow = Blend(TColour{0.006, 0.003, 0.011}, TColour{0.002, 0.006, 0.010}, Tint);
            AddLight(Canvas, X, Y, Base + Glow * (Cloud * Cloud));
        }
    }
}

// An emission nebula low on the left: red and pink hydrogen shading into teal oxygen, torn by dark filaments.
void PaintNebula(TCanvas& Canvas, double CentreX, double CentreY, double Size)
{
    const TColour Hydrogen{1.0, 0.22, 0.42};
    const TColour Oxygen{0.2, 0.75, 0.85};
    for (int Y = 0; Y < Canvas.Height; ++Y) {
        for (int X = 0; X < Canvas.Width; ++X) {
            const double DX = (X - CentreX) / Size;
            const double DY = (Y - CentreY) / (Size * 0.8);
            const double Reach = std::exp(-(DX * DX + DY * DY) * 1.6);
            if (Reach < 1e-3)
                continue;
            const double Gas = std::max(0.0, FractalNoise(X / 70.0, Y / 70.0, 201, 6, 0.55) + 0.3);
            const double Shade = SmoothStep(-0.3, 0.5, FractalNoise(X / 120.0, Y / 120.0, 202, 4));
            // Dark clouds of dust in front of the glowing gas, with ragged edges.
            const double Dust = SmoothStep(0.05, 0.4, FractalNoise(X / 60.0, Y / 60.0, 203, 6, 0.6)) * Reach;
            // Bright rims where shock fronts compress the gas.
            const double Rim = std::pow(1.0 - std::abs(FractalNoise(X / 90.0, Y / 90.0, 204, 5)), 10.0);
            const double Level = Reach * Gas * (Gas * 0.8 + Rim * 0.9);
            TColour& Pixel = Canvas.Light[static_cast<std::size_t>(Y) * Canvas.Width + X];
            Pixel = (Pixel + Blend(Hydrogen, Oxygen, Shade * 0.7) * Level) * std::exp(-2.5 * Dust);
        }
    }
}

// Far galaxies too small to show arms: soft elongated smudges.
void PaintSmudges(TCanvas& Canvas, TRandom& Random, int Count)
{
    for (int I = 0; I < Count; ++I) {
        const double CX = RandomRange(Random, 0, Canvas.Width);
        const double CY = RandomRange(Random, 0, Canvas.Height);
        const double Angle = RandomRange(Random, 0, M_PI);
        const double Length = RandomRange(Random, 2.0, 5.0);
        const double Ratio = RandomRange(Random, 0.25, 0.8);
        const double Peak = RandomRange(Random, 0.04, 0.12);
        const TColour Colour = Blend(TColour{1.0, 0.85, 0.65}, TColour{0.8, 0.85, 1.0}, RandomUnit(Random));
        for (int Y = static_cast<int>(CY) - 16; Y <= static_cast<int>(CY) + 16; ++Y) {
            for (int X = static_cast<int>(CX) - 16; X <= static_cast<int>(CX) + 16; ++X) {
                const double U = (X - CX) * std::cos(Angle) + (Y - CY) * std::sin(Angle);
                const double V = (-(X - CX) * std::sin(Angle) + (Y - CY) * std::cos(Angle)) / Ratio;
                AddLight(Canvas, X, Y, Colour * (Peak * std::exp(-std::hypot(U, V) / Length * 2.0)));
            }
        }
    }
}

// A star's colour from its temperature class, hot blue-white to cool red, weighted roughly as a sky shows them.
TColour StarColour(TRandom& Random)
{
    const double Pick = RandomUnit(Random);
    if (Pick < 0.12)
        return {0.62, 0.75, 1.0};
    if (Pick < 0.35)
        return {0.85, 0.9, 1.0};
    if (Pick < 0.6)
        return {1.0, 0.97, 0.92};
    if (Pick < 0.8)
        return {1.0, 0.88, 0.68};
    if (Pick < 0.94)
        return {1.0, 0.74, 0.48};
    return {1.0, 0.58, 0.42};
}

// One star: most are faint points; the few bright ones get a soft glow, the brightest also spikes.
void PaintStar(TCanvas& Canvas, TRandom& Random, double X, double Y, double Brightness)
{
    const TColour Colour = StarColour(Random);
    const double Radius = 0.45 + 0.35 * std::min(Brightness, 4.0);
    const double Glow = Brightness > 1.5 ? 0.02 * Brightness : 0.0;
    AddStar(Canvas, X, Y, Colour, Brightness, Radius, Glow, 2.0 + 1.2 * std::min(Brightness, 6.0));
    if (Brightness > 8.0)
        AddSpikes(Canvas, X, Y, Colour, 0.35 * Brightness, 10.0 + 3.0 * Brightness, 0.3);
}

void PaintStarField(TCanvas& Canvas, TRandom& Random, int Count)
{
    for (int I = 0; I < Count; ++I) {
        const double X = RandomRange(Random, 0, Canvas.Width);
        const double Y = RandomRange(Random, 0, Canvas.Height);
        // A power law: about one star in eighty glows and one in six hundred has spikes, as in a real field.
        const double Brightness = std::min(0.046 * std::pow(RandomUnit(Random) + 1e-6, -0.8), 14.0);
        PaintStar(Canvas, Random, X, Y, Brightness);
    }
}

void PaintCluster(TCanvas& Canvas, TRandom& Random, double CX, double CY, double Spread, int Count)
{
    for (int I = 0; I < Count; ++I) {
        const double X = CX + RandomBell(Random) * Spread;
        const double Y = CY + RandomBell(Random) * Spread;
        PaintStar(Canvas, Random, X, Y, std::min(0.25 * std::pow(RandomUnit(Random) + 1e-6, -0.6), 3.0));
    }
}

TCanvas PaintScene()
{
    TCanvas Canvas = MakeCanvas(ImageWidth, ImageHeight);
    TRandom Random = MakeRandom(20240611);
    PaintSky(Canvas);
    PaintNebula(Canvas, 170, 610, 240);
    PaintSmudges(Canvas, Random, 14);

    // The main galaxy's core lies at the centre of the program's first view (x 352..671, y 200..439).
    // clang-format off
    const TGalaxy Main{512, 320, -0.42, 0.62, 100, 3.4, 34, 2, 0.48, 2.5, 0.6, 1.3, 2.6, 11,
                       TColour{1.0, 0.78, 0.52}, TColour{1.0, 0.9, 0.78}, TColour{0.45, 0.62, 1.0}};
    // clang-format on
    PaintGalaxy(Canvas, Main);
    PaintGalaxyKnots(Canvas, Main, Random, 3000, 0.55, 0.4);
    PaintGalaxyKnots(Canvas, Main, Random, 140, 1.0, 0.9);

    // clang-format off
    const TGalaxy Distant{880, 630, 0.9, 0.8, 20, 3.2, 6, 3, 0.38, 4.0, 2.0, 0.5, 1.0, 12,
                          TColour{1.0, 0.82, 0.6}, TColour{0.95, 0.9, 0.85}, TColour{0.6, 0.75, 1.0}};
    // clang-format on
    PaintGalaxy(Canvas, Distant);
    PaintGalaxyKnots(Canvas, Distant, Random, 70, 0.9, 0.3);

    // clang-format off
    const TGalaxy EdgeOn{120, 110, 0.35, 0.16, 22, 3.0, 7, 2, 0.35, 3.0, 0.0, 0.55, 3.0, 13,
                         TColour{1.0, 0.85, 0.65}, TColour{0.95, 0.9, 0.85}, TColour{0.7, 0.8, 1.0}};
    // clang-format on
    PaintGalaxy(Canvas, EdgeOn);

    PaintCluster(Canvas, Random, 860, 250, 15, 90);
    PaintStarField(Canvas, Random, 3200);
    return Canvas;
}

} // namespace

int main(int ArgCount, char** Args)
{
    if (ArgCount != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", Args[0]);
        return 2;
    }
    const TRgbImage Image = ToneMap(PaintScene());
    std::string Error;
    if (!WriteBmp24(Args[1], Image, Error)) {
        std::fprintf(stderr, "%s: %s\n", Args[0], Error.c_str());
        return 1;
    }
    return 0;
}
