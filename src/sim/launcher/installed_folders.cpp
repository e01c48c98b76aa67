#include "sim/launcher/installed_folders.h"

#include "log/logger.h"

#include <SDL.h>
#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Where the package puts its files, relative to the executable's folder.
const char* const InstalledLibraries = "../lib/brimlet-sim";
const char* const InstalledData = "../share/brimlet-sim";

bool Used = false;
// The installed data files' folder, "" when brimlet-sim is not installed.
std::string DataFolder;

bool Absolute(const char* Path)
{
    return Path != nullptr && Path[0] == '/';
}

// The user's home: HOME, else the password database's.
const char* HomeFolder()
{
    if (Absolute(std::getenv("HOME")))
        return std::getenv("HOME");
    const passwd* User = getpwuid(getuid());
    return User != nullptr ? User->pw_dir : nullptr;
}

// The path the logger names its file after: the executable's own, or its name in the per-user folder, made on first
// use. A folder that cannot be made leaves the executable's, so that the program says why it cannot log.
std::string LoggedExecutablePath()
{
    std::error_code Error;
    const fs::path Executable = fs::read_symlink("/proc/self/exe", Error);
    if (Error)
        return "";
    const std::string Folder = Executable.parent_path().string();
    const std::string Chosen = LogFolder(Folder, access(Folder.c_str(), W_OK) == 0, !DataFolder.empty(),
                                         std::getenv("XDG_STATE_HOME"), HomeFolder());
    if (Chosen == Folder)
        return Executable.string();
    fs::create_directories(fs::path(Chosen).parent_path(), Error);
    if (mkdir(Chosen.c_str(), 0700) != 0 && errno != EEXIST)
        return Executable.string();
    return Chosen + "/" + Executable.filename().string();
}

} // namespace

void UseInstalledFolders()
{
    Used = true;
    std::error_code Error;
    const fs::path Data = fs::path(ExecutableFolder()) / InstalledData;
    DataFolder = fs::is_directory(Data, Error) ? Data.lexically_normal().string() : "";
    SetLoggerExecutablePath(LoggedExecutablePath);
}

bool InstalledFoldersUsed()
{
    return Used;
}

std::string ExecutableFolder()
{
    std::error_code Error;
    const fs::path Executable = fs::read_symlink("/proc/self/exe", Error);
    return Error ? "" : Executable.parent_path().string();
}

std::string VideoModuleFolder(const std::string& ExecutableFolder, const std::string& Module)
{
    std::error_code Error;
    const fs::path Installed = fs::path(ExecutableFolder) / InstalledLibraries;
    return fs::exists(Installed / Module, Error) ? Installed.lexically_normal().string() : ExecutableFolder;
}

std::string LogFolder(const std::string& ExecutableFolder, bool Writable, bool Installed, const char* StateHome,
                      const char* Home)
{
    const bool System = Installed && (ExecutableFolder == "/usr" || ExecutableFolder.rfind("/usr/", 0) == 0);
    if (Writable && !System)
        return ExecutableFolder;
    // A relative XDG_STATE_HOME is to be ignored: it would put the log wherever the run was started.
    if (Absolute(StateHome))
        return std::string(StateHome) + "/brimlet-sim";
    if (Absolute(Home))
        return std::string(Home) + "/.local/state/brimlet-sim";
    return ExecutableFolder;
}

std::string DataFile(const std::string& File, const std::string& DataFolder)
{
    struct stat Status;
    // A bare name that nothing in the working folder answers to, not even a dangling link.
    const bool Missing = File.find('/') == std::string::npos && lstat(File.c_str(), &Status) != 0 && errno == ENOENT;
    if (DataFolder.empty() || File.empty() || !Missing)
        return File;
    const std::string Installed = DataFolder + "/" + File;
    return lstat(Installed.c_str(), &Status) == 0 ? Installed : File;
}

// SDL_image and SDL_mixer open the program's data files through SDL_RWFromFile, and the program's own check of a
// bitmap's headers does too: defined here in front of SDL's (the executable's definitions come first), it gives
// them the installed copy of a data file missing from the working folder.
extern "C" SDL_RWops* SDL_RWFromFile(const char* File, const char* Mode)
{
    static auto* const Real =
        reinterpret_cast<SDL_RWops* (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "SDL_RWFromFile"));
    if (Real == nullptr) {
        SDL_SetError("SDL_RWFromFile not found after brimlet-sim's own");
        return nullptr;
    }
    const bool Reading =
        File != nullptr && Mode != nullptr && Mode[0] == 'r' && std::string(Mode).find('+') == std::string::npos;
    return Real(Reading ? DataFile(File, DataFolder).c_str() : File, Mode);
}
