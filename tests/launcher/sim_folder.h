#pragma once
// brimlet-sim run as a child process in a temporary folder that holds a copy of the executable and the data files,
// so that its log and its snapshots land there.

#include <string>
#include <vector>

#include "support/test_support.h"

class TSimFolder {
public:
    TSimFolder();
    const std::string& Path() const { return Folder.Path(); }
    std::string File(const std::string& Name) const { return Folder.File(Name); }
    // Runs ./brimlet-sim with Arguments in the folder; Environment as TChildOptions has it ("NAME=VALUE" sets,
    // "NAME" removes).
    TChildResult Run(const std::vector<std::string>& Arguments, const std::vector<std::string>& Environment = {},
                     int TimeoutSeconds = 120) const;
    // The names in the folder other than the executable and the data files.
    std::vector<std::string> NewFiles() const;

private:
    TTempDir Folder;
};

// The width and height recorded in a PNG file's header; false when File is no PNG.
bool PngSize(const std::string& File, int& Width, int& Height);
