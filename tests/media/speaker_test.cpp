#include "media_fixture.h"

#include <SDL_mixer.h>
#include <cstring>

#include "media/music.h"
#include "media/sdl_init.h"
#include "sim/sim.h"

namespace {

using SpeakerTest = MediaTest;

// Interleaved stereo: left, right, left, right, ...
const std::vector<std::int16_t> Source = {1000, -1000, 32767, -32768, 1, -1, 199, -199};

TEST_F(SpeakerTest, ScalesByTheMixerLevel)
{
    const struct {
        std::uint32_t Argument;
        std::vector<std::int16_t> Heard;
    } Cases[] = {
        {0x0000, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0x3232, {500, -500, 16383, -16384, 0, 0, 99, -99}},
        {0x6464, Source},
        {0xFFFF, Source}, // SetVolume(255): above 100 counts as 100
        {0x6580, Source},
        {0x1964, {1000, -250, 32767, -8192, 1, 0, 199, -49}},  // left 100, right 25
        {0x6419, {250, -1000, 8191, -32768, 0, -1, 49, -199}}, // left 25, right 100
        {0x00320000 | 0x3232, {500, -500, 16383, -16384, 0, 0, 99, -99}}, // bits above 15 do not count
        {0x0001, {10, 0, 327, 0, 0, 0, 1, 0}},
    };
    for (const auto& Case : Cases) {
        SetMixerArgument(Case.Argument);
        std::vector<std::int16_t> Samples = Source;
        SimSpeakerScale(Samples.data(), Samples.size());
        EXPECT_EQ(Samples, Case.Heard) << std::hex << Case.Argument;
    }
}

std::uint32_t Le32(const std::string& Data, std::size_t At)
{
    std::uint32_t Value = 0;
    for (int Index = 3; Index >= 0; --Index)
        Value = Value << 8 | static_cast<unsigned char>(Data[At + static_cast<std::size_t>(Index)]);
    return Value;
}

std::uint32_t Le16(const std::string& Data, std::size_t At)
{
    return static_cast<unsigned char>(Data[At]) | static_cast<unsigned char>(Data[At + 1]) << 8;
}

// The header of a 16-bit stereo WAV file at 22050 Hz holding DataBytes of samples.
void ExpectWavHeader(const std::string& Wav, std::uint32_t DataBytes)
{
    ASSERT_GE(Wav.size(), 44u);
    EXPECT_EQ(Wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(Wav, 4), 36 + DataBytes);
    EXPECT_EQ(Wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(Wav, 16), 16u);
    EXPECT_EQ(Le16(Wav, 20), 1u);
    EXPECT_EQ(Le16(Wav, 22), 2u);
    EXPECT_EQ(Le32(Wav, 24), 22050u);
    EXPECT_EQ(Le32(Wav, 28), 22050u * 4);
    EXPECT_EQ(Le16(Wav, 32), 4u);
    EXPECT_EQ(Le16(Wav, 34), 16u);
    EXPECT_EQ(Wav.substr(36, 4), "data");
    EXPECT_EQ(Le32(Wav, 40), DataBytes);
    EXPECT_EQ(Wav.size(), 44 + DataBytes);
}

// What SDL_mixer plays reaches the listener scaled per channel, and the capture holds exactly that: the music's
// frames once each, silence around them.
TEST_F(SpeakerTest, CaptureHoldsWhatTheListenerHears)
{
    constexpr int MusicFrames = 5000;
    const std::string Capture = Temp.File("heard.wav");
    ASSERT_TRUE(WriteWav(Temp.File("tone.wav"), 22050, MusicFrames, 10000, -8000));
    ASSERT_TRUE(SimOpenAudioOut(Capture));
    SimOverrideVideoInfo(0);
    InitSDL();
    SetMixerArgument(0x1932); // left 50, right 25

    Mix_Music* Music = nullptr;
    ASSERT_TRUE(LoadMusic(Temp.File("tone.wav"), Music));
    ASSERT_TRUE(PlayMusic(Music, 128, false, 0));
    // The music ends by itself; the bound only keeps a broken audio thread from hanging the test.
    for (int Wait = 0; Wait < 3000 && Mix_PlayingMusic(); ++Wait)
        SDL_Delay(10);
    ASSERT_EQ(Mix_PlayingMusic(), 0);
    FreeMusic(Music);
    CloseSdl();
    SimCloseAudioOut();

    const std::string Wav = ReadFile(Capture);
    ASSERT_GE(Wav.size(), 44u);
    const std::uint32_t DataBytes = Le32(Wav, 40);
    ExpectWavHeader(Wav, DataBytes);
    int Heard = 0, Silent = 0, Other = 0;
    for (std::size_t At = 44; At + 4 <= Wav.size(); At += 4) {
        const auto Left = static_cast<std::int16_t>(Le16(Wav, At));
        const auto Right = static_cast<std::int16_t>(Le16(Wav, At + 2));
        if (Left == 5000 && Right == -2000)
            ++Heard;
        else if (Left == 0 && Right == 0)
            ++Silent;
        else
            ++Other;
    }
    EXPECT_EQ(Heard, MusicFrames);
    EXPECT_EQ(Other, 0);
}

// A reset ends the capture with a complete, empty file; a capture that cannot be made says so.
TEST_F(SpeakerTest, CaptureEndsAtResetAndFailsWhereItCannotWrite)
{
    const std::string Capture = Temp.File("empty.wav");
    ASSERT_TRUE(SimOpenAudioOut(Capture));
    SimReset();
    ExpectWavHeader(ReadFile(Capture), 0);
    EXPECT_FALSE(SimOpenAudioOut(Temp.File("no-such-folder/heard.wav")));
}

} // namespace
