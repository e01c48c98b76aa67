#include "media_fixture.h"

#include <SDL_mixer.h>

#include "media/music.h"
#include "media/sdl_init.h"
#include "sim/sim.h"

namespace {

using SpeakerTest = MediaTest;

TEST_F(SpeakerTest, ScalesByTheMixerLevel)
{
    // Interleaved stereo: left, right, left, right, ...
    const std::vector<std::int16_t> Source = {1000, -1000, 32767, -32768, 1, -1, 199, -199};
    const struct {
        std::uint32_t Argument;
        std::vector<std::int16_t> Heard;
    } Cases[] = {
        {0x0000, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0x3232, {500, -500, 16383, -16384, 0, 0, 99, -99}},
        {0xFFFF, Source}, // SetVolume(255): above 100 counts as 100
        {0x6580, Source},
        {0x1964, {1000, -250, 32767, -8192, 1, 0, 199, -49}},  // left 100, right 25
        {0x6419, {250, -1000, 8191, -32768, 0, -1, 49, -199}}, // left 25, right 100
        {0x00323232, {500, -500, 16383, -16384, 0, 0, 99, -99}}, // bits above 15 do not count
        {0x0001, {10, 0, 327, 0, 0, 0, 1, 0}},
    };
    for (const auto& Case : Cases) {
        SetMixerArgument(Case.Argument);
        std::vector<std::int16_t> Samples = Source;
        SimSpeakerScale(Samples.data(), Samples.size());
        EXPECT_EQ(Samples, Case.Heard) << std::hex << Case.Argument;
    }
}

// What SDL_mixer plays reaches the listener scaled per channel, and the capture holds exactly that: the music's
// frames once each, silence around them.
TEST_F(SpeakerTest, CaptureHoldsWhatTheListenerHears)
{
    const std::string Capture = Temp.File("heard.wav");
    ASSERT_TRUE(WriteWav(Temp.File("tone.wav"), 5000, 10000, -8000));
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
    EXPECT_EQ(Wav.substr(0, 44), WavHeader(static_cast<std::uint32_t>(Wav.size() - 44)));
    const std::string Heard = Le(5000, 2) + Le(static_cast<std::uint16_t>(-2000), 2);
    int HeardFrames = 0, Other = 0;
    for (std::size_t At = 44; At + 4 <= Wav.size(); At += 4) {
        const std::string Frame = Wav.substr(At, 4);
        HeardFrames += Frame == Heard;
        Other += Frame != Heard && Frame != std::string(4, '\0');
    }
    EXPECT_EQ(HeardFrames, 5000);
    EXPECT_EQ(Other, 0);
}

} // namespace
