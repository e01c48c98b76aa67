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

constexpr int Rate = 22050;
constexpr double FullScale = 32768.0;

std::uint64_t LittleEndian(const std::string& Bytes, std::size_t At, int Count)
{
    std::uint64_t Value = 0;
    for (int I = Count - 1; I >= 0; --I)
        Value = Value << 8 | static_cast<std::uint8_t>(Bytes[At + I]);
    return Value;
}

// What the Ogg pages of the file say: the first packet's stream description and the last page's position.
struct TOggSummary {
    bool Whole = false;  // the pages follow each other to the file's end
    std::string FirstPacket;
    bool LastEndsStream = false;
    std::uint64_t LastGranule = 0; // the position after the stream's last frame: its length in frames
};

TOggSummary ReadOggPages(const std::string& Bytes)
{
    TOggSummary Summary;
    std::size_t At = 0;
    while (At + 27 <= Bytes.size() && Bytes.compare(At, 4, "OggS") == 0) {
        const std::size_t Segments = static_cast<std::uint8_t>(Bytes[At + 26]);
        if (At + 27 + Segments > Bytes.size())
            return Summary;
        std::size_t Body = 0;
        for (std::size_t I = 0; I < Segments; ++I)
            Body += static_cast<std::uint8_t>(Bytes[At + 27 + I]);
        if (At == 0)
            Summary.FirstPacket = Bytes.substr(At + 27 + Segments, Body);
        Summary.LastEndsStream = (Bytes[At + 5] & 0x04) != 0;
        Summary.LastGranule = LittleEndian(Bytes, At + 6, 8);
        At += 27 + Segments + Body;
    }
    Summary.Whole = At == Bytes.size();
    return Summary;
}

// The audio device opened as the program opens it, so SDL_mixer decodes to exactly the file's samples.
class MusicFile : public testing::Test {
protected:
    void SetUp() override
    {
        // ctest passes only the first of the variables the test folder sets; a value set by hand is kept.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(Rate, AUDIO_S16LSB, 2, 512), 0) << Mix_GetError();
        AudioOpen = true;
        int OpenRate = 0, OpenChannels = 0;
        Uint16 OpenFormat = 0;
        ASSERT_EQ(Mix_QuerySpec(&OpenRate, &OpenFormat, &OpenChannels), 1);
        ASSERT_EQ(OpenRate, Rate);
        ASSERT_EQ(OpenFormat, AUDIO_S16LSB);
        ASSERT_EQ(OpenChannels, 2);
    }
    void TearDown() override
    {
        if (AudioOpen)
            Mix_CloseAudio();
        SDL_Quit();
    }

    // The whole piece decoded, interleaved left and right.
    static std::vector<std::int16_t> Decode()
    {
        std::vector<std::int16_t> Samples;
        Mix_Chunk* Chunk = Mix_LoadWAV(MusicPath.c_str());
        EXPECT_NE(Chunk, nullptr) << Mix_GetError();
        if (Chunk == nullptr)
            return Samples;
        EXPECT_EQ(Chunk->alen % 4, 0u) << "a frame cut in half";
        Samples.resize(Chunk->alen / 2);
        for (std::size_t I = 0; I < Samples.size(); ++I)
            Samples[I] = static_cast<std::int16_t>(Chunk->abuf[2 * I] | Chunk->abuf[2 * I + 1] << 8);
        Mix_FreeChunk(Chunk);
        return Samples;
    }

    bool AudioOpen = false;
};

double Rms(const std::vector<std::int16_t>& Samples, std::size_t FirstFrame, std::size_t Frames)
{
    double Sum = 0.0;
    for (std::size_t I = FirstFrame * 2; I < (FirstFrame + Frames) * 2; ++I)
        Sum += static_cast<double>(Samples[I]) * Samples[I];
    return std::sqrt(Sum / (Frames * 2));
}

} // namespace

TEST(MusicStream, IsVorbisStereoAt22050HzAndStatesItsLength)
{
    const TOggSummary Summary = ReadOggPages(ReadFile(MusicPath));
    EXPECT_TRUE(Summary.Whole);
    ASSERT_GE(Summary.FirstPacket.size(), 16u);
    EXPECT_EQ(Summary.FirstPacket.substr(0, 7), std::string("\x01vorbis", 7));
    EXPECT_EQ(LittleEndian(Summary.FirstPacket, 7, 4), 0u);    // Vorbis version
    EXPECT_EQ(LittleEndian(Summary.FirstPacket, 11, 1), 2u);   // channels
    EXPECT_EQ(LittleEndian(Summary.FirstPacket, 12, 4), 22050u); // frames per second
    EXPECT_TRUE(Summary.LastEndsStream);
    EXPECT_GE(Summary.LastGranule, 20u * Rate);
}

TEST_F(MusicFile, LoadsAndPlaysLoopedThroughSdlMixer)
{
    Mix_Music* Music = Mix_LoadMUS(MusicPath.c_str());
    ASSERT_NE(Music, nullptr) << Mix_GetError();
    EXPECT_EQ(Mix_PlayMusic(Music, -1), 0) << Mix_GetError();
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Mix_HaltMusic();
    Mix_FreeMusic(Music);
}

TEST_F(MusicFile, DecodesToAtLeastTwentySecondsAsTheStreamStates)
{
    const std::vector<std::int16_t> Samples = Decode();
    const std::size_t Frames = Samples.size() / 2;
    EXPECT_GE(Frames, 20u * Rate);
    EXPECT_EQ(Frames, ReadOggPages(ReadFile(MusicPath)).LastGranule);
}

// Loud enough to hear, never clipped, with room for the encoder's overshoot; both channels sound, differently.
TEST_F(MusicFile, LevelsHaveHeadroomAndBothChannelsSound)
{
    const std::vector<std::int16_t> Samples = Decode();
    ASSERT_FALSE(Samples.empty());
    int Peak = 0;
    std::size_t Differing = 0;
    for (std::size_t I = 0; I < Samples.size(); ++I) {
        Peak = std::max(Peak, std::abs(static_cast<int>(Samples[I])));
        if (I % 2 == 0 && std::abs(Samples[I] - Samples[I + 1]) > 64)
            ++Differing;
    }
    EXPECT_LT(Peak, 0.9 * FullScale);
    EXPECT_GT(Peak, 0.3 * FullScale);
    const double Decibels = 20.0 * std::log10(Rms(Samples, 0, Samples.size() / 2) / FullScale);
    EXPECT_GT(Decibels, -26.0);
    EXPECT_LT(Decibels, -12.0);
    const std::size_t Frames = Samples.size() / 2;
    EXPECT_GT(Differing, Frames / 4) << "the two channels are nearly the same";
}

// When the piece loops, its last frame is followed by its first. That step has to be no rougher than the music
// around it: no larger jump in value, no sharper bend of the slope than anywhere in the quarter second on either
// side. And neither end may be silent, as an encoder's padding or a fade to nothing would make it.
TEST_F(MusicFile, LoopSeamDoesNotClick)
{
    const std::vector<std::int16_t> Samples = Decode();
    const long Frames = static_cast<long>(Samples.size() / 2);
    ASSERT_GT(Frames, 2 * Rate);
    for (int Channel = 0; Channel < 2; ++Channel) {
        // Frame I of the looping playback, I taken round the piece.
        const auto Played = [&](long I) {
            return static_cast<double>(Samples[((I % Frames + Frames) % Frames) * 2 + Channel]);
        };
        const auto Step = [&](long I) { return std::abs(Played(I) - Played(I - 1)); };
        const auto Bend = [&](long I) { return std::abs(Played(I) - 2 * Played(I - 1) + Played(I - 2)); };
        double LargestStep = 0.0, LargestBend = 0.0;
        for (long I = -Rate / 4; I < Rate / 4; ++I) {
            if (I < 0 || I > 1) { // the steps and bends that reach across the seam are the ones in question
                LargestStep = std::max(LargestStep, Step(I));
                LargestBend = std::max(LargestBend, Bend(I));
            }
        }
        EXPECT_LE(Step(0), LargestStep) << "channel " << Channel;
        EXPECT_LE(Bend(0), LargestBend) << "channel " << Channel;
        EXPECT_LE(Bend(1), LargestBend) << "channel " << Channel;
    }
    const double Overall = Rms(Samples, 0, Frames);
    EXPECT_GT(Rms(Samples, 0, 1024), 0.1 * Overall) << "the piece starts in silence";
    EXPECT_GT(Rms(Samples, Frames - 1024, 1024), 0.1 * Overall) << "the piece ends in silence";
}
