// The program's whole road from the banner to its last line, on every way it can end.

#include "e2e/expected_output.h"
#include "e2e/sim_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> Fast{"--fast", "--headless"};

std::vector<std::string> With(std::vector<std::string> Arguments, const std::vector<std::string>& More)
{
    Arguments.insert(Arguments.end(), More.begin(), More.end());
    return Arguments;
}

// The hexadecimal number after the Occurrence-th (from 0) Label in Output.
std::uint64_t HexValue(const std::string& Output, const std::string& Label, int Occurrence)
{
    std::size_t Position = std::string::npos;
    for (int Seen = 0; Seen <= Occurrence; ++Seen) {
        Position = Output.find(Label, Position == std::string::npos ? 0 : Position + 1);
        if (Position == std::string::npos) {
            ADD_FAILURE() << "no line \"" << Label << "\" number " << Occurrence + 1;
            return 0;
        }
    }
    return std::stoull(Output.substr(Position + Label.size()), nullptr, 16);
}

TEST(NormalRun, PrintsEveryLineFromTheBannerToTheLastAndEndsWithStatus0)
{
    TSimFolder Folder;
    const TChildResult Result = Folder.Run(With(Fast, {"--frames", "3"}));
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(StartLines() + VideoLines() + EndLines(), Result.Out);
}

// The simulated RAM is one block of the host: the window at 0x02000000 and the first page at 0x03000000 lie
// 16 MiB apart there too, which holds only when both addresses are printed whole.
TEST(NormalRun, PrintsTheMemoryWindowsAddressWhole)
{
    TSimFolder Folder;
    const TChildResult Result = Folder.Run(With(Fast, {"--frames", "1"}));
    const std::uint64_t Window = HexValue(Result.Out, "Memory at: ", 0);
    const std::uint64_t Page0 = HexValue(Result.Out, "Screen:     ", 0);
    const std::uint64_t Page1 = HexValue(Result.Out, "Screen:     ", 1);
    EXPECT_EQ(Page0 - Window, 0x01000000u) << Result.Out;
    EXPECT_EQ(Page1 - Page0, 0x00040000u) << Result.Out;
}

TEST(NormalRun, LogsFromStartingToTerminatingApplication)
{
    TSimFolder Folder;
    const TChildResult Result = Folder.Run(With(Fast, {"--frames", "2"}));
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLog(StartLog() + std::vector<TLogEntry>{LastEntry()}, Folder.LogText());
}

TEST(NormalRun, TheVideoFlagMaskIsReportedBeforeTheMemoryWindow)
{
    TSimFolder Folder;
    const TChildResult Result = Folder.Run(With(Fast, {"--frames", "1", "--", "18"}));
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(BannerLines() +
                    TLines{"Requestet video flags: 00000012", "SDL_HWSURFACE = 1", "SDL_DOUBLEBUF = 1",
                           "used video flags: 40000001"} +
                    MemoryLines() + MusicLines() + GalaxyImageLines() + VideoLines() + EndLines(),
                Result.Out);
}

// One way the run can fail: how it is made to fail, and what is printed, logged and returned.
struct TFailure {
    const char* Name;
    std::vector<std::string> Faults;
    std::function<void(const TSimFolder&)> Prepare;
    std::function<TLines()> Out; // made when the test runs: the image's lines need the data file
    std::vector<TLogEntry> Log;
    int ExitStatus;
};

void PrintTo(const TFailure& Failure, std::ostream* Out)
{
    *Out << Failure.Name;
}

void NoChange(const TSimFolder&) {}

TLines ProgramTerminated()
{
    return {"program terminated"};
}

std::vector<TLogEntry> Last()
{
    return {LastEntry()};
}

TLines NoMemoryLines(const std::string& Reason)
{
    return {BannerLines()[0], Reason, "program terminated"};
}

TLines NoVideoLines(const TLines& Lines)
{
    return StartLines() + Lines + ProgramTerminated();
}

void RemoveMusic(const TSimFolder& Folder)
{
    Folder.RemoveFile("music.ogg");
}

void BreakMusic(const TSimFolder& Folder)
{
    Folder.PutFile("music.ogg", "OggS but no music\n");
}

void RemoveImage(const TSimFolder& Folder)
{
    Folder.RemoveFile("galaxy.bmp");
}

void BreakImage(const TSimFolder& Folder)
{
    Folder.PutFile("galaxy.bmp", "BM but no picture\n");
}

std::vector<TFailure> Failures()
{
    const std::vector<TLogEntry> Bare{FirstEntry(), LastEntry()};
    const std::vector<TLogEntry> MusicFailed = StartLogToMusic() + std::vector<TLogEntry>{
                                                   {true, "", "<any>", "SDLMusic::LoadFromFile"}, LastEntry()};
    const std::vector<TLogEntry> ImageFailed =
        StartLog() + std::vector<TLogEntry>{{true, "", "<any>", "LoadImage"}, LastEntry()};
    const auto NoMusicLines = [] {
        return BannerLines() + MemoryLines() + TLines{"Loading music", "Loading music failed"};
    };
    const auto NoImageLines = [] {
        return BannerLines() + MemoryLines() + MusicLines() + TLines{"Loading image", "Loading image failed"};
    };
    return {
        {"NoDevMem", {"mem-open"}, NoChange, [] { return NoMemoryLines("dev/mem not open"); }, Bare, 0},
        {"NoRegisterBlock", {"mem-map-regs"}, NoChange, [] { return NoMemoryLines("memory not maped"); }, Bare, 0},
        {"NoBlitterWindow", {"mem-map-blitter"}, NoChange,
         [] { return NoMemoryLines("blitter memory not maped"); }, Bare, 0},
        {"NoMemoryWindow", {"mem-map-window"}, NoChange,
         [] { return BannerLines() + TLines{"Mapping the memory failed, error no:12"}; },
         StartLogToMusic() + Last(), 0},
        {"NoVideoDevice", {"sdl-video"}, NoChange,
         [] { return BannerLines() + ReportLines("Exception : InitSDL failed"); },
         {FirstEntry(), {true, "", "No available video device", "InitSDL"}, LastEntry()}, 217},
        {"NoAudioDevice", {"sdl-audio"}, NoChange,
         [] { return BannerLines() + ReportLines("Exception : InitSDL:Audio failed"); },
         {FirstEntry(), {true, "", "No available audio device", "InitSDL"}, LastEntry()}, 217},
        {"NoMusic", {}, RemoveMusic, NoMusicLines, MusicFailed, 0},
        {"BrokenMusic", {}, BreakMusic, NoMusicLines, MusicFailed, 0},
        {"NoImage", {}, RemoveImage, NoImageLines, ImageFailed, 0},
        {"BrokenImage", {}, BreakImage, NoImageLines, ImageFailed, 0},
        {"NoFirstFramebuffer", {"fb0-open"}, NoChange,
         [] { return NoVideoLines({"Initialize Video", "Open FB0 device", "No access to FB0:2"}); },
         StartLog() + Last(), 0},
        {"NoSecondFramebuffer", {"fb1-open"}, NoChange,
         [] {
             const TLines Video = VideoLines();
             return NoVideoLines(TLines(Video.begin(), Video.begin() + 7) + TLines{"No access to FB1:2"});
         },
         StartLog() + Last(), 0},
        {"NoScreenInfo", {"fb-info"}, NoChange,
         [] { return NoVideoLines({"Initialize Video", "Open FB0 device", "No screen info for FB0:5"}); },
         StartLog() + Last(), 0},
        {"NoVideoMemory", {"fb-map"}, NoChange,
         [] { return NoVideoLines({"Initialize Video", "Open FB0 device", "FB0 not mapped:12"}); },
         StartLog() + Last(), 0},
        // The program's two references from GetMemoryHandle keep /dev/mem open to the end, so a failing close
        // never shows.
        {"DevMemCloseFails", {"mem-close"}, NoChange, [] { return StartLines() + VideoLines() + EndLines(); },
         StartLog() + Last(), 0},
        {"NoMixer", {"mixer-open"}, NoChange, [] { return StartLines() + VideoLines() + EndLines(); },
         StartLog() + Last(), 0},
    };
}

class FailurePath : public testing::TestWithParam<TFailure> {};

TEST_P(FailurePath, PrintsItsLinesLogsAndEndsWithItsStatus)
{
    const TFailure& Failure = GetParam();
    TSimFolder Folder;
    Failure.Prepare(Folder);
    std::vector<std::string> Arguments = With(Fast, {"--frames", "2"});
    for (const std::string& Fault : Failure.Faults)
        Arguments = With(Arguments, {"--fault", Fault});
    const TChildResult Result = Folder.Run(Arguments);
    EXPECT_EQ(Result.ExitStatus, Failure.ExitStatus) << Result.Err;
    ExpectLines(Failure.Out(), Result.Out);
    ExpectLog(Failure.Log, Folder.LogText());
}

INSTANTIATE_TEST_SUITE_P(EveryWay, FailurePath, testing::ValuesIn(Failures()),
                         [](const testing::TestParamInfo<TFailure>& Info) { return Info.param.Name; });

} // namespace
