#pragma once
// Plays a script on the simulated device: holds and releases its inputs and writes its snapshots once the display
// has latched the commands' frames. Module state, reset by StartScript.

#include <cstdint>
#include <vector>

#include "sim/launcher/script.h"

// Replaces the script being played; nothing is applied yet.
void StartScript(const std::vector<TScriptCommand>& Commands);
// Applies every command due once FlipCount flips have been latched and not applied before, in the order they
// stand in the script; a tap's release comes before the commands of the frame after it. Called with 0 before the
// program starts and then from the flip observer, right after each latch. A snapshot is named on standard error.
void PlayScriptTo(std::uint32_t FlipCount);
// Once the run has ended: each snapshot of the script whose frame never came is reported (ReportOutputFailure).
void ReportSnapshotsNotTaken();
