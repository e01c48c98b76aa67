// The window for real, on a virtual X display: the shown page presented in it, keys driving the input panel, the
// snapshot key, and the close box ending the run through the program's own shutdown.

#include <gtest/gtest.h>

#include <SDL_image.h>

#include <chrono>
#include <functional>
#include <thread>

#include "launcher/sim_folder.h"
#include "launcher/x_client.h"

namespace {

// Polls Condition until it holds; false after a minute, which only keeps a broken run from hanging the test.
bool WaitFor(const std::function<bool()>& Condition) {
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
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

// The rows First to Last - 1 of a 320 x 240 picture as 0xRRGGBB values, cut to RGB565's share of each colour.
std::vector<std::uint32_t> SnapshotRows(const std::string& File, int First, int Last) {
    SDL_Surface* Loaded = IMG_Load(File.c_str());
    SDL_Surface* Rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    std::vector<std::uint32_t> Pixels;
    if (Loaded != nullptr && Rgb != nullptr && SDL_BlitSurface(Loaded, nullptr, Rgb, nullptr) == 0) {
        for (int Index = First * 320; Index < Last * 320; ++Index) {
            Pixels.push_back(static_cast<const std::uint32_t*>(Rgb->pixels)[Index] & 0xF8FCF8u);
        }
    }
    SDL_FreeSurface(Loaded);
    SDL_FreeSurface(Rgb);
    EXPECT_FALSE(Pixels.empty()) << File << ": " << IMG_GetError();
    return Pixels;
}

// Rows First to Last - 1 of a 320 x 240 window, like SnapshotRows, from xwd's dump of it: a header of 32-bit
// big-endian fields, the window's name and colours, then the pixels, 32 bits each, least significant byte first.
std::vector<std::uint32_t> WindowRows(const std::string& Dump, int First, int Last) {
    const auto Field = [&Dump](std::size_t At, bool BigEndian) {
        std::uint32_t Value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            Value = Value << 8 | static_cast<unsigned char>(Dump[At + (BigEndian ? i : 3 - i)]);
        }
        return Value;
    };
    std::vector<std::uint32_t> Pixels;
    if (Dump.size() < 100 || Field(7 * 4, true) != 0 || Field(11 * 4, true) != 32) {
        ADD_FAILURE() << "no dump of a window of 32 bits a pixel, least significant byte first";
        return Pixels;
    }
    const std::size_t Start = Field(0, true) + Field(19 * 4, true) * 12;
    const std::size_t Line = Field(12 * 4, true);
    for (int Y = First; Y < Last && Start + Last * Line <= Dump.size(); ++Y) {
        for (int X = 0; X < 320; ++X) {
            Pixels.push_back(Field(Start + Y * Line + X * 4, false) & 0xF8FCF8u);
        }
    }
    return Pixels;
}

TEST(LauncherWindow, KeysDriveTheProgramAndTheCloseBoxEndsTheRun) {
    if (RunProgram({"sh", "-c", "command -v xvfb-run && command -v xdotool && command -v xwd"}).ExitStatus != 0) {
        GTEST_SKIP() << "xvfb-run, xdotool and xwd are needed to drive the window";
    }
    TSimFolder Folder;
    TTempDir DisplayFolder;
    // An X display of its own: the shell inside xvfb-run keeps the server up while its marker file exists, that is
    // until DisplayFolder goes.
    RunProgram({"sh", "-c",
                "xvfb-run -a -s '-screen 0 640x480x24' sh -c 'echo \"$DISPLAY $XAUTHORITY\" > display.new && "
                "mv display.new display && while [ -e display ]; do sleep 0.1; done' </dev/null >/dev/null 2>&1 &"},
               {DisplayFolder.Path(), "", {}, 30});
    const std::string Marker = DisplayFolder.File("display");
    std::string Text;
    ASSERT_TRUE(WaitFor([&] { return !(Text = ReadIfThere(Marker)).empty(); }));
    const std::string Display = Text.substr(0, Text.find(' '));
    const std::string Authority = Text.substr(Text.find(' ') + 1, Text.size() - Text.find(' ') - 2);
    const std::vector<std::string> Environment{"DISPLAY=" + Display, "XAUTHORITY=" + Authority};

    // libX11 leaks strings of the input context that SDL's video start-up creates; under the leak checker that would
    // be the run's exit status. Its frames carry no frame pointers, so only the library's name is sure to be seen.
    ASSERT_TRUE(WriteFile(Folder.File("x11.supp"), "leak:libX11.so\n"));
    std::vector<std::string> RunEnvironment = Environment;
    RunEnvironment.insert(RunEnvironment.end(), {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER=dummy",
                                                 "LSAN_OPTIONS=suppressions=x11.supp:print_suppressions=0"});
    RunProgram({"sh", "-c",
                "(./brimlet-sim --window --trace trace.txt >out.txt 2>err.txt; echo $? >status.new; "
                "mv status.new status) </dev/null >/dev/null 2>&1 &"},
               {Folder.Path(), "", RunEnvironment, 120});
    const auto X = [&](const std::vector<std::string>& Command) {
        return RunProgram(Command, {"", "", Environment, 60});
    };
    const auto Found = SplitLines(X({"xdotool", "search", "--sync", "--name", "^brimlet-sim$"}).Out);
    ASSERT_EQ(Found.size(), 1u);
    const std::string Window = Found[0];
    const auto Said = [&] { return ReadIfThere(Folder.File("err.txt")); };
    const auto Wrote = [&](const std::string& Snapshot) {
        return WaitFor([&] { return Said().find("wrote snapshot " + Snapshot + "\n") != std::string::npos; });
    };
    const auto Traced = [&](const std::string& Line) {
        return WaitFor([&] { return ReadIfThere(Folder.File("trace.txt")).find("\n" + Line) != std::string::npos; });
    };
    const auto Rows = [&](int Number, int First, int Last) {
        return SnapshotRows(Folder.File("snapshot-" + std::to_string(Number) + ".png"), First, Last);
    };
    EXPECT_EQ(Said().rfind("Keys:\n", 0), 0u) << Said();

    X({"xdotool", "key", "--window", Window, "s"});
    ASSERT_TRUE(Wrote("snapshot-1.png"));
    // The window shows the page the snapshot holds, below the status lines, which change from frame to frame.
    EXPECT_EQ(WindowRows(X({"xwd", "-silent", "-id", Window}).Out, 60, 240), Rows(1, 60, 240));

    // B is button 2, V-Sync off, and an arrow held scrolls the view: the program reads both, and the next snapshot
    // shows a new V-Sync line and the view moved.
    X({"xdotool", "key", "--window", Window, "b"});
    ASSERT_TRUE(Traced("R16 C0001184 DFFF"));
    X({"xdotool", "keydown", "--window", Window, "Right"});
    ASSERT_TRUE(Traced("R16 C0001198 FFBF"));
    X({"xdotool", "keyup", "--window", Window, "Right"});
    X({"xdotool", "key", "--window", Window, "F12"});
    ASSERT_TRUE(Wrote("snapshot-2.png"));
    EXPECT_NE(Rows(1, 40, 53), Rows(2, 40, 53));
    EXPECT_NE(Rows(1, 60, 240), Rows(2, 60, 240));

    // libX11 runs in a child, so that this process keeps no connection and none of the library's allocations.
    EXPECT_EQ(RunInChild([&] {
                  setenv("XAUTHORITY", Authority.c_str(), 1);
                  return RequestWindowClose(Display, std::stoul(Window)) ? 0 : 1;
              }).ExitStatus,
              0);
    std::string Status;
    EXPECT_TRUE(WaitFor([&] { return !(Status = ReadIfThere(Folder.File("status"))).empty(); }));
    EXPECT_EQ(Status, "0\n") << Said();
    const std::vector<std::string> Out = SplitLines(ReadIfThere(Folder.File("out.txt")));
    EXPECT_EQ(Out.empty() ? "" : Out.back(), "program terminated");
}

} // namespace
