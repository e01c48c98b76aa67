#pragma once
// brimlet-sim run as a user runs it: in a folder of its own holding the data files and a copy of the executable,
// so that the log, named after the executable, lands there as well.

#include "support/test_support.h"

#include <string>
#include <vector>

using TLines = std::vector<std::string>;

inline TLines operator+(TLines Front, const TLines& Back)
{
    Front.insert(Front.end(), Back.begin(), Back.end());
    return Front;
}

class TSimFolder {
public:
    // A folder with brimlet-sim, music.ogg and galaxy.bmp from the build.
    TSimFolder();
    std::string File(const std::string& Name) const { return Dir.File(Name); }
    // Runs ./brimlet-sim --fast --headless with Arguments in the folder.
    TChildResult Run(const std::vector<std::string>& Arguments) const;
    // The log's entries, one a line as "MESSAGE IN : LOCATION", an error's as "ERROR MESSAGE IN : LOCATION"; the
    // time of each must be well-formed and is dropped.
    std::string Log() const;
    // The lines of the trace file trace.txt that begin with Word and a blank, without them.
    TLines Trace(const std::string& Word) const;

private:
    TTempDir Dir;
};

// Whether a line matches an expected line, in which "<hex>" stands for 8 or more upper-case hexadecimal digits,
// "<n>" for a decimal number and "<any>" for any non-empty text before the literal rest of the line.
bool LineMatches(const std::string& Text, const std::string& Pattern);
// Text checked against Expected, line by line and whole; an expected line "<lines>" stands for one or more non-empty
// lines.
void ExpectLines(const TLines& Expected, const std::string& Text);
