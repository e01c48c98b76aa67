// brimlet-sim installed as `cmake --install` lays it out, under a DESTDIR: what is installed, and runs from an empty
// folder that take the installed data files and video module and write their outputs into the working folder.

#include "runs/runs.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The installed files under Root, relative to it, the manual's own pages left out.
TLines InstalledFiles(const std::string& Root)
{
    TLines Files;
    for (const fs::directory_entry& Entry : fs::recursive_directory_iterator(Root))
        if (!Entry.is_directory()) {
            const std::string File = fs::relative(Entry.path(), Root).string();
            if (File.rfind("usr/share/doc/brimlet-sim/docs/", 0) != 0)
                Files.push_back(File);
        }
    std::sort(Files.begin(), Files.end());
    return Files;
}

} // namespace

TEST(Install, PutsBrimletSimUnderThePrefixAndRunsItFromAnyFolder)
{
    TTempDir Dir;
    const std::string Root = Dir.File("root");
    const TChildResult Install =
        RunProgram({"cmake", "--install", BRIMLET_BINARY_DIR, "--prefix", "/usr"}, {"", "", {"DESTDIR=" + Root}});
    ASSERT_EQ(Install.ExitStatus, 0) << Install.Err;
    TLines Expected{"usr/bin/brimlet-sim"};
    if (BRIMLET_VIDEO_BUILT)
        Expected.push_back("usr/lib/brimlet-sim/brimlet-video.so");
    Expected = Expected
        + TLines{"usr/share/bash-completion/completions/brimlet-sim", "usr/share/brimlet-sim/galaxy.bmp",
                 "usr/share/brimlet-sim/music.ogg", "usr/share/doc/brimlet-sim/README.md"};
    if (BRIMLET_MAN_BUILT)
        Expected.push_back("usr/share/man/man1/brimlet-sim.1.gz");
    EXPECT_EQ(InstalledFiles(Root), Expected);
    EXPECT_TRUE(PathExists(Root + "/usr/share/doc/brimlet-sim/docs/brimlet-sim.md"));
    for (const char* Data : {"galaxy.bmp", "music.ogg"})
        EXPECT_EQ(ReadFile(Root + "/usr/share/brimlet-sim/" + Data), ReadFile(BRIMLET_DATA_DIR "/" + std::string(Data)));

    // In an empty folder the installed data files are read, and every output lands in the working folder. With a
    // galaxy.bmp of its own there, that one is read, and found broken.
    struct TCase {
        std::string Folder;
        std::vector<std::string> Options;
        TLines Written;
        TLines Printed; // among the program's lines
    };
    std::vector<TCase> Cases{
        {"empty", {"--trace", "trace.txt", "--script", "../script.txt"}, {"shot.png", "trace.txt"},
         {"music loaded", "Image loaded", "program terminated"}},
        {"own-galaxy", {}, {"galaxy.bmp"}, {"music loaded", "Loading image failed"}}};
    if (BRIMLET_VIDEO_BUILT) {
        Cases[0].Options.insert(Cases[0].Options.end(), {"--video", "video.mkv"});
        Cases[0].Written.push_back("video.mkv");
    }
    ASSERT_TRUE(WriteFile(Dir.File("script.txt"), "3 snapshot shot.png\n"));
    fs::create_directory(Dir.File("empty"));
    fs::create_directory(Dir.File("own-galaxy"));
    ASSERT_TRUE(WriteFile(Dir.File("own-galaxy/galaxy.bmp"), "not a bitmap"));
    for (const TCase& Case : Cases) {
        std::vector<std::string> Command{Root + "/usr/bin/brimlet-sim", "--headless", "--fast", "--frames", "30"};
        Command.insert(Command.end(), Case.Options.begin(), Case.Options.end());
        const TChildResult Run = RunProgram(Emulated(Command), {Dir.File(Case.Folder), "",
                                                                {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
                                                                 "HOME=" + Dir.Path(), "XDG_STATE_HOME"}});
        EXPECT_EQ(Run.ExitStatus, 0) << Case.Folder << ": " << Run.Err;
        const TLines Out = SplitLines(Run.Out);
        for (const std::string& Line : Case.Printed)
            EXPECT_NE(std::find(Out.begin(), Out.end(), Line), Out.end()) << Case.Folder << ": " << Line;
        TLines Written;
        for (const fs::directory_entry& Entry : fs::directory_iterator(Dir.File(Case.Folder)))
            Written.push_back(Entry.path().filename().string());
        std::sort(Written.begin(), Written.end());
        EXPECT_EQ(Written, Case.Written) << Case.Folder;
    }
    // The folder of the executable is writable and not the system's, so the logs land beside it.
    EXPECT_TRUE(PathExists(Root + "/usr/bin/brimlet-sim.log"));
    EXPECT_TRUE(PathExists(Root + "/usr/bin/1brimlet-sim.log"));
    EXPECT_FALSE(PathExists(Dir.File(".local")));
}
