#include "media_fixture.h"

#include <SDL_mixer.h>
#include <functional>

#include "media/sdl_init.h"
#include "runtime/errors.h"
#include "sim/sim.h"

namespace {

using InitSdlTest = MediaTest;

// What InitSDL printed, and its screen or what it raised ("class : message").
struct TInitResult {
    std::string Out;
    SDL_Surface* Screen = nullptr;
    std::string Raised;
};

TInitResult RunInitSdl()
{
    TInitResult Result;
    testing::internal::CaptureStdout();
    try {
        Result.Screen = InitSDL();
    } catch (const Exception& Raised) {
        Result.Raised = std::string(Raised.ClassName()) + " : " + Raised.Message;
    }
    Result.Out = testing::internal::GetCapturedStdout();
    return Result;
}

std::string MaskLines(const std::string& Mask, const std::string& Bits, const std::string& Used)
{
    return "Requestet video flags: " + Mask + "\n" + Bits + "used video flags: " + Used + "\n";
}

const std::string Bits18 = "SDL_HWSURFACE = 1\nSDL_DOUBLEBUF = 1\n";
const std::string AllBits = "SDL_SWSURFACE = 1\nSDL_HWSURFACE = 1\nSDL_FULLSCREEN = 1\nSDL_HWACCEL = 1\n"
                            "SDL_DOUBLEBUF = 1\nColor depth = 8\n";

// The video information's two flag bytes, each tested as a whole, choose the flags; a single argument's mask then
// replaces that choice, and a mask that does not convert is raised before anything is printed. A failing call is
// logged with SDL's text and the call's location, then raised.
TEST_F(InitSdlTest, InformationMaskAndFailures)
{
    const std::string Blit = Status("Hardware blit available...", "InitSDL");
    const std::string Hardware = Status("Hardware Surface available...", "InitSDL");
    const std::string Software = Status("Software Surface available...", "InitSDL");
    const struct {
        std::uint32_t Word;
        std::vector<const char*> Arguments;
        std::vector<std::string> Entries; // those of the video information
        std::string Out;
        std::uint32_t Flags;
        int Depth;
        std::string Raised;
        std::function<void()> Arrange = {};
        std::uint32_t MixerAfter = 0xFFFF; // whether SetVolume(255) was reached
    } Cases[] = {
        {0x00000101, {}, {Blit, Hardware}, "", 0x80000101u, 16, ""},
        {0x00000000, {}, {Software}, "", 0x80000000u, 16, ""},
        {0x00000080, {}, {Hardware}, "", 0x80000001u, 16, ""}, // a reserved bit of the first byte
        {0x00000200, {}, {Blit, Software}, "", 0x80000100u, 16, ""},
        {0x00008000, {}, {Blit, Software}, "", 0x80000100u, 16, ""},
        {0x00000100, {}, {Blit, Software}, "", 0x80000100u, 16, ""}, // the reserved bit 8 counts too
        {0xFFFF0000, {}, {Software}, "", 0x80000000u, 16, ""},       // the rest of the word does not
        {0x0101, {"18", "0"}, {Blit, Hardware}, "", 0x80000101u, 16, ""},
        {0x0101, {"0"}, {Blit, Hardware}, MaskLines("00000000", "", "00000000"), 0x00000000u, 16, ""},
        {0x0101, {"18"}, {Blit, Hardware}, MaskLines("00000012", Bits18, "40000001"), 0x40000001u, 16, ""},
        {0x0101, {"63"}, {Blit, Hardware}, MaskLines("0000003F", AllBits, "C0000101"), 0xC0000101u, 8, ""},
        {0x0101, {"-1"}, {Blit, Hardware}, MaskLines("FFFFFFFF", AllBits, "C0000101"), 0xC0000101u, 8, ""},
        {0x0101, {"$12"}, {Blit, Hardware}, MaskLines("00000012", Bits18, "40000001"), 0x40000001u, 16, ""},
        {0x0101, {"0x12"}, {Blit, Hardware}, MaskLines("00000012", Bits18, "40000001"), 0x40000001u, 16, ""},
        {0x0101, {"%10010"}, {Blit, Hardware}, MaskLines("00000012", Bits18, "40000001"), 0x40000001u, 16, ""},
        {0x0101, {"&22"}, {Blit, Hardware}, MaskLines("00000012", Bits18, "40000001"), 0x40000001u, 16, ""},
        {0x0101, {" \t5"}, {Blit, Hardware},
         MaskLines("00000005", "SDL_SWSURFACE = 1\nSDL_FULLSCREEN = 1\n", "80000000"), 0x80000000u, 16, ""},
        {0x0101, {"$FFFFFFC8"}, {Blit, Hardware}, MaskLines("FFFFFFC8", "SDL_HWACCEL = 1\n", "00000100"), 0x00000100u,
         16, ""},
        {0x0101, {"32"}, {Blit, Hardware}, MaskLines("00000020", "Color depth = 8\n", "00000000"), 0x00000000u, 8, ""},
        {0x0101, {"abc"}, {Blit, Hardware}, "", 0, 0, "EConvertError : \"abc\" is an invalid integer"},
        {0x0101, {"4294967296"}, {Blit, Hardware}, "", 0, 0, "EConvertError : \"4294967296\" is an invalid integer"},
        {0x0101, {"18"}, {Error("No available video device", "InitSDL")}, "", 0, 0, "Exception : InitSDL failed",
         [] { SimInjectFault("sdl-video"); }, 0x1234},
        {0x0101, {"18"}, {Error("No available audio device", "InitSDL")}, "", 0, 0, "Exception : InitSDL:Audio failed",
         [] { SimInjectFault("sdl-audio"); }, 0x1234},
        {0x0101, {"18"}, {Error("Video information not available", "InitSDL - SDL_GetVideoInfo")}, "", 0, 0,
         "Exception : InitSDL:Video failed", SimFailVideoInfo},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(testing::Message() << std::hex << Case.Word << " "
                                        << (Case.Arguments.empty() ? "" : Case.Arguments[0]));
        SimReset();
        SimOverrideVideoInfo(Case.Word);
        SetMixerArgument(0x1234);
        if (Case.Arrange)
            Case.Arrange();
        SetArguments(Case.Arguments);
        const TInitResult Result = RunInitSdl();
        EXPECT_EQ(Result.Out, Case.Out);
        EXPECT_EQ(Result.Raised, Case.Raised);
        std::vector<std::string> Entries = Case.Entries;
        if (Case.Raised.empty()) {
            // The entry names the usual depth even for 8 bits.
            Entries.push_back(Status("Set video mode 320x240x16", "InitSDL"));
            Entries.push_back(Status("Done", "InitSDL"));
            EXPECT_EQ(SimLastVideoRequest().Flags, Case.Flags);
            EXPECT_EQ(SimLastVideoRequest().BitsPerPixel, Case.Depth);
        } else {
            EXPECT_FALSE(SimLastVideoRequest().Made);
        }
        EXPECT_EQ(TakeEntries(), Entries);
        EXPECT_EQ(SimMixerArgument(), Case.MixerAfter);
        CloseSdl();
    }
}

// What SDL is left with: audio at 22050 Hz 16-bit stereo, a 320 x 240 screen, no cursor.
TEST_F(InitSdlTest, LeavesSdlStarted)
{
    SDL_Surface* Screen = RunInitSdl().Screen;
    ASSERT_NE(Screen, nullptr);
    EXPECT_EQ(Screen->w, 320);
    EXPECT_EQ(Screen->h, 240);
    EXPECT_NE(Screen->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING) & 0x230u, 0x230u);
    int Rate = 0, Channels = 0;
    Uint16 Format = 0;
    EXPECT_EQ(Mix_QuerySpec(&Rate, &Format, &Channels), 1);
    EXPECT_EQ(Rate, 22050);
    EXPECT_EQ(Format, AUDIO_S16LSB);
    EXPECT_EQ(Channels, 2);

    // A windowed simulator drops SDL_FULLSCREEN from what reaches SDL, while the program's request stays recorded.
    CloseSdl();
    SimSetWindowed(true);
    Screen = RunInitSdl().Screen;
    SimSetWindowed(false);
    ASSERT_NE(Screen, nullptr);
    EXPECT_EQ(Screen->flags & SDL_FULLSCREEN, 0u);
    EXPECT_NE(SimLastVideoRequest().Flags & SDL_FULLSCREEN, 0u);
}

} // namespace
