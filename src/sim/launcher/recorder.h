#pragma once
// --record: every change of the input panel, from the keyboard or a script, written as a script that a headless run
// replays frame by frame. Module state, reset by StartRecording.

#include <cstdint>
#include <string>
#include <vector>

// Takes over Handle, File open for writing, and writes its header: comment lines naming brimlet-sim's version, the
// run's options and the program's flags.
void StartRecording(const std::string& File, int Handle, const std::vector<std::string>& Options,
                    const std::vector<std::string>& Flags);
// Once FlipCount flips have been latched and every input of that flip applied (0: before the program starts),
// writes "FLIP hold INPUT" or "FLIP release INPUT" for each input that changed since the last call, and sends it
// to the file at once. The first write that fails is reported (ReportOutputFailure) and ends the recording.
void RecordAt(std::uint32_t FlipCount);
// Writes what is left and closes the file, reporting a failure not reported before. Nothing when none is open.
void StopRecording();
