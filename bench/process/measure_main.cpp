// brimlet_measure: the whole-process figures of brimlet-sim (start-up, waiting, a frame's cost, memory), each next to
// its target.
//
//   brimlet_measure BRIMLET_SIM DATA_FOLDER
//
// Every run happens in a temporary folder of its own, with copies of the data files and of the executable (the
// program writes its log beside the executable, so the number of earlier logs there is part of what is measured).

#include "child_run.h"
#include "fps_reader.h"

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int StartUpRuns = 10;
constexpr int EarlierLogs = 1000;
constexpr double WaitingSeconds = 5.0;
constexpr double KillSeconds = 120.0;
constexpr std::uint32_t VSyncOnFrames = 300; // five seconds at 60 frames per second
// A frame's cost is the difference of a short and a long run, so that start-up and exit cancel.
constexpr std::uint32_t FewFrames = 2;
constexpr std::uint32_t ManyFrames = 20002;
constexpr int FrameCostRuns = 9;
// The rows the loop's blit copies: 240 of 640 bytes out of the 1024 x 768 galaxy image into a page.
constexpr std::size_t FrameRows = 240;
constexpr std::size_t FrameRowBytes = 640;
constexpr std::size_t GalaxyPitch = 2048;
constexpr std::size_t GalaxyRows = 768;
constexpr int MemcpyCopies = 2000;
constexpr std::uintptr_t HostPage = 4096;
const char* const SimName = "brimlet-sim";

fs::path SimPath;
fs::path DataFolder;
fs::path WorkFolder;

bool MakeWorkFolder()
{
    const char* Base = std::getenv("TMPDIR");
    std::string Template = std::string(Base != nullptr && *Base != '\0' ? Base : "/tmp") + "/brimlet-measure-XXXXXX";
    if (mkdtemp(Template.data()) == nullptr)
        return false;
    WorkFolder = Template;
    return true;
}

// A folder for one kind of run: the data files where the program reads them, its own copy of the executable, and a
// link to the video module beside it, where brimlet-sim looks for the module when it is not installed.
fs::path MakeRunFolder(const std::string& Name)
{
    const fs::path Folder = WorkFolder / Name;
    fs::create_directories(Folder);
    for (const char* File : {"galaxy.bmp", "music.ogg"})
        fs::copy_file(DataFolder / File, Folder / File, fs::copy_options::overwrite_existing);
    fs::copy_file(SimPath, Folder / SimName, fs::copy_options::overwrite_existing);
    const fs::path Module = SimPath.parent_path() / BRIMLET_VIDEO_MODULE_NAME;
    if (fs::exists(Module) && !fs::exists(Folder / Module.filename()))
        fs::create_symlink(Module, Folder / Module.filename());
    return Folder;
}

std::set<fs::path> LogFiles(const fs::path& Folder)
{
    std::set<fs::path> Logs;
    for (const auto& Entry : fs::directory_iterator(Folder))
        if (Entry.path().extension() == ".log")
            Logs.insert(Entry.path());
    return Logs;
}

// Runs the folder's executable there; the log it writes is removed again, so that every run finds the same logs.
TChildRun RunSim(const fs::path& Folder, std::vector<std::string> Options, double InterruptAfter = 0)
{
    const std::set<fs::path> Before = LogFiles(Folder);
    Options.insert(Options.begin(), (Folder / SimName).string());
    TChildRun Run = RunChild(Options, Folder.string(), InterruptAfter, KillSeconds);
    for (const fs::path& Log : LogFiles(Folder))
        if (Before.count(Log) == 0)
            fs::remove(Log);
    return Run;
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    const std::size_t Middle = Values.size() / 2;
    return Values.size() % 2 != 0 ? Values[Middle] : (Values[Middle - 1] + Values[Middle]) / 2;
}

void PrintRow(const std::string& Figure, const std::string& Measured, const std::string& Target, bool Met)
{
    std::printf("%-40s %-36s %-10s %s\n", Figure.c_str(), Measured.c_str(), Target.c_str(), Met ? "met" : "MISSED");
}

std::string Format(const char* Pattern, double Value)
{
    char Text[64];
    std::snprintf(Text, sizeof Text, Pattern, Value);
    return Text;
}

bool Ordinary(const TChildRun& Run, const char* What)
{
    if (Run.Started && Run.ExitStatus == 0)
        return true;
    std::fprintf(stderr, "brimlet_measure: %s: brimlet-sim ended with status %d\n", What, Run.ExitStatus);
    return false;
}

// The two kinds of start-up take turns, so that a load that comes and goes on the machine falls on both alike.
// One run of each before the measured ones brings the files into the page cache.
bool MeasureStartUp()
{
    const fs::path Plain = MakeRunFolder("start-up");
    const fs::path Crowded = MakeRunFolder("start-up-1000-logs");
    for (int Counter = 0; Counter < EarlierLogs; ++Counter)
        std::ofstream(Crowded / ((Counter == 0 ? std::string() : std::to_string(Counter)) + SimName + ".log"));
    const std::vector<std::string> Options{"--fast", "--headless", "--frames", "1"};
    std::vector<double> PlainMs, CrowdedMs, PlainCpuMs, CrowdedCpuMs;
    for (int Round = 0; Round <= StartUpRuns; ++Round) {
        const TChildRun First = RunSim(Plain, Options);
        const TChildRun Second = RunSim(Crowded, Options);
        if (!Ordinary(First, "start-up") || !Ordinary(Second, "start-up with 1,000 logs"))
            return false;
        if (Round == 0)
            continue;
        PlainMs.push_back(First.WallSeconds * 1e3);
        PlainCpuMs.push_back(First.CpuSeconds * 1e3);
        CrowdedMs.push_back(Second.WallSeconds * 1e3);
        CrowdedCpuMs.push_back(Second.CpuSeconds * 1e3);
    }
    const double PlainMedian = Median(PlainMs);
    const double CrowdedMedian = Median(CrowdedMs);
    PrintRow("3 start-up, exec to exit (median of 10)",
             Format("%.1f ms", PlainMedian) + Format(" (CPU %.1f ms)", Median(PlainCpuMs)), "<= 50 ms",
             PlainMedian <= 50);
    // The processor time's difference is the steadier figure: the wall time of a run varies by up to one audio
    // buffer (23 ms), the time SDL's audio thread may still sleep when the program closes audio.
    PrintRow("3 the same with 1,000 earlier logs",
             Format("%+.1f ms", CrowdedMedian - PlainMedian)
                 + Format(" (CPU %+.1f ms)", Median(CrowdedCpuMs) - Median(PlainCpuMs)),
             "<= +5 ms", CrowdedMedian - PlainMedian <= 5);
    return true;
}

double ModifiedAt(const fs::path& File)
{
    struct stat Status {};
    if (stat(File.c_str(), &Status) != 0)
        return -1;
    return static_cast<double>(Status.st_mtim.tv_sec) + static_cast<double>(Status.st_mtim.tv_nsec) / 1e9;
}

// The flips per second between the two latest snapshots that were written (each is written at the end of the
// refresh after its flip), and the program's own figure on the latest; negative where there is none, as in a picture
// torn with V-Sync off, whose status lines the next frames overwrite.
struct TFrameRate {
    double Flips = -1;
    int Program = -1;
};

TFrameRate FrameRate(const fs::path& Folder, const std::vector<std::uint32_t>& Frames, const std::string& Prefix)
{
    TFrameRate Rate;
    std::vector<std::pair<std::uint32_t, double>> Written;
    for (std::uint32_t Frame : Frames) {
        const double Time = ModifiedAt(Folder / (Prefix + std::to_string(Frame) + ".png"));
        if (Time > 0)
            Written.emplace_back(Frame, Time);
    }
    if (Written.size() >= 2) {
        const auto& [FirstFrame, FirstTime] = Written[Written.size() - 2];
        const auto& [LastFrame, LastTime] = Written.back();
        if (LastTime > FirstTime)
            Rate.Flips = (LastFrame - FirstFrame) / (LastTime - FirstTime);
    }
    if (!Written.empty())
        Rate.Program =
            ReadFramesPerSecond((Folder / (Prefix + std::to_string(Written.back().first) + ".png")).string());
    return Rate;
}

std::string ScriptOfSnapshots(const std::vector<std::uint32_t>& Frames, const std::string& Prefix)
{
    std::string Script;
    for (std::uint32_t Frame : Frames)
        Script += std::to_string(Frame) + " snapshot " + Prefix + std::to_string(Frame) + ".png\n";
    return Script;
}

std::string RateText(const TFrameRate& Rate)
{
    return "program " + (Rate.Program < 0 ? std::string("unread") : std::to_string(Rate.Program))
        + Format(", flips %.1f/s", Rate.Flips);
}

// Device time, headless: five seconds with V-Sync on (the loop starts with it on), then five with it held off.
bool MeasureWaiting()
{
    const fs::path Folder = MakeRunFolder("waiting");
    const std::vector<std::uint32_t> OnFrames{60, VSyncOnFrames};
    std::ofstream(Folder / "vsync-on.txt") << ScriptOfSnapshots(OnFrames, "on-");
    const TChildRun On =
        RunSim(Folder, {"--headless", "--script", "vsync-on.txt", "--frames", std::to_string(VSyncOnFrames)});
    if (!Ordinary(On, "V-Sync on"))
        return false;
    const TFrameRate OnRate = FrameRate(Folder, OnFrames, "on-");
    const double OnCpu = On.CpuSeconds / On.WallSeconds * 100;
    PrintRow("4 V-Sync on: frames per second", RateText(OnRate), "60 +- 2",
             OnRate.Program >= 58 && OnRate.Program <= 62 && OnRate.Flips >= 58 && OnRate.Flips <= 62);
    PrintRow("4 V-Sync on: CPU of one core", Format("%.1f %%", OnCpu) + Format(" (%.2f s)", On.WallSeconds), "<= 10 %",
             OnCpu <= 10);

    // Without vertical sync the frame count in five seconds is not known beforehand: snapshots along the way.
    const std::vector<std::uint32_t> OffFrames{60, 300, 1000, 2000, 3000, 5000, 8000, 12000, 20000};
    std::ofstream(Folder / "vsync-off.txt") << "0 hold b2\n" + ScriptOfSnapshots(OffFrames, "off-");
    const TChildRun Off = RunSim(Folder, {"--headless", "--script", "vsync-off.txt"}, WaitingSeconds);
    // The signal ends the run before the later snapshots' frames, and brimlet-sim says so with status 3.
    constexpr int SnapshotsNotTaken = 3;
    if (!(Off.Started && Off.ExitStatus == SnapshotsNotTaken) && !Ordinary(Off, "V-Sync off"))
        return false;
    const TFrameRate OffRate = FrameRate(Folder, OffFrames, "off-");
    const double OffCpu = Off.CpuSeconds / Off.WallSeconds * 100;
    PrintRow("4 V-Sync off: CPU of one core", Format("%.1f %% (fps: ", OffCpu) + RateText(OffRate) + ")", "<= 25 %",
             OffCpu <= 25);
    return true;
}

double ThreadSeconds()
{
    timespec Time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Time);
    return static_cast<double>(Time.tv_sec) + static_cast<double>(Time.tv_nsec) / 1e9;
}

// Microseconds of processor time for one memcpy of the frame's rows, taken over many copies.
double MemcpyFrameMicroseconds()
{
    // Page-aligned, as the simulated RAM holding the image and the pages is, so that the rows are aligned alike.
    static std::vector<std::uint8_t> Memory(GalaxyPitch * GalaxyRows + FrameRows * FrameRowBytes + 2 * HostPage);
    auto* Image = reinterpret_cast<std::uint8_t*>((reinterpret_cast<std::uintptr_t>(Memory.data()) + HostPage - 1)
                                                  & ~(HostPage - 1));
    std::uint8_t* Page = Image + GalaxyPitch * GalaxyRows;
    std::memset(Image, 0x5A, GalaxyPitch * GalaxyRows);
    const std::uint8_t* Source = Image + 200 * GalaxyPitch + 352 * 2;
    const double Start = ThreadSeconds();
    for (int Copy = 0; Copy < MemcpyCopies; ++Copy) {
        for (std::size_t Row = 0; Row < FrameRows; ++Row)
            std::memcpy(Page + Row * FrameRowBytes, Source + Row * GalaxyPitch, FrameRowBytes);
        // The copies count as read, so that none of them may be left out.
        asm volatile("" : : "r"(Page) : "memory");
    }
    return (ThreadSeconds() - Start) * 1e6 / MemcpyCopies;
}

// The whole fast run's cost of a frame with V-Sync held off, against a memcpy of its rows: short and long runs and
// the memcpy take turns, so that a load that comes and goes on the machine falls on all alike. The processor time
// decides, as in brimlet_bench (one thread does the work, so on an idle machine it equals the wall time).
bool MeasureFrameCost()
{
    const fs::path Folder = MakeRunFolder("frame-cost");
    std::ofstream(Folder / "vsync-off.txt") << "0 hold b2\n";
    std::vector<double> FewCpu, ManyCpu, FewWall, ManyWall, Memcpy;
    for (int Round = 0; Round <= FrameCostRuns; ++Round) {
        const TChildRun Few = RunSim(
            Folder, {"--headless", "--fast", "--script", "vsync-off.txt", "--frames", std::to_string(FewFrames)});
        const TChildRun Many = RunSim(
            Folder, {"--headless", "--fast", "--script", "vsync-off.txt", "--frames", std::to_string(ManyFrames)});
        if (!Ordinary(Few, "frame cost, short run") || !Ordinary(Many, "frame cost, long run"))
            return false;
        const double Copy = MemcpyFrameMicroseconds();
        if (Round == 0)
            continue;
        FewCpu.push_back(Few.CpuSeconds);
        ManyCpu.push_back(Many.CpuSeconds);
        FewWall.push_back(Few.WallSeconds);
        ManyWall.push_back(Many.WallSeconds);
        Memcpy.push_back(Copy);
    }
    const double Frames = ManyFrames - FewFrames;
    const double Frame = (Median(ManyCpu) - Median(FewCpu)) * 1e6 / Frames;
    const double Wall = (Median(ManyWall) - Median(FewWall)) * 1e6 / Frames;
    const double Copy = Median(Memcpy);
    PrintRow("4 fast frame, V-Sync off / memcpy of rows",
             Format("%.2f x", Frame / Copy) + Format(" (%.2f", Frame) + Format(" / %.2f us,", Copy)
                 + Format(" wall %.2f)", Wall),
             "<= 2 x", Frame / Copy <= 2);
    return true;
}

// A window at scale 3 (960 x 720) on a virtual X display of its own at 24 bits, V-Sync on: the picture standing
// still, then scrolling every frame (left and right in turns, the program's view moving a pixel a frame). The processor
// time of brimlet-sim alone, since the X server is not its child. Skipped where Xvfb is not installed.
bool MeasureWindow()
{
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) {
        PrintRow("4 window x3 under Xvfb: CPU of one core", "skipped: no Xvfb", "<= 2 %", true);
        return true;
    }
    // The server picks a free display number and writes it once it takes connections.
    int Ready[2];
    if (pipe(Ready) != 0)
        return false;
    const pid_t Server = fork();
    if (Server == 0) {
        const int Null = open("/dev/null", O_RDWR);
        dup2(Null, STDOUT_FILENO);
        dup2(Null, STDERR_FILENO);
        close(Ready[0]);
        const std::string Written = std::to_string(Ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", Written.c_str(), "-screen", "0", "1280x960x24", "-nolisten", "tcp",
               nullptr);
        _exit(127);
    }
    close(Ready[1]);
    std::string Display = ":";
    char Digit;
    while (read(Ready[0], &Digit, 1) == 1 && Digit != '\n')
        Display += Digit;
    close(Ready[0]);
    setenv("DISPLAY", Display.c_str(), 1);
    const fs::path Folder = MakeRunFolder("window");
    std::string Scrolling;
    for (int Turn = 0; Turn < 8; ++Turn)
        Scrolling += std::to_string(Turn * 60) + (Turn % 2 == 0 ? " hold left\n" : " release left\n")
            + std::to_string(Turn * 60) + (Turn % 2 == 0 ? " release right\n" : " hold right\n");
    std::ofstream(Folder / "scrolling.txt") << Scrolling;
    const TChildRun Still = RunSim(Folder, {"--window", "--scale", "3"}, WaitingSeconds);
    const TChildRun Moving = RunSim(Folder, {"--window", "--scale", "3", "--script", "scrolling.txt"}, WaitingSeconds);
    unsetenv("DISPLAY");
    kill(Server, SIGTERM);
    waitpid(Server, nullptr, 0);
    if (!Ordinary(Still, "window under Xvfb") || !Ordinary(Moving, "scrolling window under Xvfb"))
        return false;
    const double StillCpu = Still.CpuSeconds / Still.WallSeconds * 100;
    const double MovingCpu = Moving.CpuSeconds / Moving.WallSeconds * 100;
    PrintRow("4 window x3 under Xvfb: CPU of one core",
             Format("%.1f %%", StillCpu) + Format(" (%.2f s)", Still.WallSeconds), "<= 2 %", StillCpu <= 2);
    PrintRow("4 the same, scrolling every frame",
             Format("%.1f %%", MovingCpu) + Format(" (%.2f s)", Moving.WallSeconds), "<= 3 %", MovingCpu <= 3);
    return true;
}

bool MeasureMemory()
{
    const fs::path Folder = MakeRunFolder("demo");
    const TChildRun Demo = RunSim(Folder, {"--headless"});
    if (!Ordinary(Demo, "demo"))
        return false;
    const double MiB = static_cast<double>(Demo.PeakResidentKiB) / 1024;
    PrintRow("5 demo: peak resident size", Format("%.1f MiB", MiB) + Format(" (%.1f s)", Demo.WallSeconds), "<= 48 MiB",
             MiB <= 48);
    return true;
}

// The built-in demo recorded to .mp4 in fast time, against the device time it covers: the length of the sound heard,
// which the speaker makes in device time from the program's audio set-up to its end.
bool MeasureRecording()
{
    const fs::path Folder = MakeRunFolder("recording");
    const TChildRun Demo = RunSim(Folder, {"--headless", "--fast", "--video", "demo.mp4", "--audio-out", "demo.wav"});
    if (!Ordinary(Demo, "recording the demo"))
        return false;
    const double DeviceSeconds = static_cast<double>(fs::file_size(Folder / "demo.wav") - 44) / (22050 * 4);
    const double Share = Demo.WallSeconds / DeviceSeconds;
    PrintRow("5 demo to .mp4 in fast time / device time",
             Format("%.3f", Share) + Format(" (%.2f s", Demo.WallSeconds) + Format(" for %.1f s)", DeviceSeconds),
             "<= 0.25", Share <= 0.25);
    return true;
}

} // namespace

int main(int Count, char** Arguments)
{
    if (Count != 3) {
        std::fprintf(stderr, "usage: brimlet_measure BRIMLET_SIM DATA_FOLDER\n");
        return 2;
    }
    SimPath = fs::absolute(Arguments[1]);
    DataFolder = fs::absolute(Arguments[2]);
    if (!MakeWorkFolder()) {
        std::perror("brimlet_measure: cannot make a temporary folder");
        return 1;
    }
    std::printf("%-40s %-36s %s\n", "figure (whole process)", "measured", "target");
    bool Measured = false;
    try {
        Measured = MeasureStartUp() && MeasureWaiting() && MeasureFrameCost() && MeasureWindow() && MeasureMemory()
            && MeasureRecording();
    } catch (const fs::filesystem_error& Error) {
        std::fprintf(stderr, "brimlet_measure: %s\n", Error.what());
    }
    std::error_code Ignored;
    fs::remove_all(WorkFolder, Ignored);
    return Measured ? 0 : 1;
}
