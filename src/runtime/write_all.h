#pragma once
// Writing a whole text to a descriptor, for the console and the log file: a write that stops short is continued
// and one interrupted by a signal is retried, so that a text is either written completely or the failure raised.

#include <string>

// Writes all of Text to Handle. Raises EInOutError with the system's error number when a write fails.
void WriteAll(int Handle, const std::string& Text);
