#include "media_fixture.h"

#include <SDL_mixer.h>
#include <functional>

#include "media/sdl_init.h"
#include "runtime/errors.h"
#include "sim/sim.h"

namespace {

using InitSdlTest = MediaTest;

// What InitSDL raised: the error's class and message, or "" for both when it returned a screen.
struct TRaised {
    std::string ClassName;
    std::string Message;
};

TRaised RunInitSdl(SDL_Surface*& Screen)
{
    Screen = nullptr;
    try {
        Screen = InitSDL();
    } catch (const Exception& Raised) {
        return {Raised.ClassName(), Raised.Message};
    }
    return {};
}

struct TMaskCase {
    std::vector<const char*> Arguments;
    std::vector<std::string> Lines; // standard output
    std::uint32_t Flags;            // of the mode request
    int Depth;
};

const std::vector<std::string> Mask18Lines = {"SDL_HWSURFACE = 1", "SDL_DOUBLEBUF = 1", "used video flags: 40000001"};

std::vector<std::string> WithMaskLine(const std::string& Mask, const std::vector<std::string>& Rest)
{
    std::vector<std::string> Lines{"Requestet video flags: " + Mask};
    Lines.insert(Lines.end(), Rest.begin(), Rest.end());
    return Lines;
}

const std::vector<std::string> AllBitLines = {"SDL_SWSURFACE = 1", "SDL_HWSURFACE = 1", "SDL_FULLSCREEN = 1",
                                              "SDL_HWACCEL = 1",   "SDL_DOUBLEBUF = 1", "Color depth = 8",
                                              "used video flags: C0000101"};

// The flag mask replaces the choice from the video information (here: no hardware at all, so 0x80000000).
TEST_F(InitSdlTest, FlagMaskTable)
{
    const TMaskCase Cases[] = {
        {{}, {}, 0x80000000u, 16},
        {{"18", "0"}, {}, 0x80000000u, 16},
        {{"0"}, WithMaskLine("00000000", {"used video flags: 00000000"}), 0x00000000u, 16},
        {{"18"}, WithMaskLine("00000012", Mask18Lines), 0x40000001u, 16},
        {{"63"}, WithMaskLine("0000003F", AllBitLines), 0xC0000101u, 8},
        {{"-1"}, WithMaskLine("FFFFFFFF", AllBitLines), 0xC0000101u, 8},
        {{"$12"}, WithMaskLine("00000012", Mask18Lines), 0x40000001u, 16},
        {{"0x12"}, WithMaskLine("00000012", Mask18Lines), 0x40000001u, 16},
        {{"%10010"}, WithMaskLine("00000012", Mask18Lines), 0x40000001u, 16},
        {{"&22"}, WithMaskLine("00000012", Mask18Lines), 0x40000001u, 16},
        {{" \t5"}, WithMaskLine("00000005", {"SDL_SWSURFACE = 1", "SDL_FULLSCREEN = 1", "used video flags: 80000000"}),
         0x80000000u, 16},
        {{"$FFFFFFC8"}, WithMaskLine("FFFFFFC8", {"SDL_HWACCEL = 1", "used video flags: 00000100"}), 0x00000100u,
         16},
        {{"32"}, WithMaskLine("00000020", {"Color depth = 8", "used video flags: 00000000"}), 0x00000000u, 8},
    };
    for (const TMaskCase& Case : Cases) {
        const std::string Name = Case.Arguments.empty() ? "(none)" : Case.Arguments[0];
        SimReset();
        SimOverrideVideoInfo(0);
        SetArguments(Case.Arguments);

        testing::internal::CaptureStdout();
        SDL_Surface* Screen;
        const TRaised Raised = RunInitSdl(Screen);
        const std::string Output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(Raised.Message, "") << Name;
        EXPECT_NE(Screen, nullptr) << Name;
        EXPECT_EQ(SplitLines(Output), Case.Lines) << Name;
        const TSimVideoRequest Request = SimLastVideoRequest();
        EXPECT_TRUE(Request.Made) << Name;
        EXPECT_EQ(Request.Width, 320) << Name;
        EXPECT_EQ(Request.Height, 240) << Name;
        EXPECT_EQ(Request.Flags, Case.Flags) << Name;
        EXPECT_EQ(Request.BitsPerPixel, Case.Depth) << Name;
        if (Screen) {
            EXPECT_EQ(Screen->format->BitsPerPixel, Case.Depth) << Name;
        }
        // The entry names the usual depth even for 8 bits.
        EXPECT_EQ(TakeEntries(), (std::vector<std::string>{Status("Software Surface available...", "InitSDL"),
                                                            Status("Set video mode 320x240x16", "InitSDL"),
                                                            Status("Done", "InitSDL")}))
            << Name;
        CloseSdl();
    }
}

// A mask that does not convert is raised before anything is printed and before the mode is set.
TEST_F(InitSdlTest, MaskThatDoesNotConvert)
{
    const std::pair<const char*, const char*> Cases[] = {
        {"abc", "\"abc\" is an invalid integer"},
        {"4294967296", "\"4294967296\" is an invalid integer"},
        {"$100000000", "\"$100000000\" is an invalid integer"},
        {" 12 ", "\" 12 \" is an invalid integer"},
        {"", "\"\" is an invalid integer"},
    };
    for (const auto& Case : Cases) {
        SimReset();
        SimOverrideVideoInfo(0x0101);
        SetArguments({Case.first});
        testing::internal::CaptureStdout();
        SDL_Surface* Screen;
        const TRaised Raised = RunInitSdl(Screen);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << Case.first;
        EXPECT_EQ(Raised.ClassName, "EConvertError") << Case.first;
        EXPECT_EQ(Raised.Message, Case.second);
        EXPECT_FALSE(SimLastVideoRequest().Made) << Case.first;
        // The information's entries come before the mask is read; nothing is logged for the mask itself.
        EXPECT_EQ(TakeEntries(), (std::vector<std::string>{Status("Hardware blit available...", "InitSDL"),
                                                            Status("Hardware Surface available...", "InitSDL")}))
            << Case.first;
        CloseSdl();
    }
}

// The video information's two flag bytes, each tested as a whole, without an argument.
TEST_F(InitSdlTest, VideoInformationBranches)
{
    const std::string Blit = Status("Hardware blit available...", "InitSDL");
    const std::string Hardware = Status("Hardware Surface available...", "InitSDL");
    const std::string Software = Status("Software Surface available...", "InitSDL");
    const struct {
        std::uint32_t Word;
        std::vector<std::string> Entries;
        std::uint32_t Flags;
    } Cases[] = {
        {0x00000101, {Blit, Hardware}, 0x80000101u},
        {0x00000000, {Software}, 0x80000000u},
        {0x00000001, {Hardware}, 0x80000001u},
        {0x00000002, {Hardware}, 0x80000001u},  // wm_available alone
        {0x00000080, {Hardware}, 0x80000001u},  // a reserved bit of the first byte
        {0x00000200, {Blit, Software}, 0x80000100u},
        {0x00008000, {Blit, Software}, 0x80000100u},
        {0x00000100, {Blit, Software}, 0x80000100u}, // the reserved bit 8 counts too
        {0xFFFF0000, {Software}, 0x80000000u},       // the rest of the word does not
    };
    for (const auto& Case : Cases) {
        SimReset();
        SimOverrideVideoInfo(Case.Word);
        SDL_Surface* Screen;
        testing::internal::CaptureStdout();
        const TRaised Raised = RunInitSdl(Screen);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(Raised.Message, "") << std::hex << Case.Word;
        EXPECT_EQ(SimLastVideoRequest().Flags, Case.Flags) << std::hex << Case.Word;
        EXPECT_EQ(SimLastVideoRequest().BitsPerPixel, 16);
        std::vector<std::string> Expected = Case.Entries;
        Expected.push_back(Status("Set video mode 320x240x16", "InitSDL"));
        Expected.push_back(Status("Done", "InitSDL"));
        EXPECT_EQ(TakeEntries(), Expected) << std::hex << Case.Word;
        CloseSdl();
    }
}

// The entries of the information are written also when a mask then replaces their flags.
TEST_F(InitSdlTest, MaskOverridesHardwareFlags)
{
    SimOverrideVideoInfo(0x0101);
    SetArguments({"0"});
    testing::internal::CaptureStdout();
    SDL_Surface* Screen;
    EXPECT_EQ(RunInitSdl(Screen).Message, "");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(SimLastVideoRequest().Flags, 0u);
    EXPECT_EQ(TakeEntries(), (std::vector<std::string>{Status("Hardware blit available...", "InitSDL"),
                                                        Status("Hardware Surface available...", "InitSDL"),
                                                        Status("Set video mode 320x240x16", "InitSDL"),
                                                        Status("Done", "InitSDL")}));
}

// What SDL is left with: audio at 22050 Hz 16-bit stereo, the mixer at 255, a 320 x 240 screen, no cursor.
TEST_F(InitSdlTest, LeavesSdlStarted)
{
    SetMixerArgument(0x1234);
    SDL_Surface* Screen;
    ASSERT_EQ(RunInitSdl(Screen).Message, "");
    ASSERT_NE(Screen, nullptr);
    EXPECT_EQ(Screen, SDL_GetVideoSurface());
    EXPECT_EQ(Screen->w, 320);
    EXPECT_EQ(Screen->h, 240);
    EXPECT_EQ(Screen->format->BitsPerPixel, 16);
    EXPECT_EQ(Screen->clip_rect.x, 0);
    EXPECT_EQ(Screen->clip_rect.y, 0);
    EXPECT_EQ(Screen->clip_rect.w, 320);
    EXPECT_EQ(Screen->clip_rect.h, 240);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING) & 0x230u, 0x230u);
    int Rate = 0, Channels = 0;
    Uint16 Format = 0;
    EXPECT_EQ(Mix_QuerySpec(&Rate, &Format, &Channels), 1);
    EXPECT_EQ(Rate, 22050);
    EXPECT_EQ(Format, AUDIO_S16LSB);
    EXPECT_EQ(Channels, 2);
    EXPECT_EQ(SimMixerArgument(), 0xFFFFu);
}

// A windowed simulator drops SDL_FULLSCREEN from what reaches SDL, while the program's request stays recorded.
TEST_F(InitSdlTest, WindowedPresentationDropsFullScreen)
{
    for (const bool Windowed : {false, true}) {
        SimReset();
        SimOverrideVideoInfo(0);
        SimSetWindowed(Windowed);
        SDL_Surface* Screen;
        ASSERT_EQ(RunInitSdl(Screen).Message, "");
        EXPECT_EQ(SimLastVideoRequest().Flags, 0x80000000u);
        EXPECT_EQ((Screen->flags & SDL_FULLSCREEN) != 0, !Windowed);
        CloseSdl();
    }
    SimSetWindowed(false);
}

// Each failing call: its entry carries SDL's text and the call's location, then the error is raised.
TEST_F(InitSdlTest, Failures)
{
    const struct {
        const char* Name;
        std::function<void()> Arrange;
        std::string Entry;
        const char* Message;
        std::uint32_t MixerAfter;
    } Cases[] = {
        {"sdl-video", [] { ASSERT_TRUE(SimInjectFault("sdl-video")); },
         Error("No available video device", "InitSDL"), "InitSDL failed", 0x1234u},
        {"sdl-audio", [] { ASSERT_TRUE(SimInjectFault("sdl-audio")); },
         Error("No available audio device", "InitSDL"), "InitSDL:Audio failed", 0x1234u},
        {"video information", [] { SimFailVideoInfo(); },
         Error("Video information not available", "InitSDL - SDL_GetVideoInfo"), "InitSDL:Video failed", 0xFFFFu},
    };
    for (const auto& Case : Cases) {
        SimReset();
        SetMixerArgument(0x1234);
        Case.Arrange();
        SetArguments({"18"});
        testing::internal::CaptureStdout();
        SDL_Surface* Screen;
        const TRaised Raised = RunInitSdl(Screen);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << Case.Name;
        EXPECT_EQ(Raised.ClassName, "Exception") << Case.Name;
        EXPECT_EQ(Raised.Message, Case.Message) << Case.Name;
        EXPECT_EQ(Screen, nullptr) << Case.Name;
        EXPECT_FALSE(SimLastVideoRequest().Made) << Case.Name;
        EXPECT_EQ(TakeEntries(), std::vector<std::string>{Case.Entry}) << Case.Name;
        // Whether SetVolume(255) was reached.
        EXPECT_EQ(SimMixerArgument(), Case.MixerAfter) << Case.Name;
        CloseSdl();
    }
}

// Without a video device SDL's other subsystems still start; only the video part fails.
TEST_F(InitSdlTest, VideoFaultLeavesOtherSubsystemsAlone)
{
    ASSERT_TRUE(SimInjectFault("sdl-video"));
    EXPECT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    EXPECT_EQ(SDL_Init(SDL_INIT_VIDEO), -1);
    EXPECT_STREQ(SDL_GetError(), "No available video device");
}

} // namespace
