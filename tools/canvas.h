#pragma once
// A canvas of linear light for painting the sky: light adds up as it does in a long exposure, and only the final
// tone mapping turns it into 8-bit colour.

#include "bmp_file.h"

#include <algorithm>
#include <vector>

struct TColour {
    double R, G, B;
};

inline TColour operator*(TColour C, double K)
{
    return {C.R * K, C.G * K, C.B * K};
}
inline TColour operator+(TColour A, TColour B)
{
    return {A.R + B.R, A.G + B.G, A.B + B.B};
}
inline TColour Blend(TColour A, TColour B, double T)
{
    return A * (1.0 - T) + B * T;
}

struct TCanvas {
    int Width;
    int Height;
    std::vector<TColour> Light; // top row first
};

// 0 below Edge0, 1 above Edge1 and a smooth S-curve between: soft edges for everything painted.
inline double SmoothStep(double Edge0, double Edge1, double X)
{
    const double T = std::clamp((X - Edge0) / (Edge1 - Edge0), 0.0, 1.0);
    return T * T * (3.0 - 2.0 * T);
}

TCanvas MakeCanvas(int Width, int Height);

// Adds Light at pixel (X, Y); a point outside the canvas is ignored.
void AddLight(TCanvas& Canvas, int X, int Y, TColour Light);

// A round Gaussian spot centred at (X, Y) (pixel centres at whole numbers) with the given peak and radius (sigma),
// plus, for bright stars, a wide soft glow of GlowPeak falling off over GlowRadius, as a lens and the eye see it.
void AddStar(TCanvas& Canvas, double X, double Y, TColour Colour, double Peak, double Radius, double GlowPeak = 0.0,
             double GlowRadius = 0.0);

// Thin crossed rays through (X, Y), the diffraction spikes of the very brightest stars.
void AddSpikes(TCanvas& Canvas, double X, double Y, TColour Colour, double Peak, double Length, double Angle);

// Tone mapping: an exposure curve that keeps faint detail visible and lets bright cores run smoothly to white,
// then the display's gamma. A small fixed dither breaks up the steps that the display's 5- and 6-bit channels
// would otherwise show in smooth gradients.
TRgbImage ToneMap(const TCanvas& Canvas);
