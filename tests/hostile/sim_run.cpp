#include "hostile/sim_run.h"

#include "device/register_map.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

constexpr std::uint32_t WindowStart = 0x02000000;
constexpr std::uint32_t WindowBytes = 0x00800000;
constexpr std::uint32_t ImageCopyStart = WindowStart + 153604;
constexpr std::uint32_t PageBytes = 153600;

struct TRange {
    std::int64_t First; // first byte
    std::int64_t Last;  // last byte
};

// The bytes that Height rows of Width pixels from physical First, Stride bytes apart, cover.
TRange RowsRange(std::int64_t First, std::int64_t Stride, std::int64_t Width, std::int64_t Height)
{
    const std::int64_t LastRow = First + (Height - 1) * Stride;
    return {std::min(First, LastRow), std::max(First, LastRow) + 2 * Width - 1};
}

bool Inside(TRange Range, std::int64_t Start, std::int64_t Bytes)
{
    return Range.First >= Start && Range.Last < Start + Bytes;
}

std::int64_t FirstPixel(std::uint32_t Address, std::uint32_t Ctrl)
{
    return static_cast<std::int64_t>(Address & ~3u) + ((Ctrl & BlitCtrlOddPixel) != 0 ? 2 : 0);
}

bool HasSanitizerReport(const std::string& Err)
{
    for (const char* Mark : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"})
        if (Err.find(Mark) != std::string::npos)
            return true;
    return false;
}

struct TTracedBlit {
    std::uint32_t DstCtrl, DstAddr, DstStride, SrcCtrl, SrcAddr, SrcStride, Size, Op;
};

// The blits of a trace, rebuilt from the blitter register writes before each start.
std::vector<TTracedBlit> TracedBlits(const std::string& TraceText)
{
    std::uint32_t Registers[BlitterWindowSize / 4] = {};
    std::vector<TTracedBlit> Blits;
    for (const std::string& Line : SplitLines(TraceText)) {
        unsigned Address = 0;
        unsigned Value = 0;
        if (std::sscanf(Line.c_str(), "W32 %8X %8X", &Address, &Value) != 2 || Address < BlitterWindowPhys ||
            Address - BlitterWindowPhys >= BlitterWindowSize)
            continue;
        const std::uint32_t Offset = Address - BlitterWindowPhys;
        Registers[Offset / 4] = Value;
        if (Offset == BlitRun && (Value & BlitRunBusy) != 0) {
            auto Reg = [&Registers](std::uint32_t At) { return Registers[At / 4]; };
            Blits.push_back({Reg(BlitDstCtrl), Reg(BlitDstAddr), Reg(BlitDstStride), Reg(BlitSrcCtrl),
                             Reg(BlitSrcAddr), Reg(BlitSrcStride), Reg(BlitSize), Reg(BlitOp)});
        }
    }
    return Blits;
}

// Why Blit writes outside both pages or reads, where its raster operation reads, outside [SourceStart, +Bytes).
std::string BlitOutOfBounds(const TTracedBlit& Blit, std::uint32_t SourceStart, std::uint32_t SourceBytes)
{
    const std::int64_t Width = Blit.Size & 0xFFFF;
    const std::int64_t Height = Blit.Size >> 16;
    if (Width == 0 || Height == 0)
        return "";
    const TRange Dst = RowsRange(FirstPixel(Blit.DstAddr, Blit.DstCtrl), static_cast<std::int32_t>(Blit.DstStride),
                                 Width, Height);
    if (!Inside(Dst, SimFb0Start, PageBytes) && !Inside(Dst, SimFb1Start, PageBytes))
        return "writes " + std::to_string(Dst.First) + " to " + std::to_string(Dst.Last) + ", outside both pages";
    const std::uint32_t Rop = Blit.Op & BlitOpRopMask;
    const bool ReadsSource = (Blit.Op & BlitOpColorKey) != 0 || (Rop >> 2 & 3) != (Rop & 3);
    const TRange Src = RowsRange(FirstPixel(Blit.SrcAddr, Blit.SrcCtrl), static_cast<std::int32_t>(Blit.SrcStride),
                                 Width, Height);
    if (ReadsSource && !Inside(Src, SourceStart, SourceBytes))
        return "reads " + std::to_string(Src.First) + " to " + std::to_string(Src.Last) + ", outside " + std::to_string(SourceStart) + " to " +
               std::to_string(std::int64_t{SourceStart} + SourceBytes - 1);
    return "";
}

long long ReportedNumber(const std::string& Out, const std::string& Label)
{
    for (const std::string& Line : SplitLines(Out))
        if (Line.rfind(Label, 0) == 0)
            return std::atoll(Line.c_str() + Label.size());
    return -1;
}

} // namespace

TSimRun::TSimRun()
{
    namespace fs = std::filesystem;
    fs::copy_file(BRIMLET_SIM_PATH, Dir.File("brimlet-sim"));
    fs::copy_file(BRIMLET_DATA_DIR "/galaxy.bmp", Dir.File("galaxy.bmp"));
    fs::copy_file(BRIMLET_DATA_DIR "/music.ogg", Dir.File("music.ogg"));
}

void TSimRun::Put(const std::string& Name, const std::string& Content) const
{
    EXPECT_TRUE(WriteFile(Dir.File(Name), Content)) << Name;
}

void TSimRun::Remove(const std::string& Name) const
{
    std::filesystem::remove(Dir.File(Name));
}

void TSimRun::MakeFolder(const std::string& Name) const
{
    Remove(Name);
    std::filesystem::create_directory(Dir.File(Name));
}

std::vector<std::string> TSimRun::Environment()
{
    // LeakSanitizer needs no suppressions: what a run leaves to the end of the process by design is either a
    // mapping (the register window that GetMemoryHandle holds, the memory window on the error paths) or state that
    // SDL and SDL_mixer still point to, and it reports neither.
    return {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
}

TChildResult TSimRun::Run(const std::vector<std::string>& Arguments, const std::vector<std::string>& Wrapper,
                          int TimeoutSeconds) const
{
    std::vector<std::string> Command = Wrapper;
    Command.push_back(Dir.File("brimlet-sim"));
    Command.insert(Command.end(), Arguments.begin(), Arguments.end());
    TChildOptions Options;
    Options.WorkingDirectory = Dir.Path();
    Options.Environment = Environment();
    Options.TimeoutSeconds = TimeoutSeconds;
    return RunProgram(Command, Options);
}

std::string TSimRun::Log() const
{
    return ReadFile(Dir.File("brimlet-sim.log"));
}

bool ValgrindUsable()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return RunProgram({"valgrind", "--version"}).ExitStatus == 0;
#endif
}

TChildResult RunUnderValgrind(const TSimRun& Run, const std::vector<std::string>& Arguments)
{
    return Run.Run(Arguments, {"valgrind", "--leak-check=full", "--show-leak-kinds=all", "--errors-for-leak-kinds=all",
                               "--num-callers=50", "--suppressions=" BRIMLET_SOURCE_DIR "/tests/valgrind.supp"},
                   600);
}

TRunEnd RunEnd(const TChildResult& Result)
{
    const std::vector<std::string> Lines = SplitLines(Result.Out);
    if (Result.ExitStatus != 0 || Lines.empty())
        return TRunEnd::Other;
    if (Lines.back() == "Loading image failed")
        return TRunEnd::ImageFailed;
    if (Lines.back() == "Loading music failed")
        return TRunEnd::MusicFailed;
    if (Lines.back() == "program terminated" && std::find(Lines.begin(), Lines.end(), "Video done") != Lines.end())
        return TRunEnd::Clean;
    return TRunEnd::Other;
}

std::vector<std::string> CompleteLogMessages(const std::string& Text)
{
    std::vector<std::string> Messages;
    for (std::size_t Start = 0, End = 0; Start < Text.size(); Start = End + 3) {
        End = Text.find("\r\n\n", Start);
        const std::string Entry = Text.substr(Start, End - Start);
        const std::size_t Message = Entry.find(" MSG : ");
        const std::size_t Location = Entry.find(" IN : ", Message == std::string::npos ? 0 : Message);
        if (End == std::string::npos || Location == std::string::npos || Message == std::string::npos ||
            (Entry.rfind("STATUS INFO : @ ", 0) != 0 && Entry.rfind("*** ERROR *** : @ ", 0) != 0)) {
            ADD_FAILURE() << "not a whole log entry: \"" << Entry << "\"";
            break;
        }
        Messages.push_back(Entry.substr(Message + 7, Location - Message - 7));
    }
    return Messages;
}

void ExpectNothingOutOfBounds(const TSimRun& Run, const TChildResult& Result)
{
    EXPECT_FALSE(HasSanitizerReport(Result.Err)) << Result.Err;

    // The copy starts 153,604 bytes into the 8 MiB window and takes pitch x height bytes.
    const long long Width = ReportedNumber(Result.Out, "Width:           ");
    const long long Height = ReportedNumber(Result.Out, "Height:          ");
    const long long Pitch = ReportedNumber(Result.Out, "Pitch:           ");
    const long long PixelBytes = ReportedNumber(Result.Out, "Bytes per Pixel: ");
    if (Pitch >= 0 && Height >= 0) {
        EXPECT_LE(153604 + Pitch * Height, 8388608) << "pitch " << Pitch << ", height " << Height;
    }
    const bool CoversView = Width >= 320 && Height >= 240 && PixelBytes == 2;

    if (PathExists(Run.File("trace.txt"))) {
        const std::vector<TTracedBlit> Blits = TracedBlits(ReadFile(Run.File("trace.txt")));
        for (std::size_t Index = 0; Index < Blits.size(); ++Index) {
            const std::string Why =
                CoversView ? BlitOutOfBounds(Blits[Index], ImageCopyStart, static_cast<std::uint32_t>(Pitch * Height))
                           : BlitOutOfBounds(Blits[Index], WindowStart, WindowBytes);
            EXPECT_EQ(Why, "") << "blit " << Index + 1;
        }
        if (RunEnd(Result) == TRunEnd::Clean) {
            EXPECT_GE(Blits.size(), 4u) << "the video set-up's blit and one per frame";
        }
    }

    const std::vector<std::string> Messages = CompleteLogMessages(Run.Log());
    ASSERT_GE(Messages.size(), 2u) << Run.Log();
    EXPECT_EQ(Messages.front(), "Starting Application");
    EXPECT_EQ(Messages.back(), "Terminating Application");
}

std::string RandomBytes(std::size_t Count, unsigned Seed)
{
    std::mt19937 Generator(Seed);
    std::string Bytes;
    for (std::size_t Index = 0; Index < Count; ++Index)
        Bytes += static_cast<char>(Generator() & 0xFF);
    return Bytes;
}
