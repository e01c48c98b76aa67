#include "noise.h"

#include <cmath>

namespace {

// Integer hash of a lattice point: the same point always gets the same value, without a table.
double LatticeValue(std::int64_t X, std::int64_t Y, std::uint32_t Seed)
{
    std::uint64_t H = static_cast<std::uint64_t>(X) * 0x9E3779B185EBCA87ull;
    H ^= static_cast<std::uint64_t>(Y) * 0xC2B2AE3D27D4EB4Full;
    H ^= static_cast<std::uint64_t>(Seed) * 0x165667B19E3779F9ull;
    H ^= H >> 29;
    H *= 0xBF58476D1CE4E5B9ull;
    H ^= H >> 32;
    return static_cast<double>(H >> 11) * 0x1.0p-52 - 1.0;
}

// Quintic fade: the noise has a continuous slope and curvature across lattice lines, so no grid shows.
double Fade(double T)
{
    return T * T * T * (T * (T * 6.0 - 15.0) + 10.0);
}

double Mix(double A, double B, double T)
{
    return A + (B - A) * T;
}

} // namespace

double ValueNoise(double X, double Y, std::uint32_t Seed)
{
    const double FloorX = std::floor(X);
    const double FloorY = std::floor(Y);
    const auto IX = static_cast<std::int64_t>(FloorX);
    const auto IY = static_cast<std::int64_t>(FloorY);
    const double TX = Fade(X - FloorX);
    const double TY = Fade(Y - FloorY);
    const double Top = Mix(LatticeValue(IX, IY, Seed), LatticeValue(IX + 1, IY, Seed), TX);
    const double Bottom = Mix(LatticeValue(IX, IY + 1, Seed), LatticeValue(IX + 1, IY + 1, Seed), TX);
    return Mix(Top, Bottom, TY);
}

double FractalNoise(double X, double Y, std::uint32_t Seed, int Octaves, double Gain)
{
    double Sum = 0.0;
    double Weight = 1.0;
    double TotalWeight = 0.0;
    for (int Octave = 0; Octave < Octaves; ++Octave) {
        // Each octave is shifted so that the lattice points of the layers never line up.
        Sum += Weight * ValueNoise(X + 17.31 * Octave, Y - 9.77 * Octave, Seed + static_cast<std::uint32_t>(Octave));
        TotalWeight += Weight;
        Weight *= Gain;
        X *= 2.0;
        Y *= 2.0;
    }
    return Sum / TotalWeight;
}
