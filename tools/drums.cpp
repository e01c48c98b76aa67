#include "drums.h"

#include <cmath>

namespace {

// Every hit fades in over a few milliseconds: a hit that starts at full level is a click of its own.
double Onset(double Time)
{
    return Time < 0.002 ? 0.5 - 0.5 * std::cos(M_PI * Time / 0.002) : 1.0;
}

// Noise of a hit, brightened: the difference of successive white noise samples leans towards the high end.
struct TBrightNoise {
    TRandom& Random;
    double Last = 0.0;
    double Next()
    {
        const double White = RandomRange(Random, -1.0, 1.0);
        const double Bright = White - Last;
        Last = White;
        return Bright * 0.5;
    }
};

// A hit of Seconds seconds with a decay that a straight line takes to zero at its end.
double Tail(double Time, double Seconds, double Decay)
{
    return std::exp(-Time / Decay) * (1.0 - Time / Seconds);
}

} // namespace

void PlayKick(TLoop& Loop, std::size_t Start, double Velocity)
{
    const double Seconds = 0.35;
    const auto Frames = static_cast<std::size_t>(Seconds * Loop.Rate);
    double Phase = 0.0;
    for (std::size_t Frame = 0; Frame < Frames; ++Frame) {
        const double Time = static_cast<double>(Frame) / Loop.Rate;
        // The pitch drops quickly from a thump to a low hum, as a struck drum skin does.
        const double Frequency = 48.0 + 110.0 * std::exp(-Time / 0.035);
        const double Sample = std::sin(2.0 * M_PI * Phase) * Onset(Time) * Tail(Time, Seconds, 0.16) * Velocity * 0.7;
        MixInto(Loop, Start + Frame, Sample, Sample);
        Phase += Frequency / Loop.Rate;
        Phase -= std::floor(Phase);
    }
}

void PlaySnare(TLoop& Loop, std::size_t Start, double Velocity, TRandom& Random)
{
    const double Seconds = 0.25;
    const auto Frames = static_cast<std::size_t>(Seconds * Loop.Rate);
    TBrightNoise Noise{Random};
    for (std::size_t Frame = 0; Frame < Frames; ++Frame) {
        const double Time = static_cast<double>(Frame) / Loop.Rate;
        const double Body = std::sin(2.0 * M_PI * 185.0 * Time) * Tail(Time, Seconds, 0.045);
        const double Rattle = Noise.Next() * Tail(Time, Seconds, 0.08);
        const double Sample = (0.5 * Body + 0.9 * Rattle) * Onset(Time) * Velocity * 0.45;
        MixInto(Loop, Start + Frame, Sample * 1.05, Sample * 0.95);
    }
}

void PlayHat(TLoop& Loop, std::size_t Start, double Velocity, double Pan, TRandom& Random)
{
    const double Seconds = 0.09;
    const auto Frames = static_cast<std::size_t>(Seconds * Loop.Rate);
    TBrightNoise Noise{Random};
    double Left = 0.0;
    double Right = 0.0;
    PanGains(Pan, Left, Right);
    for (std::size_t Frame = 0; Frame < Frames; ++Frame) {
        const double Time = static_cast<double>(Frame) / Loop.Rate;
        const double Sample = Noise.Next() * Onset(Time) * Tail(Time, Seconds, 0.022) * Velocity * 0.25;
        MixInto(Loop, Start + Frame, Sample * Left, Sample * Right);
    }
}
