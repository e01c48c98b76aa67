#pragma once
// The files a run writes: the trace, the audio capture, the recording, the video, the timeline and the script's
// snapshots. All are
// checked before any is emptied, so that a run refused for one of them leaves every file as it was. Each must open
// for writing (made when missing), and be no data file of the program, not the script, not another output of the
// run, and not written by another run at the same time: a run holds a lock (flock) on each regular file it writes,
// as the snapshots do when they are written.
// Module state, reset by OpenOutputs.

#include <string>
#include <vector>

#include "sim/launcher/options.h"
#include "sim/launcher/script.h"

enum class TOutput { Trace, AudioOut, Record, Video, Timeline };

// Checks and opens the files the options name, none emptied yet; the script's snapshots, made at their frames, are
// checked by name. False after saying why, every file left as it was.
bool OpenOutputs(const TLauncherOptions& Options, const std::vector<TScriptCommand>& Commands);
// The output's descriptor, emptied now, for the module that writes it, or -1 when the run has none. The video's is
// never taken: it stays here, holding the lock, while the video module opens the file by its name.
int TakeOutput(TOutput Output);
// After a refusal: the files OpenOutputs made are removed, the others closed as they were.
void AbandonOutputs();
// At the run's end: the locks still held are let go.
void ReleaseOutputs();
