// The generated music.ogg: Ogg Vorbis at the rate and channels the program opens the audio device with, loaded
// and played by SDL_mixer, at least 20 seconds long, with headroom, and a loop seam that does not click.

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

const std::string MusicPath = BRIMLET_DATA_DIR "/music.ogg";
constexpr long Rate = 22050;

double Rms(const std::vector<std::int16_t>& Samples, std::size_t FirstFrame, std::size_t Frames)
{
    double Sum = 0.0;
    for (std::size_t Index = FirstFrame * 2; Index < (FirstFrame + Frames) * 2; ++Index)
        Sum += static_cast<double>(Samples[Index]) * Samples[Index];
    return std::sqrt(Sum / static_cast<double>(Frames * 2));
}

// The whole piece decoded once, interleaved left and right, with the audio device opened as the program opens it,
// so that SDL_mixer decodes to exactly the file's samples.
class MusicFile : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(Rate, AUDIO_S16LSB, 2, 512), 0) << Mix_GetError();
        Mix_Chunk* Chunk = Mix_LoadWAV(MusicPath.c_str());
        ASSERT_NE(Chunk, nullptr) << Mix_GetError();
        EXPECT_EQ(Chunk->alen % 4, 0u) << "a frame cut in half";
        for (std::size_t Index = 0; Index + 1 < Chunk->alen; Index += 2)
            Samples.push_back(static_cast<std::int16_t>(Chunk->abuf[Index] | Chunk->abuf[Index + 1] << 8));
        Mix_FreeChunk(Chunk);
    }
    static void TearDownTestSuite()
    {
        Mix_CloseAudio();
        SDL_Quit();
    }
    void SetUp() override { ASSERT_GT(Samples.size(), std::size_t{4 * Rate}) << "music.ogg did not decode"; }

    static inline std::vector<std::int16_t> Samples;
};

// The first page holds only the stream's identification: Vorbis version 0, two channels, 22050 frames a second.
// SDL_mixer loads and plays it.
TEST_F(MusicFile, IsVorbisStereoAt22050HzOfTwentySecondsOrMore)
{
    const std::string Bytes = ReadFile(MusicPath);
    EXPECT_EQ(Bytes.substr(0, 4), "OggS");
    EXPECT_EQ(Bytes.substr(26, 18), std::string("\x01\x1E\x01vorbis\0\0\0\0\x02\x22\x56\0\0", 18));
    EXPECT_GE(Samples.size() / 2, 20u * Rate);
    Mix_Music* Music = Mix_LoadMUS(MusicPath.c_str());
    ASSERT_NE(Music, nullptr) << Mix_GetError();
    EXPECT_EQ(Mix_PlayMusic(Music, -1), 0) << Mix_GetError();
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Mix_FreeMusic(Music);
}

// Loud enough to hear, never clipped, with room for the encoder's overshoot; both channels sound, differently.
TEST_F(MusicFile, LevelsHaveHeadroomAndBothChannelsSound)
{
    int Peak = 0;
    std::size_t Differing = 0;
    for (std::size_t Index = 0; Index < Samples.size(); Index += 2) {
        Peak = std::max({Peak, std::abs(int{Samples[Index]}), std::abs(int{Samples[Index + 1]})});
        Differing += std::abs(Samples[Index] - Samples[Index + 1]) > 64;
    }
    EXPECT_LT(Peak, 0.9 * 32768);
    EXPECT_GT(Peak, 0.3 * 32768);
    const double Decibels = 20.0 * std::log10(Rms(Samples, 0, Samples.size() / 2) / 32768);
    EXPECT_GT(Decibels, -26.0);
    EXPECT_LT(Decibels, -12.0);
    EXPECT_GT(Differing, Samples.size() / 8) << "the two channels are nearly the same";
}

// When the piece loops, its last frame is followed by its first. That step has to be no rougher than the music
// around it: no larger jump in value, no sharper bend of the slope than anywhere in the quarter second on either
// side. And neither end may be silent, as an encoder's padding or a fade to nothing would make it.
TEST_F(MusicFile, LoopSeamDoesNotClick)
{
    const long Frames = static_cast<long>(Samples.size() / 2);
    for (int Channel = 0; Channel < 2; ++Channel) {
        // Frame I of the looping playback, I taken round the piece.
        const auto Played = [&](long I) {
            return static_cast<double>(Samples[static_cast<std::size_t>((I % Frames + Frames) % Frames * 2 + Channel)]);
        };
        const auto Step = [&](long I) { return std::abs(Played(I) - Played(I - 1)); };
        const auto Bend = [&](long I) { return std::abs(Played(I) - 2 * Played(I - 1) + Played(I - 2)); };
        double LargestStep = 0.0, LargestBend = 0.0;
        // The steps and bends that reach across the seam, at 0 and 1, are the ones in question.
        for (long I = -Rate / 4; I < Rate / 4; ++I) {
            if (I < 0 || I > 1) {
                LargestStep = std::max(LargestStep, Step(I));
                LargestBend = std::max(LargestBend, Bend(I));
            }
        }
        EXPECT_LE(Step(0), LargestStep) << "channel " << Channel;
        EXPECT_LE(std::max(Bend(0), Bend(1)), LargestBend) << "channel " << Channel;
    }
    const double Overall = Rms(Samples, 0, Samples.size() / 2);
    EXPECT_GT(Rms(Samples, 0, 1024), 0.1 * Overall) << "the piece starts in silence";
    EXPECT_GT(Rms(Samples, Samples.size() / 2 - 1024, 1024), 0.1 * Overall) << "the piece ends in silence";
}

} // namespace
