#pragma once
// A recording of the simulated display and speaker as a video file, through FFmpeg's libraries, in a module of its
// own that the launcher loads only for a run that records, so that every other run starts without those libraries.
// The file is written as the run goes, so that a run cut short leaves a file that plays up to about its last second.
// The encoding runs on a thread of its own, behind a queue of what the device made, so that the device's thread
// only copies; the queue holds about a quarter of a second of the encoder's work, which bounds what a close costs.
// Module state: one recording at a time.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TVideoFileCalls {
    // Starts a recording into File, in the format of its extension, of 320 x 240 pictures enlarged Scale times;
    // false with Error set.
    bool (*Open)(const std::string& File, int Scale, std::string& Error);
    // Refresh Index of the display (60 a second from device time 0), 320 x 240 RGB565 pixels, into the queue; false
    // when the queue had no room for it within WaitMilliseconds, the picture not taken.
    bool (*Picture)(std::int64_t Index, const std::vector<std::uint16_t>& Pixels, int WaitMilliseconds);
    // Frames of 16-bit stereo sound at Rate, the first of them frame Position from device time 0, into the queue.
    void (*Sound)(const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate, std::uint64_t Position);
    // Ends the recording: what the queue holds, the encoders' last frames and the container's end. A recording that
    // got no picture holds one all the same: refresh 0, black as the display is before its first refresh. False with
    // Error set when anything since the opening could not be encoded or written.
    bool (*Close)(std::string& Error);
    // The first failure since the opening, or "".
    std::string (*Failure)();
};

// The module's one entry point, found by name.
extern "C" const TVideoFileCalls* BrimletVideoFileCalls();
