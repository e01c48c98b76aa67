#include "sim/launcher/messages.h"

#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/write_all.h"
#include "sim/control.h"

namespace {

bool AnyOutputFailed = false;

} // namespace

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

bool WriteStandardOutput(const std::string& Text)
{
    try {
        WriteAll(STDOUT_FILENO, Text);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void ReportOutputFailure(const std::string& Text)
{
    AnyOutputFailed = true;
    Say(Text);
}

bool OutputFailed()
{
    return AnyOutputFailed;
}

void WriteSnapshot(const std::string& File, int Created)
{
    SimSnapshotNextRefresh(
        File,
        [File](const std::string& Error) {
            if (Error.empty())
                Say("wrote snapshot " + File);
            else
                ReportOutputFailure("snapshot " + File + " not written: " + Error);
        },
        Created);
}
