#pragma once
// The lock (flock) that a run holds on each regular file it writes, so that two runs never write one file at once.

#include <sys/stat.h>

constexpr const char* AnotherRunWritesIt = "another run of brimlet-sim writes it";

// Takes the lock of the file open at Handle, whose status is Status; false with errno set when it cannot, EWOULDBLOCK
// when another run holds it. A device or a pipe is not locked: it keeps nothing to mix.
bool LockOutput(int Handle, const struct stat& Status);
