#pragma once
// The launcher's own messages. They go to standard error, never to standard output, which belongs to the program.

#include <string>

// Writes Text to standard error as it stands, in one piece where the system allows, so that it does not interleave
// with another line.
void WriteStandardError(const std::string& Text);
// Writes "brimlet-sim: " and Text as one line.
void Say(const std::string& Text);
// Writes the display's next whole refresh to File as a snapshot and says so, or why it could not.
void WriteSnapshot(const std::string& File);
