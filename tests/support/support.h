#pragma once
// What the tests share: temporary folders, child processes, brimlet-sim run in a folder of its own with its log and
// trace read back, line patterns, frames, and bitmaps made byte by byte.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using TLines = std::vector<std::string>;

// A new empty folder under $TMPDIR (or /tmp), removed with everything in it when the object goes.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    const std::string& Path() const { return FolderPath; }
    std::string File(const std::string& Name) const { return FolderPath + "/" + Name; }

private:
    std::string FolderPath;
};

// The whole file; "" and a test failure when it cannot be read.
std::string ReadFile(const std::string& Path);
bool WriteFile(const std::string& Path, const std::string& Content);
bool PathExists(const std::string& Path);   // a dangling link counts
TLines SplitLines(const std::string& Text); // a final LF ends the last line and starts no new one

struct TChildOptions {
    std::string WorkingDirectory;         // "" keeps the test's own
    std::string StdoutPath;               // when set, standard output goes to this file (e.g. "/dev/full")
    std::vector<std::string> Environment; // "NAME=VALUE" sets, "NAME" removes
    int TimeoutSeconds = 60;              // then the child is killed
};

struct TChildResult {
    int ExitStatus = -1; // -1 when it did not exit by itself
    std::string Out, Err;
};

// Body in a forked copy of the test process, ending with _exit; its result is the exit status (assertions inside do
// not reach the test).
TChildResult RunInChild(const std::function<int()>& Body, const TChildOptions& Options = {});
// A program, searched in PATH when Arguments[0] has no "/".
TChildResult RunProgram(const std::vector<std::string>& Arguments, const TChildOptions& Options = {});
// Replaces this process with that program; on failure it says so and exits with 127.
[[noreturn]] void ExecProgram(const std::vector<std::string>& Arguments);
// The command that starts one of the build's executables: a cross build's emulator in front, as CTest has it.
std::vector<std::string> Emulated(std::vector<std::string> Command);

// Whether Text matches Pattern, in which "<hex>" stands for 8 or more upper-case hexadecimal digits, "<n>" for a
// decimal number and "<any>" for any non-empty text before the literal rest of the line.
bool LineMatches(const std::string& Text, const std::string& Pattern);
// Text checked whole, line by line; an expected line "<lines>" stands for one or more non-empty lines.
void ExpectLines(const TLines& Expected, const std::string& Text);

// brimlet-sim as a user runs it: a copy of the executable (with a link to the video module) and the build's
// galaxy.bmp and music.ogg in a folder of its own, where its log, trace and snapshots land too.
class TSimRun {
public:
    TSimRun();
    const std::string& Folder() const { return Dir.Path(); }
    std::string File(const std::string& Name) const { return Dir.File(Name); }
    void Put(const std::string& Name, const std::string& Content) const;
    // ./brimlet-sim Arguments in the folder on SDL's dummy drivers; Wrapper's words (valgrind) go in front.
    TChildResult Run(const std::vector<std::string>& Arguments, const std::vector<std::string>& Wrapper = {},
                     const std::vector<std::string>& Environment = {}) const;
    // The log's entries as "MESSAGE IN : LOCATION", an error's with "ERROR " in front. An entry that is not whole
    // or not well formed (time included) shows as "not an entry: ..." and the lines after it are dropped.
    TLines Log() const;
    // The lines of trace.txt that begin with Word and a blank, without them.
    TLines Trace(const std::string& Word) const;

private:
    TTempDir Dir;
};

// The words that run a program under valgrind's memcheck with tests/valgrind.supp, every leak an error; empty where
// valgrind is not installed or this is the sanitizer build. "ERROR SUMMARY: 0 errors" on standard error is a pass.
std::vector<std::string> ValgrindWords();

constexpr int ScreenWidth = 320, ScreenHeight = 240;
constexpr std::uint16_t White = 0xFFFF;
using TFrame = std::vector<std::uint16_t>;
// A 320 x 240 PNG as RGB565 (the high bits of each component); empty and a test failure when it is none.
TFrame ReadPng(const std::string& Path);
// Text in white as the built-in font inks it, where DrawText may draw (never the last row).
void DrawExpectedText(TFrame& Frame, int X, int Y, const std::string& Text);
// Exact comparison; a mismatch keeps the snapshot in the build folder and names the first differing pixel.
void ExpectFrame(const TFrame& Actual, const TFrame& Expected, const std::string& Snapshot);

// A Windows bitmap put together byte by byte, so that each header field can hold any value.
struct TBmp {
    std::int32_t Width = 0, Height = 0; // a negative height: rows top-down
    std::uint16_t Bits = 24;
    std::uint32_t Compression = 0;
    std::vector<std::uint32_t> Palette; // 0x00RRGGBB
    std::string Pixels;                 // exactly as stored
};
// The 14-byte file header, the 40-byte info header, the palette and the pixels.
std::string BmpFile(const TBmp& Bmp);
// A 24-bit bitmap, bottom-up, whose pixel (X, Y) widens without loss from the RGB565 value Pixel(X, Y).
std::string Rgb565Bmp(int Width, int Height, const std::function<std::uint16_t(int X, int Y)>& Pixel);
