#pragma once
// brimlet-sim installed (cmake --install, the Debian package): PREFIX/bin/brimlet-sim beside PREFIX/lib/brimlet-sim/
// (the video module) and PREFIX/share/brimlet-sim/ (the data files), found from the executable's own location, so
// that it runs from any folder. The program stays as it is: the data files it opens by name and finds missing in the
// working folder are taken from the installed ones, and its log goes to a per-user folder where the executable's
// folder cannot take it. Outputs and snapshots stay in the working folder, which brimlet-sim never changes.
// Module state, set once by UseInstalledFolders; the device library never sets it.

#include <string>

// Turns the installed folders on for this run of brimlet-sim: the data files' fallback and the log's place.
void UseInstalledFolders();
// Whether UseInstalledFolders was called, for --help.
bool InstalledFoldersUsed();

// The running executable's folder, "" when the system does not tell it.
std::string ExecutableFolder();
// The folder of the video module: the installed library folder when ExecutableFolder/../lib/brimlet-sim holds
// Module, else the executable's own folder (a build folder).
std::string VideoModuleFolder(const std::string& ExecutableFolder, const std::string& Module);

// The folder for the program's log: ExecutableFolder when it is writable and, for an installed brimlet-sim, not the
// system's (under /usr, which nothing writes at run time), else brimlet-sim under StateHome ($XDG_STATE_HOME, taken
// only when absolute) or Home/.local/state. ExecutableFolder when neither is known.
std::string LogFolder(const std::string& ExecutableFolder, bool Writable, bool Installed, const char* StateHome,
                      const char* Home);

// The file that the program's open of File for reading takes: File itself, unless it is a bare name missing from
// the working folder and present in DataFolder.
std::string DataFile(const std::string& File, const std::string& DataFolder);
