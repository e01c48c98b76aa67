#include "sim/launcher/script_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

bool ReadScriptFile(const std::string& File, std::string& Text, std::string& Error, const std::string& What)
{
    const int Handle = open(File.c_str(), O_RDONLY | O_CLOEXEC);
    if (Handle < 0) {
        Error = "cannot read " + What + " " + File + ": " + std::strerror(errno);
        return false;
    }
    Text.clear();
    char Buffer[65536];
    ssize_t Count;
    // One byte past the limit tells a script that holds exactly the limit from one that holds more.
    while (Text.size() <= ScriptLimitBytes && (Count = read(Handle, Buffer, sizeof Buffer)) != 0) {
        if (Count > 0) {
            Text.append(Buffer, static_cast<std::size_t>(Count));
        } else if (errno != EINTR) {
            Error = "cannot read " + What + " " + File + ": " + std::strerror(errno);
            close(Handle);
            return false;
        }
    }
    close(Handle);
    if (Text.size() > ScriptLimitBytes) {
        Error = What + " " + File + " holds more than " + std::to_string(ScriptLimitBytes / 1024 / 1024)
            + " MiB, the most a script may hold";
        return false;
    }
    return true;
}
