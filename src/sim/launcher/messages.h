#pragma once
// The launcher's own messages. They go to standard error, never to standard output, which belongs to the program;
// only --help and --version, which end before the program starts, write to standard output.

#include <string>

// Writes Text to standard error as it stands, in one piece where the system allows, so that it does not interleave
// with another line.
void WriteStandardError(const std::string& Text);
// Writes "brimlet-sim: " and Text as one line.
void Say(const std::string& Text);
// Writes Text to standard output; false when it could not be written whole.
bool WriteStandardOutput(const std::string& Text);
// A file of the launcher's own (a snapshot, the trace, the recording, the audio capture) that could not be written
// completely: Text is said at once, and OutputFailed turns true for the run's exit status. Module state.
void ReportOutputFailure(const std::string& Text);
bool OutputFailed();
// Writes the display's next whole refresh to File as a snapshot and says so, or reports why it could not. Created:
// File's descriptor when the launcher created it for the snapshot, else -1.
void WriteSnapshot(const std::string& File, int Created = -1);
