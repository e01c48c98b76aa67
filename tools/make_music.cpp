// Composes and encodes music.ogg, the program's background theme: twelve bars in A minor at 105 beats a minute,
// a lead melody over bass, a soft pad, a plucked arpeggio and light drums, 27.4 seconds that loop for ever.
// The piece is written into a loop that wraps, so the tails of the last notes and echoes sound again under the
// first, and the file's end flows into its start with no seam.
// Usage: brimlet_make_music OUTPUT.ogg. Fixed seeds and a fixed stream serial: every run writes the same bytes.

#include "drums.h"
#include "ogg_vorbis.h"
#include "random.h"
#include "synth.h"
#include "whole_file.h"

#include <cstdio>
#include <string>

namespace {

constexpr int Rate = 22050;               // the rate at which the program opens the audio device
constexpr std::size_t BeatFrames = 12600; // 105 beats a minute: a whole number of frames, so bars join exactly
constexpr int Bars = 12;
constexpr int BeatsPerBar = 4;
constexpr double BeatSeconds = static_cast<double>(BeatFrames) / Rate;
constexpr double PeakTarget = 0.7; // about 3 dB below full scale: room for the encoder's small overshoots

std::size_t AtBeat(double Beat)
{
    return static_cast<std::size_t>(Beat * BeatFrames + 0.5);
}

// The harmony, one chord a bar: Am F C G, Am F C G, F G Em E. The E major of the last bar leads back to the first.
struct TChord {
    int Root;     // bass note
    int Tones[3]; // the chord in the middle register
};
constexpr TChord Chords[Bars] = {
    {45, {57, 60, 64}}, {41, {57, 60, 65}}, {48, {55, 60, 64}}, {43, {55, 59, 62}},
    {45, {57, 60, 64}}, {41, {57, 60, 65}}, {48, {55, 60, 64}}, {43, {55, 59, 62}},
    {41, {57, 60, 65}}, {43, {55, 59, 62}}, {40, {55, 59, 64}}, {40, {56, 59, 64}},
};

struct TNote {
    double Beat;
    double Beats;
    int Midi;
};

// The tune: a rising phrase, its answer reaching higher, and a closing phrase that turns on the E chord and steps
// down from B to the A on which the piece begins again.
constexpr TNote Melody[] = {
    {0, 1, 69},   {1, 1, 72},     {2, 1.5, 76},  {3.5, 0.5, 74},  {4, 2, 72},      {6, 1, 69},      {7, 1, 72},
    {8, 1.5, 76}, {9.5, 0.5, 74}, {10, 1, 72},   {11, 1, 76},     {12, 3, 74},     {15, 1, 71},     {16, 1, 69},
    {17, 1, 72},  {18, 1, 76},    {19, 1, 81},   {20, 1.5, 79},   {21.5, 0.5, 77}, {22, 1, 76},     {23, 1, 72},
    {24, 1, 79},  {25, 1, 76},    {26, 1, 72},   {27, 1, 76},     {28, 2, 74},     {30, 1, 71},     {31, 1, 74},
    {32, 1, 72},  {33, 1, 77},    {34, 2, 81},   {36, 1, 79},     {37, 0.5, 77},   {37.5, 0.5, 76}, {38, 2, 74},
    {40, 1, 76},  {41, 1, 79},    {42, 1.5, 83}, {43.5, 0.5, 81}, {44, 2, 80},     {46, 1, 76},     {47, 1, 71},
};

// Each instrument: its partials, their damping, its envelope (attack, decay, sustain, release), its vibrato (depth,
// rate, delay), its unison (voices, detuning, spread) and its level.

// A soft, slightly hollow lead: odd harmonics first, as a flute or a square wave with the edges rounded off.
const TInstrument Lead{{1.0, 0.12, 0.32, 0.05, 0.16, 0.03, 0.08, 0.02, 0.04},
                       0.0,
                       {0.02, 0.5, 0.7, 0.25},
                       0.004,
                       5.2,
                       0.25,
                       2,
                       6.0,
                       0.3,
                       0.55};
// A warm bass: a sawtooth whose upper harmonics are rolled off.
const TInstrument Bass{
    {1.0, 0.45, 0.25, 0.14, 0.08, 0.05, 0.03, 0.02}, 2.0, {0.006, 0.3, 0.55, 0.08}, 0.0, 0.0, 0.0, 1, 0.0, 0.0, 0.42};
// A slow, wide pad that holds the chords.
const TInstrument Pad{
    {1.0, 0.35, 0.15, 0.08, 0.04, 0.02}, 0.0, {0.35, 1.0, 0.8, 0.9}, 0.0, 0.0, 0.0, 3, 12.0, 1.2, 0.10};
// A plucked, bell-like arpeggio whose upper harmonics die first.
const TInstrument Pluck{{1.0, 0.5, 0.3, 0.18, 0.1}, 9.0, {0.003, 0.28, 0.0, 0.06}, 0.0, 0.0, 0.0, 1, 0.0, 0.0, 0.16};

void PlayMelody(TLoop& Dry, TLoop& Send)
{
    for (const TNote& Note : Melody) {
        // Long notes are leant on a little; the short ones pass.
        const double Velocity = Note.Beats >= 1.5 ? 0.95 : Note.Beats >= 1 ? 0.85 : 0.75;
        const double Held = Note.Beats * BeatSeconds * 0.92;
        PlayNote(Dry, Lead, AtBeat(Note.Beat), Held, Note.Midi, Velocity, 0.1);
        PlayNote(Send, Lead, AtBeat(Note.Beat), Held, Note.Midi, Velocity * 0.35, 0.1);
    }
}

void PlayHarmony(TLoop& Dry, TLoop& Send)
{
    // The bass rocks on the root with an octave and a fifth on the last beat.
    const double BassBeats[] = {0, 1.5, 2, 3, 3.5};
    const int BassSteps[] = {0, 0, 0, 12, 7};
    const double BassLengths[] = {1.3, 0.45, 0.9, 0.45, 0.45};
    // The arpeggio climbs and falls over the chord and its octave.
    const int ArpOrder[] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int Bar = 0; Bar < Bars; ++Bar) {
        const TChord& Chord = Chords[Bar];
        const double BarBeat = Bar * BeatsPerBar;
        for (int I = 0; I < 5; ++I)
            PlayNote(Dry, Bass, AtBeat(BarBeat + BassBeats[I]), BassLengths[I] * BeatSeconds, Chord.Root + BassSteps[I],
                     I == 0 ? 1.0 : 0.8, 0.0);
        for (int Tone : Chord.Tones)
            PlayNote(Dry, Pad, AtBeat(BarBeat), BeatsPerBar * BeatSeconds * 0.9, Tone, 0.8, 0.0);
        // Eighths in the first four bars, sixteenths once the tune has found its feet.
        const double Step = Bar < 4 ? 0.5 : 0.25;
        const int Tones[4] = {Chord.Tones[0], Chord.Tones[1], Chord.Tones[2], Chord.Tones[0] + 12};
        int Index = 0;
        for (double Beat = 0; Beat < BeatsPerBar; Beat += Step, ++Index) {
            const int Midi = Tones[ArpOrder[Index % 8]];
            const double Pan = Index % 2 == 0 ? -0.4 : 0.4;
            const double Velocity = Index % 4 == 0 ? 0.9 : 0.65;
            PlayNote(Dry, Pluck, AtBeat(BarBeat + Beat), Step * BeatSeconds * 0.5, Midi, Velocity, Pan);
            PlayNote(Send, Pluck, AtBeat(BarBeat + Beat), Step * BeatSeconds * 0.5, Midi, Velocity * 0.5, Pan);
        }
    }
}

void PlayDrums(TLoop& Dry, TRandom& Random)
{
    for (int Bar = 0; Bar < Bars; ++Bar) {
        const double BarBeat = Bar * BeatsPerBar;
        const bool Full = Bar >= 4;
        PlayKick(Dry, AtBeat(BarBeat), 1.0);
        if (Full) {
            PlayKick(Dry, AtBeat(BarBeat + 2), 0.9);
            PlayKick(Dry, AtBeat(BarBeat + 2.5), 0.5);
            PlaySnare(Dry, AtBeat(BarBeat + 1), 0.8, Random);
            PlaySnare(Dry, AtBeat(BarBeat + 3), 0.8, Random);
        }
        for (int Eighth = 0; Eighth < 8; ++Eighth)
            PlayHat(Dry, AtBeat(BarBeat + Eighth * 0.5), Eighth % 2 == 1 ? 0.9 : 0.5, 0.3, Random);
    }
    // A rising snare roll in the last beat carries the loop back to its start.
    for (int Sixteenth = 0; Sixteenth < 4; ++Sixteenth)
        PlaySnare(Dry, AtBeat(Bars * BeatsPerBar - 1 + Sixteenth * 0.25), 0.35 + 0.15 * Sixteenth, Random);
}

TLoop ComposeTheme()
{
    const std::size_t Frames = static_cast<std::size_t>(Bars) * BeatsPerBar * BeatFrames;
    TLoop Mix = MakeLoop(Rate, Frames);
    TLoop Send = MakeLoop(Rate, Frames);
    TRandom Random = MakeRandom(105);
    PlayHarmony(Mix, Send);
    PlayMelody(Mix, Send);
    PlayDrums(Mix, Random);
    // Dotted-eighth echoes, which fall between the beats and fill the space without blurring the rhythm.
    AddEcho(Mix, Send, BeatFrames * 3 / 4, 0.55, 5);
    ScaleLoop(Mix, PeakTarget / PeakLevel(Mix));
    return Mix;
}

} // namespace

int main(int ArgCount, char** Args)
{
    if (ArgCount != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ogg\n", Args[0]);
        return 2;
    }
    std::vector<std::uint8_t> Bytes;
    std::string Error;
    if (!EncodeOggVorbis(ComposeTheme(), 0.4f, TOggTags{"Spiral Drift", "brimlet"}, Bytes, Error)
        || !WriteWholeFile(Args[1], Bytes, Error)) {
        std::fprintf(stderr, "%s: %s\n", Args[0], Error.c_str());
        return 1;
    }
    return 0;
}
