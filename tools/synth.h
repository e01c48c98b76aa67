#pragma once
// A small synthesiser for the theme music: notes built from harmonic partials under an envelope, written into a
// stereo loop that wraps, so that whatever sounds past the loop's end is heard again at its start and the piece
// repeats without a seam.

#include <cstddef>
#include <vector>

struct TLoop {
    int Rate;                 // frames per second
    std::vector<double> Left; // as many frames in each channel
    std::vector<double> Right;
};

TLoop MakeLoop(int Rate, std::size_t Frames);

// Adds a stereo frame at Frame, taken modulo the loop's length.
void MixInto(TLoop& Loop, std::size_t Frame, double Left, double Right);

// Gains of the left and right channel for Pan from -1 (left) to 1 (right), keeping the loudness constant.
void PanGains(double Pan, double& Left, double& Right);

// Attack rises smoothly from silence, Decay falls towards the Sustain level while the note is held, and after the
// note is let go Release brings it smoothly down to exactly zero. Times in seconds.
struct TEnvelope {
    double Attack;
    double Decay;
    double Sustain;
    double Release;
};

// The level at Time seconds after the start of a note held for Held seconds.
double EnvelopeLevel(const TEnvelope& Envelope, double Time, double Held);

struct TInstrument {
    std::vector<double> Partials; // amplitude of each harmonic, the fundamental first
    double PartialDamping;        // extra decay per second of each harmonic above the first, as a plucked string
    TEnvelope Envelope;
    double VibratoDepth; // as a fraction of the pitch
    double VibratoRate;  // Hz
    double VibratoDelay; // seconds before the vibrato sets in
    int Unison;          // voices per note, detuned against each other and spread across the stereo field
    double DetuneCents;  // between the outermost voices
    double Spread;       // pan distance between the outermost voices
    double Level;
};

// Plays MIDI note Midi (69 is A at 440 Hz) from frame Start, held for Held seconds.
void PlayNote(TLoop& Loop, const TInstrument& Instrument, std::size_t Start, double Held, int Midi, double Velocity,
              double Pan);

// Adds Send to Out as echoes that bounce between the channels, each Delay frames after the one before and
// Feedback times as loud, Taps of them. Taken round the loop, so that the echoes of the end fall into the start.
void AddEcho(TLoop& Out, const TLoop& Send, std::size_t Delay, double Feedback, int Taps);

double PeakLevel(const TLoop& Loop);
void ScaleLoop(TLoop& Loop, double Factor);
