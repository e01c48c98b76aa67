#pragma once
// A recording of the simulated display and speaker as a video file, through FFmpeg's libraries. The file's
// extension chooses the container and codecs: .mkv lossless (FFV1 and FLAC), .mp4 (H.264 and AAC, fragmented so that
// a file cut short still plays), .webm (VP9 and Opus), .gif (the picture alone, every third refresh, each frame with
// a palette made for it). The file is written as the run goes, so that a run cut short leaves a file that plays up to
// about its last second. Module state: one recording at a time.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Whether File's extension names a known container, and the known extensions for a message (".mkv, ...").
bool VideoExtensionKnown(const std::string& File);
std::string VideoExtensions();

// Starts a recording of 320 x 240 pictures enlarged Scale times; false with Error set.
bool OpenVideoFile(const std::string& File, int Scale, std::string& Error);
// Refresh Index of the display (60 a second from device time 0), 320 x 240 RGB565 pixels.
void VideoFilePicture(std::int64_t Index, const std::vector<std::uint16_t>& Picture);
// Frames of 16-bit stereo sound at Rate, the first of them frame Position from device time 0.
void VideoFileSound(const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate, std::uint64_t Position);
// Ends the recording: the encoders' last frames and the container's end. False with Error set when anything since
// the opening could not be encoded or written.
bool CloseVideoFile(std::string& Error);
// The first failure since the opening, or "".
std::string VideoFileFailure();
