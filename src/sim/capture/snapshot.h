#pragma once
// Pictures of the display as PNG files: the snapshots asked for (SimSnapshotNextRefresh), taken from the display's
// refreshes as a subscriber.

#include <cstdint>
#include <string>
#include <vector>

// Writes a 320 x 240 RGB565 picture to File as an 8-bit RGB PNG, each component widened by bit replication; false
// with Error set when any write, the flush or the closing fails, and File is then removed. Created: a descriptor of
// File already created for it, which is taken over, or -1 to open File as named, made when missing, under the lock a
// run holds on each file it writes: a file another run holds is left alone.
bool WritePng(const std::string& File, int Created, const std::vector<std::uint16_t>& Picture, std::string* Error);
// No snapshot waiting; the descriptors created for them are closed.
void ResetSnapshots();
