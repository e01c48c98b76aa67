#include "sim/launcher/messages.h"

#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/write_all.h"
#include "sim/control.h"

void WriteStandardError(const std::string& Text)
{
    try {
        WriteAll(STDERR_FILENO, Text);
    } catch (const Exception&) {
        // A message that cannot be written is lost; the program's run does not depend on it.
    }
}

void Say(const std::string& Text)
{
    WriteStandardError("brimlet-sim: " + Text + "\n");
}

void WriteSnapshot(const std::string& File)
{
    SimSnapshotNextRefresh(
        File,
        [File](const std::string& Error) {
            Say(Error.empty() ? "wrote snapshot " + File : "snapshot " + File + " not written: " + Error);
        });
}
