#include "synth.h"

#include <algorithm>
#include <cmath>

TLoop MakeLoop(int Rate, std::size_t Frames)
{
    return TLoop{Rate, std::vector<double>(Frames, 0.0), std::vector<double>(Frames, 0.0)};
}

void MixInto(TLoop& Loop, std::size_t Frame, double Left, double Right)
{
    const std::size_t At = Frame % Loop.Left.size();
    Loop.Left[At] += Left;
    Loop.Right[At] += Right;
}

void PanGains(double Pan, double& Left, double& Right)
{
    const double Angle = (std::clamp(Pan, -1.0, 1.0) + 1.0) * M_PI / 4.0;
    Left = std::cos(Angle);
    Right = std::sin(Angle);
}

double EnvelopeLevel(const TEnvelope& Envelope, double Time, double Held)
{
    const auto HeldLevel = [&Envelope](double T) {
        // The attack is a raised cosine: it leaves silence with no corner, so the note starts without a click.
        if (T < Envelope.Attack)
            return 0.5 - 0.5 * std::cos(M_PI * T / Envelope.Attack);
        const double Fall = std::exp(-(T - Envelope.Attack) / Envelope.Decay);
        return Envelope.Sustain + (1.0 - Envelope.Sustain) * Fall;
    };
    if (Time < 0.0)
        return 0.0;
    if (Time < Held)
        return HeldLevel(Time);
    const double Into = (Time - Held) / Envelope.Release;
    if (Into >= 1.0)
        return 0.0;
    // An exponential fall that a straight line pulls down to exactly zero at the end of the release.
    return HeldLevel(Held) * std::exp(-3.0 * Into) * (1.0 - Into);
}

void PlayNote(TLoop& Loop, const TInstrument& Instrument, std::size_t Start, double Held, int Midi, double Velocity,
              double Pan)
{
    const double Rate = Loop.Rate;
    const double Pitch = 440.0 * std::pow(2.0, (Midi - 69) / 12.0);
    const auto Frames = static_cast<std::size_t>((Held + Instrument.Envelope.Release) * Rate);
    const double Nyquist = Rate / 2.0;
    for (int Voice = 0; Voice < Instrument.Unison; ++Voice) {
        // Voices spread evenly from -1 to 1: their detuning beats slowly and widens the sound.
        const double Place = Instrument.Unison > 1 ? 2.0 * Voice / (Instrument.Unison - 1) - 1.0 : 0.0;
        const double Frequency = Pitch * std::pow(2.0, Place * Instrument.DetuneCents / 2.0 / 1200.0);
        double Left = 0.0;
        double Right = 0.0;
        PanGains(Pan + Place * Instrument.Spread / 2.0, Left, Right);
        const double Gain = Instrument.Level * Velocity / Instrument.Unison;
        // A partial near the Nyquist limit would fold back as a tone that does not belong to the note.
        std::size_t Audible = 0;
        while (Audible < Instrument.Partials.size() && Frequency * (Audible + 1) < Nyquist * 0.9)
            ++Audible;
        std::vector<double> Amplitude(Instrument.Partials.begin(), Instrument.Partials.begin() + Audible);
        std::vector<double> Damping(Audible);
        for (std::size_t K = 0; K < Audible; ++K)
            Damping[K] = std::exp(-Instrument.PartialDamping * K / Rate);
        double Phase = 0.0; // of the fundamental, in cycles; integrated so that vibrato bends it smoothly
        for (std::size_t Frame = 0; Frame < Frames; ++Frame) {
            const double Time = Frame / Rate;
            const double Level = EnvelopeLevel(Instrument.Envelope, Time, Held) * Gain;
            double Sample = 0.0;
            for (std::size_t K = 0; K < Audible; ++K) {
                Sample += Amplitude[K] * std::sin(2.0 * M_PI * (K + 1) * Phase);
                Amplitude[K] *= Damping[K];
            }
            MixInto(Loop, Start + Frame, Sample * Level * Left, Sample * Level * Right);
            const double Swell = std::clamp((Time - Instrument.VibratoDelay) / 0.3, 0.0, 1.0);
            const double Vibrato =
                1.0 + Instrument.VibratoDepth * Swell * std::sin(2.0 * M_PI * Instrument.VibratoRate * Time);
            Phase += Frequency * Vibrato / Rate;
            Phase -= std::floor(Phase);
        }
    }
}

void AddEcho(TLoop& Out, const TLoop& Send, std::size_t Delay, double Feedback, int Taps)
{
    const std::size_t Length = Send.Left.size();
    double Gain = 1.0;
    for (int Tap = 1; Tap <= Taps; ++Tap) {
        Gain *= Feedback;
        const bool Crossed = Tap % 2 == 1; // odd echoes come back from the other side
        const std::size_t Offset = (Tap * Delay) % Length;
        for (std::size_t Frame = 0; Frame < Length; ++Frame) {
            const std::size_t From = (Frame + Length - Offset) % Length;
            const double Left = Crossed ? Send.Right[From] : Send.Left[From];
            const double Right = Crossed ? Send.Left[From] : Send.Right[From];
            Out.Left[Frame] += Gain * Left;
            Out.Right[Frame] += Gain * Right;
        }
    }
}

double PeakLevel(const TLoop& Loop)
{
    double Peak = 0.0;
    for (std::size_t Frame = 0; Frame < Loop.Left.size(); ++Frame)
        Peak = std::max({Peak, std::abs(Loop.Left[Frame]), std::abs(Loop.Right[Frame])});
    return Peak;
}

void ScaleLoop(TLoop& Loop, double Factor)
{
    for (std::size_t Frame = 0; Frame < Loop.Left.size(); ++Frame) {
        Loop.Left[Frame] *= Factor;
        Loop.Right[Frame] *= Factor;
    }
}
