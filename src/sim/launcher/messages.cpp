#include "sim/launcher/messages.h"

#include <cerrno>
#include <unistd.h>

void WriteStandardError(const std::string& Text) {
    std::size_t Done = 0;
    while (Done < Text.size()) {
        const ssize_t Written = write(STDERR_FILENO, Text.data() + Done, Text.size() - Done);
        if (Written < 0 && errno == EINTR) {
            continue;
        }
        // A message that cannot be written is lost; the program's run does not depend on it.
        if (Written <= 0) {
            return;
        }
        Done += static_cast<std::size_t>(Written);
    }
}

void Say(const std::string& Text) {
    WriteStandardError("brimlet-sim: " + Text + "\n");
}
