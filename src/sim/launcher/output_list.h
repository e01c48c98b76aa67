#pragma once
// The outputs of a run, in one list: opened in its order once the simulated device is set up, and closed in the
// reverse order on every way a run ends (its ordinary end, --strict, the device library's refusal of an
// instruction), so that each file is whole.

#include <string>
#include <vector>

#include "sim/launcher/options.h"

// Opens the outputs the options name, from the files OpenOutputs checked; false after saying why one cannot be, the
// files then left as they were.
bool StartOutputs(const TLauncherOptions& Options, const std::vector<std::string>& OptionWords);
// Closes every output that is open, and lets go of the locks still held.
void StopOutputs();
// Ends the run at once with Status, its outputs closed first: for a run stopped in the middle of a device access.
[[noreturn]] void EndRunNow(int Status);
