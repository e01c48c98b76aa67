#include "canvas.h"

#include "random.h"

#include <algorithm>
#include <cmath>

TCanvas MakeCanvas(int Width, int Height)
{
    return TCanvas{Width, Height, std::vector<TColour>(static_cast<std::size_t>(Width) * Height, TColour{0, 0, 0})};
}

void AddLight(TCanvas& Canvas, int X, int Y, TColour Light)
{
    if (X < 0 || Y < 0 || X >= Canvas.Width || Y >= Canvas.Height)
        return;
    TColour& Pixel = Canvas.Light[static_cast<std::size_t>(Y) * Canvas.Width + X];
    Pixel = Pixel + Light;
}

void AddStar(TCanvas& Canvas, double X, double Y, TColour Colour, double Peak, double Radius, double GlowPeak,
             double GlowRadius)
{
    // The spot is negligible beyond four sigma and the glow beyond eight of its radii.
    const double Reach = std::max(4.0 * Radius, GlowPeak > 0.0 ? 8.0 * GlowRadius : 0.0);
    const int Left = static_cast<int>(std::floor(X - Reach));
    const int Right = static_cast<int>(std::ceil(X + Reach));
    const int Top = static_cast<int>(std::floor(Y - Reach));
    const int Bottom = static_cast<int>(std::ceil(Y + Reach));
    for (int PY = std::max(Top, 0); PY <= std::min(Bottom, Canvas.Height - 1); ++PY) {
        for (int PX = std::max(Left, 0); PX <= std::min(Right, Canvas.Width - 1); ++PX) {
            const double DX = PX - X;
            const double DY = PY - Y;
            const double Distance2 = DX * DX + DY * DY;
            double Level = Peak * std::exp(-Distance2 / (2.0 * Radius * Radius));
            if (GlowPeak > 0.0)
                Level += GlowPeak * std::exp(-std::sqrt(Distance2) / GlowRadius);
            AddLight(Canvas, PX, PY, Colour * Level);
        }
    }
}

void AddSpikes(TCanvas& Canvas, double X, double Y, TColour Colour, double Peak, double Length, double Angle)
{
    for (int Ray = 0; Ray < 4; ++Ray) {
        const double RayAngle = Angle + Ray * M_PI / 2.0;
        const double CX = std::cos(RayAngle);
        const double CY = std::sin(RayAngle);
        // Steps of a quarter pixel, spread over the two nearest pixels across the ray, keep the ray smooth.
        for (double T = 1.0; T < Length; T += 0.25) {
            const double Fall = std::exp(-3.0 * T / Length) * (1.0 - T / Length);
            const double PX = X + CX * T;
            const double PY = Y + CY * T;
            const int IX = static_cast<int>(std::floor(PX));
            const int IY = static_cast<int>(std::floor(PY));
            const double FX = PX - IX;
            const double FY = PY - IY;
            const TColour Light = Colour * (Peak * Fall * 0.25);
            AddLight(Canvas, IX, IY, Light * ((1 - FX) * (1 - FY)));
            AddLight(Canvas, IX + 1, IY, Light * (FX * (1 - FY)));
            AddLight(Canvas, IX, IY + 1, Light * ((1 - FX) * FY));
            AddLight(Canvas, IX + 1, IY + 1, Light * (FX * FY));
        }
    }
}

namespace {

std::uint8_t ToByte(double Level, double Dither)
{
    const double Curved = 1.0 - std::exp(-Level);
    const double Shown = std::pow(std::clamp(Curved, 0.0, 1.0), 1.0 / 2.2);
    return static_cast<std::uint8_t>(std::clamp(std::floor(Shown * 255.0 + Dither), 0.0, 255.0));
}

} // namespace

TRgbImage ToneMap(const TCanvas& Canvas)
{
    TRgbImage Image{Canvas.Width, Canvas.Height, {}};
    Image.Pixels.reserve(Canvas.Light.size() * 3);
    TRandom Random = MakeRandom(0x5EEDD17Eu);
    for (const TColour& Light : Canvas.Light) {
        // Half a step of the display's 5-bit channels, centred on rounding: enough to break up the bands that
        // their truncation would draw across gradients, too little to show as grain. One value for all three
        // channels, so the grain has no colour.
        const double Dither = RandomRange(Random, -1.5, 2.5);
        Image.Pixels.push_back(ToByte(Light.R, Dither));
        Image.Pixels.push_back(ToByte(Light.G, Dither));
        Image.Pixels.push_back(ToByte(Light.B, Dither));
    }
    return Image;
}
