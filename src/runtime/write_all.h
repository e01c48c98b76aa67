#pragma once
// Writing a whole text to a descriptor: a write that stops short is continued and one interrupted by a signal is
// retried, so that a text is either written completely or the failure known. A stdio stream would take the
// interrupted write for a failure.

#include <cstddef>
#include <string>
#include <sys/types.h>

// Writes all of Count bytes to Handle, at Offset, or where the descriptor stands when Offset is negative. False with
// errno set when a write fails; a write that takes nothing counts as a full device (ENOSPC).
bool WriteWhole(int Handle, const void* Bytes, std::size_t Count, off_t Offset = -1);
// Writes all of Text to Handle, for the console and the log file. Raises EInOutError with the system's error number
// when a write fails.
void WriteAll(int Handle, const std::string& Text);
