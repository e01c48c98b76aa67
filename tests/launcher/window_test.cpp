// The window for real, on a virtual X display: the shown page presented in it, keys driving the input panel, the
// snapshot key, and the ways to close it, each ending the run through the program's own shutdown.

#include <gtest/gtest.h>

#include <SDL_image.h>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "launcher/sim_folder.h"
#include "launcher/x_client.h"

namespace {

bool OnPath(const std::string& Program) {
    return RunProgram({"sh", "-c", "command -v " + Program}).ExitStatus == 0;
}

// Polls Condition until it holds; false after Seconds. The limit only keeps a broken run from hanging the test.
bool WaitFor(const std::function<bool()>& Condition, int Seconds = 60) {
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > Limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string ReadIfThere(const std::string& File) {
    return PathExists(File) ? ReadFile(File) : "";
}

// An X display of its own, from xvfb-run, for as long as the object lives.
class TVirtualDisplay {
public:
    TVirtualDisplay() {
        // The shell inside xvfb-run keeps the server up while its marker file exists.
        RunProgram({"sh", "-c",
                    "xvfb-run -a -s '-screen 0 640x480x24' sh -c 'echo \"$DISPLAY $XAUTHORITY\" > display.new && "
                    "mv display.new display && while [ -e display ]; do sleep 0.1; done' "
                    "</dev/null >/dev/null 2>&1 &"},
                   TChildOptions{Folder.Path(), "", {}, 30});
        std::string Text;
        WaitFor([&] { return !(Text = ReadIfThere(Folder.File("display"))).empty(); });
        const std::size_t Blank = Text.find(' ');
        if (Blank != std::string::npos && Text.back() == '\n') {
            Name = Text.substr(0, Blank);
            Authority = Text.substr(Blank + 1, Text.size() - Blank - 2);
        }
    }
    ~TVirtualDisplay() { std::remove(Folder.File("display").c_str()); }
    // What a client needs to reach the display.
    std::vector<std::string> Environment() const { return {"DISPLAY=" + Name, "XAUTHORITY=" + Authority}; }
    std::string Name;
    std::string Authority;

private:
    TTempDir Folder;
};

// brimlet-sim started in the background in a window on Display; its standard output, standard error and exit
// status land in out.txt, err.txt and status.
class TWindowRun {
public:
    TWindowRun(const TSimFolder& Folder, const TVirtualDisplay& Display, const std::string& Options)
        : Folder(Folder), Display(Display) {
        // libX11 leaks strings of the input context that SDL's video start-up creates; under the leak checker that
        // would be the run's exit status. Its frames carry no frame pointers, so only the library's name is sure to
        // be seen.
        WriteFile(Folder.File("x11.supp"), "leak:libX11.so\n");
        std::vector<std::string> Environment = Display.Environment();
        Environment.insert(Environment.end(), {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER=dummy",
                                               "LSAN_OPTIONS=suppressions=x11.supp:print_suppressions=0"});
        RunProgram({"sh", "-c",
                    "(./brimlet-sim --window " + Options + " >out.txt 2>err.txt; echo $? >status.new; "
                    "mv status.new status) </dev/null >/dev/null 2>&1 &"},
                   TChildOptions{Folder.Path(), "", Environment});
    }
    // The window, found by its caption once the program shows frames; "" when it never appears.
    std::string FindWindow() const {
        const TChildResult Found = X({"xdotool", "search", "--sync", "--name", "^brimlet-sim$"});
        const std::vector<std::string> Ids = SplitLines(Found.Out);
        return Ids.empty() ? "" : Ids.front();
    }
    TChildResult X(const std::vector<std::string>& Command) const {
        return RunProgram(Command, TChildOptions{"", "", Display.Environment(), 60});
    }
    std::string Said() const { return ReadIfThere(Folder.File("err.txt")); }
    // Waits until the launcher names Snapshot as written.
    bool Wrote(const std::string& Snapshot) const {
        return WaitFor([&] { return Said().find("wrote snapshot " + Snapshot + "\n") != std::string::npos; });
    }
    // libX11's requests run in a child process of their own, so that this process keeps no connection and none of
    // the library's allocations.
    std::vector<std::uint32_t> WindowRows(const std::string& Window, int First, int Last) const {
        const std::string File = Folder.File("window.rgb");
        const TChildResult Capture = RunInChild([&] {
            setenv("XAUTHORITY", Display.Authority.c_str(), 1);
            std::vector<std::uint32_t> Pixels;
            if (!WindowPixels(Display.Name, std::stoul(Window), 320, 240, Pixels)) {
                return 1;
            }
            return WriteFile(File, std::string(reinterpret_cast<const char*>(Pixels.data() + First * 320),
                                               (Last - First) * 320 * 4))
                       ? 0
                       : 2;
        });
        const std::string Raw = Capture.ExitStatus == 0 ? ReadFile(File) : "";
        std::vector<std::uint32_t> Pixels(Raw.size() / 4);
        std::memcpy(Pixels.data(), Raw.data(), Pixels.size() * 4);
        return Pixels;
    }
    bool Close(const std::string& Window) const {
        return RunInChild([&] {
                   setenv("XAUTHORITY", Display.Authority.c_str(), 1);
                   return RequestWindowClose(Display.Name, std::stoul(Window)) ? 0 : 1;
               }).ExitStatus == 0;
    }
    bool Traced(const std::string& Line) const {
        return ReadIfThere(Folder.File("trace.txt")).find("\n" + Line) != std::string::npos;
    }
    // The exit status once the run has ended, -1 when it does not end.
    int Status() const {
        std::string Text;
        WaitFor([&] { return !(Text = ReadIfThere(Folder.File("status"))).empty(); });
        return Text.empty() ? -1 : std::stoi(Text);
    }
    std::string LastLine() const {
        const std::vector<std::string> Lines = SplitLines(ReadIfThere(Folder.File("out.txt")));
        return Lines.empty() ? "" : Lines.back();
    }

private:
    const TSimFolder& Folder;
    const TVirtualDisplay& Display;
};

// The rows First to Last - 1 of a 320 x 240 snapshot as 0xRRGGBB values.
std::vector<std::uint32_t> SnapshotRows(const std::string& File, int First, int Last) {
    std::vector<std::uint32_t> Pixels;
    SDL_Surface* Loaded = IMG_Load(File.c_str());
    if (Loaded == nullptr) {
        ADD_FAILURE() << File << ": " << IMG_GetError();
        return Pixels;
    }
    SDL_LockSurface(Loaded);
    for (int Y = First; Y < Last; ++Y) {
        for (int X = 0; X < Loaded->w; ++X) {
            const auto* Pixel = static_cast<const std::uint8_t*>(Loaded->pixels) + Y * Loaded->pitch +
                                X * Loaded->format->BytesPerPixel;
            std::uint32_t Value = 0;
            std::memcpy(&Value, Pixel, Loaded->format->BytesPerPixel);
            Uint8 R, G, B;
            SDL_GetRGB(Value, Loaded->format, &R, &G, &B);
            Pixels.push_back(std::uint32_t{R} << 16 | std::uint32_t{G} << 8 | B);
        }
    }
    SDL_UnlockSurface(Loaded);
    SDL_FreeSurface(Loaded);
    return Pixels;
}

// RGB565's share of each colour: what both pictures keep of the page.
std::vector<std::uint32_t> As565(std::vector<std::uint32_t> Pixels) {
    for (std::uint32_t& Pixel : Pixels) {
        Pixel &= 0xF8FCF8u;
    }
    return Pixels;
}

class LauncherWindow : public testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("xvfb-run") || !OnPath("xdotool")) {
            GTEST_SKIP() << "xvfb-run and xdotool are needed to drive the window";
        }
    }
};

TEST_F(LauncherWindow, KeysDriveTheProgramAndTheCloseBoxEndsTheRun) {
    TSimFolder Folder;
    TVirtualDisplay Display;
    ASSERT_FALSE(Display.Name.empty());
    TWindowRun Run(Folder, Display, "--trace trace.txt");
    const std::string Window = Run.FindWindow();
    ASSERT_FALSE(Window.empty());
    EXPECT_EQ(Run.Said().rfind("Keys:\n", 0), 0u) << Run.Said();
    auto Key = [&](const char* Name) { Run.X({"xdotool", "key", "--window", Window, Name}); };

    Key("s");
    ASSERT_TRUE(Run.Wrote("snapshot-1.png"));
    // The window shows the page the snapshot holds, below the status lines, which change from frame to frame.
    const std::vector<std::uint32_t> Shown = Run.WindowRows(Window, 60, 240);
    ASSERT_EQ(Shown.size(), 320u * 180u);
    EXPECT_EQ(As565(Shown), As565(SnapshotRows(Folder.File("snapshot-1.png"), 60, 240)));

    // B is button 2, V-Sync off: the program reads it, and the next snapshot shows a new V-Sync line.
    Key("b");
    ASSERT_TRUE(WaitFor([&] { return Run.Traced("R16 C0001184 DFFF"); }));
    Key("s");
    ASSERT_TRUE(Run.Wrote("snapshot-2.png"));
    EXPECT_NE(SnapshotRows(Folder.File("snapshot-1.png"), 40, 53),
              SnapshotRows(Folder.File("snapshot-2.png"), 40, 53));
    EXPECT_EQ(SnapshotRows(Folder.File("snapshot-1.png"), 60, 240),
              SnapshotRows(Folder.File("snapshot-2.png"), 60, 240));

    // An arrow held scrolls the view.
    Run.X({"xdotool", "keydown", "--window", Window, "Right"});
    ASSERT_TRUE(WaitFor([&] { return Run.Traced("R16 C0001198 FFBF"); }));
    Run.X({"xdotool", "keyup", "--window", Window, "Right"});
    Key("F12");
    ASSERT_TRUE(Run.Wrote("snapshot-3.png"));
    EXPECT_NE(SnapshotRows(Folder.File("snapshot-2.png"), 60, 240),
              SnapshotRows(Folder.File("snapshot-3.png"), 60, 240));

    EXPECT_TRUE(Run.Close(Window));
    EXPECT_EQ(Run.Status(), 0) << Run.Said();
    EXPECT_EQ(Run.LastLine(), "program terminated");
}

TEST_F(LauncherWindow, EscapeIsTheExitButton) {
    TSimFolder Folder;
    TVirtualDisplay Display;
    ASSERT_FALSE(Display.Name.empty());
    TWindowRun Run(Folder, Display, "--fast");
    const std::string Window = Run.FindWindow();
    ASSERT_FALSE(Window.empty());
    Run.X({"xdotool", "key", "--window", Window, "Escape"});
    EXPECT_EQ(Run.Status(), 0) << Run.Said();
    EXPECT_EQ(Run.LastLine(), "program terminated");
}

} // namespace
