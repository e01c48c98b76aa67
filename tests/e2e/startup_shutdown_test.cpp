// The program's whole road from the banner to its last line, on every way it can end.

#include "e2e/expected_output.h"

#include <gtest/gtest.h>

namespace {

// The simulated RAM is one block of the host: the window at 0x02000000 and the first page at 0x03000000 lie
// 16 MiB apart there too, which holds only when both addresses are printed whole.
TEST(NormalRun, PrintsTheMemoryWindowsAddressWhole)
{
    TSimFolder Folder;
    const std::string Out = Folder.Run({"--frames", "1"}).Out;
    const std::size_t Window = Out.find("Memory at: ");
    const std::size_t Page0 = Out.find("Screen:     ");
    const std::size_t Page1 = Out.find("Screen:     ", Page0 + 1);
    ASSERT_TRUE(Window != std::string::npos && Page0 != std::string::npos && Page1 != std::string::npos) << Out;
    const auto Address = [&Out](std::size_t At) { return std::stoull(Out.substr(Out.find(':', At) + 1), nullptr, 16); };
    EXPECT_EQ(Address(Page0) - Address(Window), 0x01000000u) << Out;
    EXPECT_EQ(Address(Page1) - Address(Page0), 0x00040000u) << Out;
}

// One way a run can go: its arguments, a data file replaced (or removed, without Content), and what is printed,
// logged and returned.
struct TRun {
    const char* Name;
    std::vector<std::string> Arguments;
    const char* File;
    const char* Content;
    TLines Out;
    TLines Log;
    int ExitStatus;
};

void PrintTo(const TRun& Run, std::ostream* Out)
{
    *Out << Run.Name;
}

TLines Report(const std::string& ClassAndMessage)
{
    return {"An unhandled exception occurred at $<hex> :", ClassAndMessage, "<lines>", ""};
}

std::vector<TRun> Runs()
{
    const TLines Whole = Start + Video + End;
    const TLines NoMusic = Banner + Memory + TLines{"Loading music", "Loading music failed"};
    const TLines NoImage = Banner + Memory + Music + TLines{"Loading image", "Loading image failed"};
    const TLines MusicFailed = StartLog + TLines{"ERROR <any> IN : SDLMusic::LoadFromFile"} + LastLog;
    const TLines ImageFailed = StartLog + MusicLog + TLines{"ERROR <any> IN : LoadImage"} + LastLog;
    const TLines Bare{StartLog[0], LastLog[0]};
    const TLines Ended{"program terminated"};
    const TLines Fb0{"Initialize Video", "Open FB0 device"};
    return {
        {"Normal", {}, nullptr, nullptr, Whole, WholeLog, 0},
        {"VideoFlags", {"--", "18"}, nullptr, nullptr,
         Banner + TLines{"Requestet video flags: 00000012", "SDL_HWSURFACE = 1", "SDL_DOUBLEBUF = 1",
                         "used video flags: 40000001"} + Memory + Music + ImageLines(1024, 768, 2048) + Video + End,
         WholeLog, 0},
        {"NoDevMem", {"--fault", "mem-open"}, nullptr, nullptr, {Banner[0], "dev/mem not open", Ended[0]}, Bare, 0},
        {"NoRegisterBlock", {"--fault", "mem-map-regs"}, nullptr, nullptr,
         {Banner[0], "memory not maped", Ended[0]}, Bare, 0},
        {"NoBlitterWindow", {"--fault", "mem-map-blitter"}, nullptr, nullptr,
         {Banner[0], "blitter memory not maped", Ended[0]}, Bare, 0},
        {"NoMemoryWindow", {"--fault", "mem-map-window"}, nullptr, nullptr,
         Banner + TLines{"Mapping the memory failed, error no:12"}, StartLog + LastLog, 0},
        {"NoVideoDevice", {"--fault", "sdl-video"}, nullptr, nullptr,
         Banner + Report("Exception : InitSDL failed"),
         {StartLog[0], "ERROR No available video device IN : InitSDL", LastLog[0]}, 217},
        {"NoAudioDevice", {"--fault", "sdl-audio"}, nullptr, nullptr,
         Banner + Report("Exception : InitSDL:Audio failed"),
         {StartLog[0], "ERROR No available audio device IN : InitSDL", LastLog[0]}, 217},
        {"NoMusic", {}, "music.ogg", nullptr, NoMusic, MusicFailed, 0},
        {"BrokenMusic", {}, "music.ogg", "OggS but no music\n", NoMusic, MusicFailed, 0},
        {"NoImage", {}, "galaxy.bmp", nullptr, NoImage, ImageFailed, 0},
        {"BrokenImage", {}, "galaxy.bmp", "BM but no picture\n", NoImage, ImageFailed, 0},
        {"NoFirstFramebuffer", {"--fault", "fb0-open"}, nullptr, nullptr,
         Start + Fb0 + TLines{"No access to FB0:2"} + Ended, WholeLog, 0},
        {"NoSecondFramebuffer", {"--fault", "fb1-open"}, nullptr, nullptr,
         Start + TLines(Video.begin(), Video.begin() + 7) + TLines{"No access to FB1:2"} + Ended, WholeLog, 0},
        {"NoScreenInfo", {"--fault", "fb-info"}, nullptr, nullptr,
         Start + Fb0 + TLines{"No screen info for FB0:5"} + Ended, WholeLog, 0},
        {"NoVideoMemory", {"--fault", "fb-map"}, nullptr, nullptr, Start + Fb0 + TLines{"FB0 not mapped:12"} + Ended,
         WholeLog, 0},
        // The program's two references from GetMemoryHandle keep /dev/mem open to the end, so a failing close
        // never shows.
        {"DevMemCloseFails", {"--fault", "mem-close"}, nullptr, nullptr, Whole, WholeLog, 0},
        {"NoMixer", {"--fault", "mixer-open"}, nullptr, nullptr, Whole, WholeLog, 0},
    };
}

class StartAndShutdown : public testing::TestWithParam<TRun> {};

TEST_P(StartAndShutdown, PrintsItsLinesLogsAndEndsWithItsStatus)
{
    const TRun& Case = GetParam();
    TSimFolder Folder;
    if (Case.File != nullptr) {
        std::remove(Folder.File(Case.File).c_str());
        ASSERT_TRUE(Case.Content == nullptr || WriteFile(Folder.File(Case.File), Case.Content));
    }
    const TChildResult Result = Folder.Run(TLines{"--frames", "2"} + Case.Arguments);
    EXPECT_EQ(Result.ExitStatus, Case.ExitStatus) << Result.Err;
    ExpectLines(Case.Out, Result.Out);
    ExpectLines(Case.Log, Folder.Log());
}

INSTANTIATE_TEST_SUITE_P(EveryWay, StartAndShutdown, testing::ValuesIn(Runs()),
                         [](const testing::TestParamInfo<TRun>& Info) { return Info.param.Name; });

} // namespace
