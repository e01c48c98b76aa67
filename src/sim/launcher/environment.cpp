#include "sim/launcher/environment.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <X11/Xlib.h>

namespace {

// The check's connection, while it is held.
Display* Checked = nullptr;

bool Exists(const std::string& Path)
{
    struct stat Information;
    return stat(Path.c_str(), &Information) == 0;
}

bool IsSet(const char* Name)
{
    const char* Value = std::getenv(Name);
    return Value != nullptr && *Value != '\0';
}

} // namespace

bool DisplayAvailable()
{
    if (const char* Driver = std::getenv("SDL_VIDEODRIVER"); Driver != nullptr && *Driver != '\0')
        return std::string(Driver) != "dummy";
    return IsSet("DISPLAY");
}

bool X11Chosen()
{
    const char* Driver = std::getenv("SDL_VIDEODRIVER");
    return Driver != nullptr && std::string(Driver) == "x11";
}

bool DisplayOpens(std::string& Reason)
{
    const char* Driver = std::getenv("SDL_VIDEODRIVER");
    if (Driver != nullptr && *Driver != '\0' && std::string(Driver) != "x11")
        return true;
    Display* Opened = XOpenDisplay(nullptr);
    if (Opened == nullptr) {
        const std::string Name = XDisplayName(nullptr);
        Reason = Name.empty() ? "cannot open a display: DISPLAY is not set" : "cannot open the display " + Name;
        return false;
    }
    Checked = Opened;
    return true;
}

void CloseDisplayCheck()
{
    if (Checked != nullptr)
        XCloseDisplay(Checked);
    Checked = nullptr;
}

bool SoundDeviceAvailable()
{
    if (Exists("/dev/snd") || Exists("/dev/dsp") || IsSet("PULSE_SERVER"))
        return true;
    if (IsSet("XDG_RUNTIME_DIR") && Exists(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/pulse/native"))
        return true;
    return Exists("/run/user/" + std::to_string(getuid()) + "/pulse/native");
}

void ChooseSdlDrivers(bool Window)
{
    // setenv with 0 keeps a value the user set. A window is X11's alone: were the display unusable, SDL would
    // otherwise fall back on a terminal driver that writes into the program's standard output and never ends.
    setenv("SDL_VIDEODRIVER", Window ? "x11" : "dummy", 0);
    if (!SoundDeviceAvailable())
        setenv("SDL_AUDIODRIVER", "dummy", 0);
}
