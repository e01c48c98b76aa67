#include "support/support.h"

#include "device/font6x13.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Tests run SDL on its dummy drivers: there is no display and no sound device where they run. A value the user set
// stays, so that a test can still be watched on a real display. The user's own key map never reaches a test.
static const bool DummyDriversSet = setenv("SDL_VIDEODRIVER", "dummy", 0) == 0
    && setenv("SDL_AUDIODRIVER", "dummy", 0) == 0 && setenv("XDG_CONFIG_HOME", BRIMLET_BINARY_DIR "/no-config", 1) == 0;

TTempDir::TTempDir() : FolderPath((fs::temp_directory_path() / "brimlet-test-XXXXXX").string())
{
    if (mkdtemp(FolderPath.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder: " + std::string(std::strerror(errno)));
}

TTempDir::~TTempDir()
{
    std::error_code Error;
    fs::remove_all(FolderPath, Error);
}

std::string ReadFile(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    std::ostringstream Content;
    if (!File)
        ADD_FAILURE() << "cannot read " << Path;
    Content << File.rdbuf();
    return Content.str();
}

bool WriteFile(const std::string& Path, const std::string& Content)
{
    std::ofstream File(Path, std::ios::binary | std::ios::trunc);
    File << Content;
    return static_cast<bool>(File.flush());
}

bool PathExists(const std::string& Path)
{
    std::error_code Error;
    return fs::exists(fs::symlink_status(Path, Error));
}

TLines SplitLines(const std::string& Text)
{
    TLines Lines;
    std::istringstream Stream(Text);
    for (std::string Line; std::getline(Stream, Line);)
        Lines.push_back(Line);
    return Lines;
}

// The emulator that runs the test's own executables when they are built for another machine; empty on the host.
static const std::vector<std::string> Emulator{BRIMLET_EMULATOR};

namespace {

// Forks; the child sends its output to files in a temporary folder, sets up its working folder and environment and
// runs Child, which ends with _exit. The parent waits for it, killing it once its time is up.
TChildResult RunForked(const TChildOptions& Options, const std::function<void()>& Child)
{
    TChildResult Result;
    const TTempDir Output;
    const std::string OutPath = Options.StdoutPath.empty() ? Output.File("out") : Options.StdoutPath;
    // Anything buffered here would otherwise be written a second time by the child.
    std::fflush(nullptr);
    const pid_t Pid = fork();
    if (Pid == 0) {
        const int Out = open(OutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int Err = open(Output.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (Out < 0 || Err < 0 || dup2(Out, STDOUT_FILENO) < 0 || dup2(Err, STDERR_FILENO) < 0
            || (!Options.WorkingDirectory.empty() && chdir(Options.WorkingDirectory.c_str()) != 0))
            _exit(254);
        close(Out);
        close(Err);
        for (const std::string& Setting : Options.Environment)
            Setting.find('=') == std::string::npos ? unsetenv(Setting.c_str()) : putenv(strdup(Setting.c_str()));
        Child();
        _exit(253);
    }
    int Status = 0;
    pid_t Done;
    for (int Waited = 0; (Done = waitpid(Pid, &Status, WNOHANG)) == 0 || (Done < 0 && errno == EINTR); ++Waited) {
        // An emulated child runs several times slower.
        if (Waited == Options.TimeoutSeconds * (Emulator.empty() ? 100 : 500))
            kill(Pid, SIGKILL);
        usleep(10000);
    }
    Result.ExitStatus = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    Result.Out = Options.StdoutPath.empty() ? ReadFile(OutPath) : "";
    Result.Err = ReadFile(Output.File("err"));
    return Result;
}

} // namespace

TChildResult RunInChild(const std::function<int()>& Body, const TChildOptions& Options)
{
    return RunForked(
        Options,
        [&Body] {
            int Status = 255;
            try {
                Status = Body();
            } catch (...) {
                std::fprintf(stderr, "an exception escaped the child\n");
            }
            std::fflush(nullptr);
            _exit(Status);
        });
}

TChildResult RunProgram(const std::vector<std::string>& Arguments, const TChildOptions& Options)
{
    return RunForked(Options, [&Arguments] { ExecProgram(Arguments); });
}

void ExecProgram(const std::vector<std::string>& Arguments)
{
    std::vector<char*> Values;
    for (const std::string& Argument : Arguments)
        Values.push_back(const_cast<char*>(Argument.c_str()));
    Values.push_back(nullptr);
    // The program starts as from a shell, with the standard descriptors alone, so the descriptors it opens are
    // numbered as a user's run numbers them.
    closefrom(STDERR_FILENO + 1);
    execvp(Values[0], Values.data());
    std::fprintf(stderr, "cannot run %s: %s\n", Values[0], std::strerror(errno));
    _exit(127);
}

std::vector<std::string> Emulated(std::vector<std::string> Command)
{
    Command.insert(Command.begin(), Emulator.begin(), Emulator.end());
    return Command;
}

bool LineMatches(const std::string& Text, const std::string& Pattern)
{
    std::size_t T = 0;
    std::size_t P = 0;
    while (P < Pattern.size()) {
        const std::size_t Start = T;
        if (Pattern.compare(P, 5, "<any>") == 0) {
            P += 5;
            T = std::max(T + 1, Text.size() - std::min(Text.size(), Pattern.size() - P));
        } else if (Pattern.compare(P, 5, "<hex>") == 0 || Pattern.compare(P, 3, "<n>") == 0) {
            const bool Hex = Pattern[P + 1] == 'h';
            P += Hex ? 5 : 3;
            while (T < Text.size()
                   && (std::isdigit(static_cast<unsigned char>(Text[T])) || (Hex && Text[T] >= 'A' && Text[T] <= 'F')))
                ++T;
            if (T - Start < (Hex ? 8u : 1u))
                return false;
        } else if (T < Text.size() && Text[T] == Pattern[P]) {
            ++T, ++P;
        } else {
            return false;
        }
    }
    return T == Text.size();
}

void ExpectLines(const TLines& Expected, const std::string& Text)
{
    const TLines Lines = SplitLines(Text);
    bool Same = Text.empty() || Text.back() == '\n';
    std::size_t Line = 0;
    std::string Shown;
    for (const std::string& Pattern : Expected) {
        Shown += Pattern + "\n";
        const std::size_t First = Line;
        if (Pattern == "<lines>") {
            while (Line < Lines.size() && !Lines[Line].empty())
                ++Line;
            Same = Same && Line > First;
        } else {
            Same = Same && Line < Lines.size() && LineMatches(Lines[Line++], Pattern);
        }
    }
    EXPECT_TRUE(Same && Line == Lines.size()) << "expected:\n" << Shown << "actual:\n" << Text;
}

TSimRun::TSimRun()
{
    fs::copy_file(BRIMLET_SIM_PATH, Dir.File("brimlet-sim"));
    // The video module is looked up beside the executable, as in the build folder.
    if (BRIMLET_VIDEO_BUILT)
        fs::create_symlink(BRIMLET_BINARY_DIR "/brimlet-video.so", Dir.File("brimlet-video.so"));
    for (const char* Name : {"galaxy.bmp", "music.ogg"})
        fs::copy_file(std::string(BRIMLET_DATA_DIR "/") + Name, Dir.File(Name));
}

void TSimRun::Put(const std::string& Name, const std::string& Content) const
{
    EXPECT_TRUE(WriteFile(Dir.File(Name), Content)) << Name;
}

TChildResult TSimRun::Run(const std::vector<std::string>& Arguments, const std::vector<std::string>& Wrapper,
                          const std::vector<std::string>& Environment) const
{
    std::vector<std::string> Command = Wrapper;
    for (const std::string& Word : Emulated({Dir.File("brimlet-sim")}))
        Command.push_back(Word);
    Command.insert(Command.end(), Arguments.begin(), Arguments.end());
    std::vector<std::string> Settings{"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
    Settings.insert(Settings.end(), Environment.begin(), Environment.end());
    // Valgrind runs the program some twenty times slower.
    return RunProgram(Command, {Dir.Path(), "", Settings, Wrapper.empty() ? 60 : 300});
}

TLines TSimRun::Log() const
{
    const std::string Text = ReadFile(Dir.File("brimlet-sim.log"));
    TLines Entries;
    for (std::size_t Start = 0, End = 0; Start < Text.size(); Start = End + 3) {
        End = Text.find("\r\n\n", Start);
        const std::string Entry = Text.substr(Start, End - Start);
        const bool Error = Entry.rfind("*** ERROR *** : @ ", 0) == 0;
        const std::size_t Time = Error ? 18 : 16;
        if (End == std::string::npos || !(Error || Entry.rfind("STATUS INFO : @ ", 0) == 0)
            || !LineMatches(Entry.substr(Time, 15), "<n>:<n>:<n> MSG : ")
            || Entry.find(" IN : ") == std::string::npos) {
            ADD_FAILURE() << "not a whole log entry: \"" << Entry << "\"";
            Entries.push_back("not an entry: " + Entry);
            break;
        }
        Entries.push_back((Error ? "ERROR " : "") + Entry.substr(Time + 15));
    }
    return Entries;
}

TLines TSimRun::Trace(const std::string& Word) const
{
    TLines Events;
    for (const std::string& Line : SplitLines(ReadFile(Dir.File("trace.txt"))))
        if (Line.compare(0, Word.size() + 1, Word + " ") == 0)
            Events.push_back(Line.substr(Word.size() + 1));
    return Events;
}

std::vector<std::string> ValgrindWords()
{
#if defined(__SANITIZE_ADDRESS__)
    return {};
#else
    // Under an emulator valgrind would check the emulator, not the program; BRIMLET_NO_VALGRIND leaves it out too.
    static const bool Usable = Emulator.empty() && !std::getenv("BRIMLET_NO_VALGRIND")
                               && RunProgram({"valgrind", "--version"}).ExitStatus == 0;
    if (!Usable)
        return {};
    return {"valgrind", "--leak-check=full", "--show-leak-kinds=all", "--errors-for-leak-kinds=all",
            "--num-callers=50", "--suppressions=" BRIMLET_SOURCE_DIR "/tests/valgrind.supp"};
#endif
}

TFrame ReadPng(const std::string& Path)
{
    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> Rgb(ScreenWidth * ScreenHeight * 3);
    if (png_image_begin_read_from_file(&Image, Path.c_str()) != 0 && Image.width == ScreenWidth
        && Image.height == ScreenHeight) {
        Image.format = PNG_FORMAT_RGB;
        if (png_image_finish_read(&Image, nullptr, Rgb.data(), 0, nullptr) != 0) {
            TFrame Frame(ScreenWidth * ScreenHeight);
            for (std::size_t Index = 0; Index < Frame.size(); ++Index) {
                const std::uint8_t* Pixel = &Rgb[Index * 3];
                Frame[Index] = static_cast<std::uint16_t>((Pixel[0] >> 3) << 11 | (Pixel[1] >> 2) << 5 | Pixel[2] >> 3);
            }
            return Frame;
        }
    }
    ADD_FAILURE() << "no 320 x 240 PNG in " << Path;
    png_image_free(&Image);
    return {};
}

void DrawExpectedText(TFrame& Frame, int X, int Y, const std::string& Text)
{
    for (std::size_t Index = 0; Index < Text.size(); ++Index)
        for (int Row = 0; Row < 13; ++Row)
            for (int Column = 0; Column < 6; ++Column) {
                const int Offset =
                    static_cast<unsigned char>(Text[Index]) * FontGlyphBytes + Row * FontRowBytes + Column * 2;
                const long PixelX = X + static_cast<long>(Index) * 6 + Column;
                const long PixelY = static_cast<long>(Y) + Row;
                if ((Font6x13[Offset] | Font6x13[Offset + 1] << 8) != FontTransparent && PixelX >= 0
                    && PixelX < ScreenWidth && PixelY >= 0 && PixelY < ScreenHeight - 1)
                    Frame[PixelY * ScreenWidth + PixelX] = White;
            }
}

void ExpectFrame(const TFrame& Actual, const TFrame& Expected, const std::string& Snapshot)
{
    if (Actual == Expected)
        return;
    const auto First = static_cast<std::size_t>(
        std::mismatch(Actual.begin(), Actual.end(), Expected.begin(), Expected.end()).first - Actual.begin());
    const fs::path Copy = fs::path(BRIMLET_BINARY_DIR) / "tests" / fs::path(Snapshot).filename();
    std::error_code Error;
    fs::copy_file(Snapshot, Copy, fs::copy_options::overwrite_existing, Error);
    ADD_FAILURE() << Snapshot << " differs first at (" << First % ScreenWidth << ", " << First / ScreenWidth
                  << "); it is kept as " << Copy;
}

std::string BmpFile(const TBmp& Bmp)
{
    const auto PutLe = [](std::string& Data, std::uint32_t Value, int Bytes) {
        for (int Byte = 0; Byte < Bytes; ++Byte)
            Data += static_cast<char>(Value >> 8 * Byte & 0xFF);
    };
    std::string Palette;
    for (std::uint32_t Entry : Bmp.Palette)
        PutLe(Palette, Entry & 0x00FFFFFF, 4);
    const auto Offset = static_cast<std::uint32_t>(54 + Palette.size());
    const auto Size = static_cast<std::uint32_t>(Bmp.Pixels.size());
    std::string File = "BM";
    // File size, reserved, pixel offset, header size, width, height; planes, bits; compression, image size,
    // resolution across and down, colours used and important.
    for (std::uint32_t Field : {Offset + Size, 0u, Offset, 40u, static_cast<std::uint32_t>(Bmp.Width),
                                static_cast<std::uint32_t>(Bmp.Height)})
        PutLe(File, Field, 4);
    PutLe(File, 1, 2);
    PutLe(File, Bmp.Bits, 2);
    for (std::uint32_t Field : {Bmp.Compression, Size, 2835u, 2835u, 0u, 0u})
        PutLe(File, Field, 4);
    return File + Palette + Bmp.Pixels;
}

std::string Rgb565Bmp(int Width, int Height, const std::function<std::uint16_t(int X, int Y)>& Pixel)
{
    TBmp Bmp{Width, Height, 24, 0, {}, {}};
    const int RowBytes = (Width * 3 + 3) / 4 * 4;
    Bmp.Pixels.assign(static_cast<std::size_t>(RowBytes) * Height, '\0');
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
            const std::uint16_t Value = Pixel(X, Y);
            // Stored bottom-up, blue first; each component's high bits hold the RGB565 value's.
            char* Stored = &Bmp.Pixels[static_cast<std::size_t>(Height - 1 - Y) * RowBytes + X * 3];
            Stored[0] = static_cast<char>((Value & 0x1F) << 3);
            Stored[1] = static_cast<char>((Value >> 5 & 0x3F) << 2);
            Stored[2] = static_cast<char>((Value >> 11) << 3);
        }
    return BmpFile(Bmp);
}
