#pragma once
// A small seeded random source for the generators. The standard distributions are implementation-defined, so the
// generators draw from this one instead: the same seed gives the same data files with any standard library.

#include <cstdint>

struct TRandom {
    std::uint64_t State;
};

inline TRandom MakeRandom(std::uint64_t Seed)
{
    return TRandom{Seed};
}

// SplitMix64: fast, well mixed, and fully specified by its few lines.
inline std::uint64_t NextRandom(TRandom& Random)
{
    std::uint64_t Z = (Random.State += 0x9E3779B97F4A7C15ull);
    Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
    Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
    return Z ^ (Z >> 31);
}

// Uniform in [0, 1), from the top 53 bits.
inline double RandomUnit(TRandom& Random)
{
    return static_cast<double>(NextRandom(Random) >> 11) * 0x1.0p-53;
}

inline double RandomRange(TRandom& Random, double Low, double High)
{
    return Low + (High - Low) * RandomUnit(Random);
}

// A rough bell curve (sum of four uniforms, centred, unit variance): enough for scattering stars and knots.
inline double RandomBell(TRandom& Random)
{
    double Sum = 0.0;
    for (int I = 0; I < 4; ++I)
        Sum += RandomUnit(Random);
    return (Sum - 2.0) * 1.7320508075688772;
}
