// Data files a user may have broken, through the program's own handling of them: each run takes its way out, every
// copy reads inside the image's part of the memory window, and the log stays whole; under valgrind, which sees into
// SDL, SDL_image and the decoder, nothing is read or written amiss and nothing is left over.

#include "app/program_state.h"
#include "runs/runs.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

namespace {

std::string RandomBytes(std::size_t Count, unsigned Seed)
{
    std::mt19937 Generator(Seed);
    std::string Bytes(Count, '\0');
    std::generate(Bytes.begin(), Bytes.end(), [&Generator] { return static_cast<char>(Generator() & 0xFF); });
    return Bytes;
}

struct THostile {
    const char* Name;
    const char* File;
    std::string Content;
    const char* Line; // printed on the way
    const char* Last;
};

void PrintTo(const THostile& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

const std::string Galaxy = ReadFile(BRIMLET_DATA_DIR "/galaxy.bmp");
const std::string Ogg = ReadFile(BRIMLET_DATA_DIR "/music.ogg");
const char* const Ended = "program terminated";

const THostile Hostiles[] = {
    {"ImageCutInItsHeaders", "galaxy.bmp", Galaxy.substr(0, 30), "Loading image", "Loading image failed"},
    {"ImageOfRandomBytes", "galaxy.bmp", RandomBytes(5000, 7), "Loading image", "Loading image failed"},
    // Converted, a pitch of 32000 bytes: 257 rows fit in the window's 8388608 bytes after the test frame's 153604.
    {"ImageTallerThanTheWindow", "galaxy.bmp",
     BmpFile(TBmp{16000, 300, 8, 0, std::vector<std::uint32_t>(256, 0x406080), std::string(16000 * 300, '\x01')}),
     "Image cut to 257 rows to fit the memory window", Ended},
    {"ImageSmallerThanTheView", "galaxy.bmp", Rgb565Bmp(201, 100, PatternPixel), "Video done", Ended},
    {"MusicEmpty", "music.ogg", "", "Loading music", "Loading music failed"},
    {"MusicCutInItsHeaders", "music.ogg", Ogg.substr(0, 200), "Loading music", "Loading music failed"},
    {"MusicCutInTheMiddle", "music.ogg", Ogg.substr(0, Ogg.size() / 2), "Video done", Ended},
    {"MusicOfRandomBytes", "music.ogg", "OggS" + RandomBytes(20000, 11), "Loading music", "Loading music failed"},
};

// The number of the first copy the trace shows started that reads outside the image's part of the memory window,
// from the image copy to the window's end; 0 when none does. Each runs on the blitter registers as last written:
// the source's address, stride and odd-pixel bit, and the size.
int CopyOutsideTheWindow(const TSimRun& Run)
{
    std::map<unsigned, std::int64_t> Reg;
    int Copies = 0;
    for (const std::string& Line : Run.Trace("W32")) {
        unsigned Address = 0;
        unsigned Value = 0;
        std::sscanf(Line.c_str(), "%X %X", &Address, &Value);
        Reg[Address] = Value;
        if (Address != 0xE0020034 || (Reg[0xE0020030] & 0xFF) != 0xCC)
            continue;
        ++Copies;
        const std::int64_t First = Reg[0xE0020010] + ((Reg[0xE002000C] & 0x10) != 0 ? 2 : 0);
        const std::int64_t Size = Reg[0xE002002C];
        const std::int64_t End = First + ((Size >> 16) - 1) * Reg[0xE0020014] + (Size & 0xFFFF) * 2;
        if (First < ImageCopyPhys || End > MemoryOffset + MemorySize)
            return Copies;
    }
    return 0;
}

class HostileData : public testing::TestWithParam<THostile> {};

TEST_P(HostileData, TakesItsWayOutWithEveryCopyInTheWindow)
{
    const THostile& Case = GetParam();
    TSimRun Run;
    Run.Put(Case.File, Case.Content);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--frames", "3", "--trace", "trace.txt"});
    const TLines Lines = SplitLines(Result.Out);
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    EXPECT_NE(std::find(Lines.begin(), Lines.end(), Case.Line), Lines.end()) << Result.Out;
    EXPECT_EQ(Lines.empty() ? "" : Lines.back(), Case.Last) << Result.Out;
    const TLines Log = Run.Log();
    EXPECT_EQ(Log.empty() ? "" : Log.front() + " ... " + Log.back(), FirstLog[0] + " ... " + LastLog[0]);
    EXPECT_EQ(CopyOutsideTheWindow(Run), 0);

    // Where valgrind is installed, outside the sanitizer build.
    if (!ValgrindWords().empty()) {
        const TChildResult Checked = Run.Run({"--fast", "--headless", "--frames", "3"}, ValgrindWords());
        EXPECT_EQ(Checked.ExitStatus, 0);
        EXPECT_NE(Checked.Err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << Checked.Err;
    }
}

INSTANTIATE_TEST_SUITE_P(DataFiles, HostileData, testing::ValuesIn(Hostiles),
                         [](const testing::TestParamInfo<THostile>& Info) { return Info.param.Name; });

} // namespace
