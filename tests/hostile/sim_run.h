#pragma once
// brimlet-sim run end to end as a user runs it: a copy of the executable in a folder of its own with the data
// files from the build, so that its log lands there too. Under the sanitizer build the copy is the instrumented
// executable, and its reports are looked for in what it wrote.

#include "support/test_support.h"

#include <cstdint>
#include <string>
#include <vector>

class TSimRun {
public:
    TSimRun();

    std::string File(const std::string& Name) const { return Dir.File(Name); }
    const std::string& Folder() const { return Dir.Path(); }
    // Replaces a data file of the run (or any file of the folder) with Content.
    void Put(const std::string& Name, const std::string& Content) const;
    // Removes a data file, or puts an empty folder in its place.
    void Remove(const std::string& Name) const;
    void MakeFolder(const std::string& Name) const;

    // Runs ./brimlet-sim with Arguments in the folder, with SDL's dummy drivers.
    TChildResult Run(const std::vector<std::string>& Arguments, int TimeoutSeconds = 120) const;
    // The same run under another program, such as valgrind: Wrapper's words come before ./brimlet-sim.
    TChildResult RunUnder(const std::vector<std::string>& Wrapper, const std::vector<std::string>& Arguments,
                          int TimeoutSeconds) const;
    // The environment that Run gives the child, for runs started otherwise.
    static std::vector<std::string> Environment();
    // The run's log, brimlet-sim.log.
    std::string Log() const;

private:
    TTempDir Dir;
};

// Whether valgrind can run brimlet-sim here: it is installed, and this is not the sanitizer build, whose
// executable valgrind cannot run.
bool ValgrindUsable();
// Runs ./brimlet-sim under valgrind's memcheck with the suppressions of tests/valgrind.supp, every kind of leak
// counted as an error. Memcheck's summary is on standard error; "ERROR SUMMARY: 0 errors" when it found nothing.
TChildResult RunUnderValgrind(const TSimRun& Run, const std::vector<std::string>& Arguments);

// How a run ended, by its exit status and its last line on standard output.
enum class TRunEnd {
    Clean,       // status 0 and "program terminated" after "Video done"
    ImageFailed, // status 0 and "Loading image failed" last
    MusicFailed, // status 0 and "Loading music failed" last
    Other,
};
TRunEnd RunEnd(const TChildResult& Result);
const char* RunEndName(TRunEnd End);

// True when standard error holds a report of AddressSanitizer, LeakSanitizer or UndefinedBehaviorSanitizer.
bool HasSanitizerReport(const std::string& Err);

// The log's entries are whole: each ends in CR LF LF and the file ends at the end of one. Returns the entries'
// messages, or fails the test and returns what was whole.
std::vector<std::string> CompleteLogMessages(const std::string& Text);

// The blits in a trace file, rebuilt from the blitter register writes that each start wrote.
struct TTracedBlit {
    std::uint32_t DstCtrl, DstAddr, DstStride, SrcCtrl, SrcAddr, SrcStride, Size, Op;
};
std::vector<TTracedBlit> TracedBlits(const std::string& TraceText);
// Why Blit reads or writes outside where the program's blits belong: the destination wholly inside one 320 x 240
// page of a framebuffer, and the source, where the raster operation reads it, wholly inside the physical range
// [SourceStart, SourceStart + SourceBytes). "" when it stays inside.
std::string BlitOutOfBounds(const TTracedBlit& Blit, std::uint32_t SourceStart, std::uint32_t SourceBytes);

// Count bytes of a fixed pseudo-random sequence chosen by Seed.
std::string RandomBytes(std::size_t Count, unsigned Seed);

// The whole of a file, "" when there is none (yet).
std::string ReadFileIfAny(const std::string& Path);

// The number after Label on the line of standard output that begins with it, or -1.
long long ReportedNumber(const std::string& Out, const std::string& Label);

// What every run must show, whichever way it ended: no sanitizer report; an image copy that fits the memory window
// (when one was made); every traced blit inside its bounds (when the run was traced to trace.txt), reading only
// the image copy where the image covers the view at two bytes a pixel and only the memory window otherwise, since
// the view then runs past the image's last row; and a whole log that begins with "Starting Application" and ends
// with "Terminating Application".
void ExpectNothingOutOfBounds(const TSimRun& Run, const TChildResult& Result);
