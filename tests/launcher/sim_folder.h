#pragma once
// brimlet-sim run as a child process in a temporary folder that holds a copy of the executable and the data files,
// so that its log and its snapshots land there; and the simulated device's inputs by their script names.

#include "sim/sim.h"
#include "support/test_support.h"

#include <string>
#include <vector>

class TSimFolder {
public:
    TSimFolder();
    const std::string& Path() const { return Folder.Path(); }
    std::string File(const std::string& Name) const { return Folder.File(Name); }
    // Runs ./brimlet-sim with Arguments in the folder; Environment as TChildOptions has it ("NAME=VALUE" sets,
    // "NAME" removes).
    TChildResult Run(const std::vector<std::string>& Arguments, const std::vector<std::string>& Environment = {}) const;
    // The names in the folder other than the executable and the data files.
    std::vector<std::string> NewFiles() const;

private:
    TTempDir Folder;
};

// The script names of the inputs in the order of TSimInput.
inline const char* const InputNames[] = {"b1", "b2", "b3", "b4", "b5", "b6", "b7", "b8", "b9",
                                          "b10", "up", "upleft", "left", "downleft", "down", "downright", "right",
                                          "upright"};
// The inputs held now, such as "b3 up".
std::string HeldInputs();

// "WIDTHxHEIGHT" of a PNG file, or why it cannot be read as one.
std::string PngSize(const std::string& File);
