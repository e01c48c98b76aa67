#pragma once
// brimlet-sim run end to end as a user runs it: a copy of the executable (the instrumented one in the sanitizer
// build) in a folder of its own with the build's data files, where its log lands too.

#include "support/test_support.h"

#include <string>
#include <vector>

class TSimRun {
public:
    TSimRun();

    std::string File(const std::string& Name) const { return Dir.File(Name); }
    const std::string& Folder() const { return Dir.Path(); }
    void Put(const std::string& Name, const std::string& Content) const;
    void Remove(const std::string& Name) const;
    // Puts an empty folder in the place of a data file.
    void MakeFolder(const std::string& Name) const;
    // Runs ./brimlet-sim with Arguments in the folder with SDL's dummy drivers, after Wrapper's words if any.
    TChildResult Run(const std::vector<std::string>& Arguments, const std::vector<std::string>& Wrapper = {},
                     int TimeoutSeconds = 120) const;
    static std::vector<std::string> Environment();
    std::string Log() const;

private:
    TTempDir Dir;
};

// Whether valgrind is installed and this is not the sanitizer build.
bool ValgrindUsable();
// The run under memcheck with tests/valgrind.supp, every leak kind an error; "ERROR SUMMARY: 0 errors" on standard
// error when it found nothing.
TChildResult RunUnderValgrind(const TSimRun& Run, const std::vector<std::string>& Arguments);

// How a run ended, by its exit status and its last line on standard output.
enum class TRunEnd {
    Clean,       // status 0 and "program terminated" after "Video done"
    ImageFailed, // status 0 and "Loading image failed" last
    MusicFailed, // status 0 and "Loading music failed" last
    Other,
};
TRunEnd RunEnd(const TChildResult& Result);

// The messages of the log's entries; fails the test unless each entry is whole (ends in CR LF LF) up to the end.
std::vector<std::string> CompleteLogMessages(const std::string& Text);

std::string RandomBytes(std::size_t Count, unsigned Seed);

// What every run must show, however it ended: no sanitizer report; an image copy that fits the memory window; every
// traced blit (when traced to trace.txt) writing inside one page and reading only the image copy where the image
// covers the view at two bytes a pixel, else only the memory window; a whole log from "Starting Application" to
// "Terminating Application".
void ExpectNothingOutOfBounds(const TSimRun& Run, const TChildResult& Result);
