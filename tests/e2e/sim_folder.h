#pragma once
// brimlet-sim run as a user runs it: in a folder of its own holding the data files and a copy of the executable,
// so that the log, named after the executable, lands there as well.

#include "support/test_support.h"

#include <string>
#include <vector>

class TSimFolder {
public:
    // A folder with brimlet-sim, music.ogg and galaxy.bmp from the build.
    TSimFolder();

    std::string File(const std::string& Name) const { return Dir.File(Name); }
    // Replaces or removes a data file of the run.
    void RemoveFile(const std::string& Name) const;
    void PutFile(const std::string& Name, const std::string& Content) const;

    // Runs ./brimlet-sim with Arguments in the folder.
    TChildResult Run(const std::vector<std::string>& Arguments) const;
    // The text of the run's log, brimlet-sim.log.
    std::string LogText() const;

private:
    TTempDir Dir;
};

// One log entry, taken apart.
struct TLogEntry {
    bool Error;
    std::string Time;
    std::string Message;
    std::string Location;
};
// The entries of a log; a part that is no well-formed entry fails the test.
std::vector<TLogEntry> ParseLog(const std::string& Text);

// Whether a line matches an expected line with the placeholders below.
bool LineMatches(const std::string& Text, const std::string& Pattern);

// Standard output checked line by line against Expected. In an expected line, "<hex>" stands for 8 or more
// upper-case hexadecimal digits, "<n>" for a decimal number and "<any>" for any non-empty text; everything else is
// literal. An expected line "<lines>" stands for one or more non-empty lines. The failure names the first line
// that differs.
void ExpectLines(const std::vector<std::string>& Expected, const std::string& Actual);

// The log's entries checked against Expected, all but the time; an expected message "<any>" stands for any
// non-empty message.
void ExpectLog(const std::vector<TLogEntry>& Expected, const std::string& Text);

// The lines of a trace file that begin with Word followed by a blank, without it.
std::vector<std::string> TraceEvents(const std::string& TraceText, const std::string& Word);
