// SDL start-up, music and images: what the program asked of SDL, what it printed and what it logged.

#include <SDL_mixer.h>
#include <tuple>

#include "media/image.h"
#include "media/music.h"
#include "media/sdl_init.h"
#include "program.h"
#include "runtime/errors.h"
#include "runtime/program_args.h"

namespace {

// A fresh device, the log in a folder of the test's own, and SDL closed afterwards.
class Media : public testing::Test {
protected:
    void SetUp() override
    {
        FreshDevice();
        FixLogger(Dir.File("brimlet"), 12, 34, 56);
        LoggerInitialization();
        Entries();
    }
    void TearDown() override
    {
        CloseSdl();
        LoggerFinalization();
    }
    static void CloseSdl()
    {
        Mix_CloseAudio();
        SDL_Quit();
    }
    // The log's entries since the last call as "MESSAGE IN : LOCATION", an error's with "ERROR " in front.
    TLines Entries()
    {
        const std::string Text = ReadFile(Dir.File("brimlet.log"));
        TLines New;
        for (std::size_t End; (End = Text.find("\r\n\n", Read)) != std::string::npos; Read = End + 3)
            New.push_back(Text[Read] == '*' ? "ERROR " + Text.substr(Read + 33, End - Read - 33)
                                            : Text.substr(Read + 31, End - Read - 31));
        return New;
    }

    TTempDir Dir;
    std::size_t Read = 0;
};

std::string Mask(const char* Requested, const char* Bits, const char* Used)
{
    return std::string("Requestet video flags: ") + Requested + "\n" + Bits + "used video flags: " + Used + "\n";
}

// The video information's flag bytes, each tested whole, or a single argument's mask choose the mode. A failing
// call is logged with SDL's reason, then raised.
TEST_F(Media, InitSdlChoosesTheModeAndLogsEachStep)
{
    const std::string Blit = "Hardware blit available... IN : InitSDL";
    const std::string Hardware = "Hardware Surface available... IN : InitSDL";
    const std::string Software = "Software Surface available... IN : InitSDL";
    // Word: the information's first 32 bits; "video-info" fails SDL_GetVideoInfo; Depth 0: no mode requested.
    const struct { std::uint32_t Word; std::vector<std::string> Arguments; std::string Fault; TLines Logged;
                   std::string Out; std::uint32_t Flags; int Depth; std::string Raised; } Cases[] = {
        {0x0101, {}, "", {Blit, Hardware}, "", 0x80000101, 16, ""},
        {0x0000, {}, "", {Software}, "", 0x80000000, 16, ""},
        {0x0080, {}, "", {Hardware}, "", 0x80000001, 16, ""},
        {0x8000, {}, "", {Blit, Software}, "", 0x80000100, 16, ""},
        {0xFFFF0000, {}, "", {Software}, "", 0x80000000, 16, ""},
        {0x0101, {"2", "0"}, "", {Blit, Hardware}, "", 0x80000101, 16, ""},
        {0x0101, {"1"}, "", {Blit, Hardware}, Mask("00000001", "SDL_SWSURFACE = 1\n", "00000000"), 0, 16, ""},
        {0, {"2"}, "", {Software}, Mask("00000002", "SDL_HWSURFACE = 1\n", "00000001"), 1, 16, ""},
        {0, {"$4"}, "", {Software}, Mask("00000004", "SDL_FULLSCREEN = 1\n", "80000000"), 0x80000000, 16, ""},
        {0, {"8"}, "", {Software}, Mask("00000008", "SDL_HWACCEL = 1\n", "00000100"), 0x100, 16, ""},
        {0, {"16"}, "", {Software}, Mask("00000010", "SDL_DOUBLEBUF = 1\n", "40000000"), 0x40000000, 16, ""},
        {0, {"32"}, "", {Software}, Mask("00000020", "Color depth = 8\n", "00000000"), 0, 8, ""},
        {0, {"abc"}, "", {Software}, "", 0, 0, "EConvertError : \"abc\" is an invalid integer"},
        {0, {}, "sdl-video", {"ERROR No available video device IN : InitSDL"}, "", 0, 0, "Exception : InitSDL failed"},
        {0, {}, "sdl-audio", {"ERROR No available audio device IN : InitSDL"}, "", 0, 0,
         "Exception : InitSDL:Audio failed"},
        {0, {}, "video-info", {"ERROR Video information not available IN : InitSDL - SDL_GetVideoInfo"}, "", 0, 0,
         "Exception : InitSDL:Video failed"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(testing::Message() << "case " << &Case - Cases);
        FreshDevice();
        SimOverrideVideoInfo(Case.Word);
        if (Case.Fault == "video-info")
            SimFailVideoInfo();
        SimInjectFault(Case.Fault);
        std::vector<char*> Words = {const_cast<char*>("brimlet")};
        for (const std::string& Argument : Case.Arguments)
            Words.push_back(const_cast<char*>(Argument.c_str()));
        SetProgramArguments(static_cast<int>(Words.size()), Words.data());
        std::string Raised;
        testing::internal::CaptureStdout();
        try {
            InitSDL();
        } catch (const Exception& Failure) {
            Raised = std::string(Failure.ClassName()) + " : " + Failure.Message;
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), Case.Out);
        EXPECT_EQ(Raised, Case.Raised);
        TLines Logged = Case.Logged;
        if (Case.Raised.empty()) // the entry names the usual depth even for 8 bits
            Logged.insert(Logged.end(), {"Set video mode 320x240x16 IN : InitSDL", "Done IN : InitSDL"});
        EXPECT_EQ(Entries(), Logged);
        const TSimVideoRequest Request = SimLastVideoRequest();
        EXPECT_EQ(std::make_tuple(Request.Made, Request.Width, Request.Height, Request.BitsPerPixel, Request.Flags),
                  Case.Depth == 0 ? std::make_tuple(false, 0, 0, 0, 0u)
                                  : std::make_tuple(true, 320, 240, Case.Depth, Case.Flags));
        EXPECT_EQ(SimMixerLevel(), Case.Fault.rfind("sdl-", 0) == 0 ? 0u : 0xFFFFu);
        CloseSdl();
    }
}

// Loading over a playing handle stops and frees it first; a file that does not load leaves no handle.
TEST_F(Media, MusicLoadsPlaysAndFreesWithItsEntries)
{
    ASSERT_NE(InitSDL(), nullptr);
    Entries();
    const std::string Song = BRIMLET_DATA_DIR "/music.ogg";
    Mix_Music* Music = nullptr;
    EXPECT_FALSE(PlayMusic(nullptr, 128, true, 0));
    ASSERT_TRUE(LoadMusic(Song, Music));
    EXPECT_TRUE(PlayMusic(Music, 20, true, 0));
    EXPECT_FALSE(PlayMusic(Music, 100, true, 0));
    EXPECT_EQ(Mix_VolumeMusic(-1), 20);
    EXPECT_FALSE(LoadMusic(Dir.File("missing.ogg"), Music));
    EXPECT_EQ(Music, nullptr);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    ASSERT_TRUE(LoadMusic(Song, Music));
    EXPECT_TRUE(FreeMusic(Music));
    EXPECT_EQ(Music, nullptr);
    const std::string Loaded = "Music \"" + Song + "\" loaded IN : LoadMusic";
    EXPECT_EQ(Entries(),
              (TLines{"ERROR music parameter was NULL IN : PlayMusic", Loaded, "Playing started IN : PlayMusic",
                      "ERROR Couldn't open '" + Dir.File("missing.ogg") + "' IN : SDLMusic::LoadFromFile", Loaded}));
}

const std::uint16_t Colours[] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x11AA};

// In the screen's format, keyed as asked (red in the low byte; 0x00FFFFFF: none); a failure leaves null behind.
TEST_F(Media, ImagesLoadConvertedAndKeyedOrAreRefused)
{
    const std::string File = Dir.File("image.bmp");
    ASSERT_TRUE(WriteFile(File, Rgb565Bmp(6, 1, [](int X, int) { return Colours[X]; })));
    SDL_Surface* Image = nullptr;
    EXPECT_FALSE(LoadImage(File, Image, NoColorKey));
    EXPECT_EQ(Entries(), TLines{"ERROR No video mode has been set IN : LoadImage"});

    ASSERT_NE(InitSDL(), nullptr);
    Entries();
    for (const auto& [Key, Mapped] :
         {std::pair{0x00FFFFFFu, -1}, {0x000000FFu, 0xF800}, {0x00FF0000u, 0x001F}, {0xFF000000u, 0x0000}}) {
        ASSERT_TRUE(LoadImage(File, Image, Key));
        const auto* Pixels = static_cast<const std::uint16_t*>(Image->pixels);
        EXPECT_EQ(std::vector<std::uint16_t>(Pixels, Pixels + 6), std::vector<std::uint16_t>(Colours, Colours + 6));
        EXPECT_EQ((Image->flags & SDL_SRCCOLORKEY) != 0 ? static_cast<int>(Image->format->colorkey) : -1, Mapped);
        EXPECT_TRUE(FreeImage(Image));
        EXPECT_EQ(Image, nullptr);
    }
    ASSERT_TRUE(LoadImage(File, Image, NoColorKey));
    SDL_Surface* Held = Image;
    EXPECT_FALSE(LoadImage(Dir.File("missing.bmp"), Image, NoColorKey));
    EXPECT_EQ(Image, nullptr);
    EXPECT_EQ(Entries(), TLines{"ERROR Couldn't open " + Dir.File("missing.bmp") + " IN : LoadImage"});
    FreeImage(Held);

    // Cut inside its file header or its info header (40 bytes, 12 in the oldest kind), a bitmap never reaches
    // SDL_image; cut later, it loads or SDL_image refuses it, without reading out of bounds.
    const std::string Valid = Rgb565Bmp(2, 2, [](int X, int Y) { return Colours[X + Y]; });
    std::string Core = Valid;
    Core[14] = 12;
    std::vector<std::pair<std::string, bool>> Cuts = {{Core.substr(0, 25), true}, {Core.substr(0, 26), false}};
    for (std::size_t Length = 0; Length <= Valid.size(); ++Length)
        Cuts.emplace_back(Valid.substr(0, Length), Length >= 2 && Length < 54);
    for (const auto& [Content, Cut] : Cuts) {
        ASSERT_TRUE(WriteFile(File, Content));
        const bool Loaded = LoadImage(File, Image, NoColorKey);
        const TLines Logged = Entries();
        EXPECT_EQ(Loaded, Logged.empty()) << Content.size() << " bytes";
        EXPECT_EQ(Logged == TLines{"ERROR Bitmap cut inside its headers IN : LoadImage"}, Cut) << Content.size();
        EXPECT_TRUE(Loaded || Content.size() < Valid.size());
        FreeImage(Image);
    }
}

// A bitmap's width and height as its header gives them: SDL_image refuses most sizes that the program could not
// compute with, but takes a height of -2^31 (rows top-down) as a negative height, which the loader refuses itself.
TEST_F(Media, ImagesOfUnusableSizeAreRefused)
{
    ASSERT_NE(InitSDL(), nullptr);
    Entries();
    const std::string File = Dir.File("image.bmp");
    const struct { std::int32_t Width, Height; std::uint16_t Bits; const char* Logged; } Cases[] = {
        {8, INT32_MIN, 24, "ERROR Image size 8 x -2147483648, pitch 24, not usable IN : LoadImage"},
        {1, INT32_MIN, 8, "ERROR Image size 1 x -2147483648, pitch 4, not usable IN : LoadImage"},
        {8, INT32_MIN + 1, 24, "ERROR Width or height is too large IN : LoadImage"},
        {8, 0, 24, "ERROR BMP file with bad dimensions (8x0) IN : LoadImage"},
        {-8, 8, 24, "ERROR BMP file with bad dimensions (-8x8) IN : LoadImage"},
        {16384, 1, 8, "ERROR Width or height is too large IN : LoadImage"},
        {8, -2, 24, ""},
    };
    for (const auto& Case : Cases) {
        TBmp Bmp{Case.Width, Case.Height, Case.Bits, 0, {}, std::string(64, '\x11')};
        if (Case.Bits == 8)
            Bmp.Palette.assign(256, 0x00FFFFFF);
        ASSERT_TRUE(WriteFile(File, BmpFile(Bmp)));
        SDL_Surface* Image = nullptr;
        const bool Loaded = LoadImage(File, Image, NoColorKey);
        const TLines Logged = Entries();
        EXPECT_EQ(Loaded, *Case.Logged == 0) << Case.Width << " x " << Case.Height;
        EXPECT_EQ(Logged, *Case.Logged == 0 ? TLines{} : TLines{Case.Logged}) << Case.Width << " x " << Case.Height;
        FreeImage(Image);
    }
}

} // namespace
