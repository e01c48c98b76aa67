#pragma once
// --video: what the display showed, refresh by refresh, and what the listener heard, recorded as the device makes
// them.

#include <string>

// Starts recording into File, the pictures enlarged Scale times; false after saying why it cannot.
bool StartVideoRecording(const std::string& File, int Scale);
// Reports, once and at once, a recording that could not be written since it started.
void CheckVideoRecording();
// Ends the recording and reports a failure of its end.
void StopVideoRecording();
