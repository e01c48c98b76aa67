#pragma once
// The capture of what the listener hears as a 16-bit stereo WAV file (SimOpenAudioOut), a subscriber of the
// speaker's sound. The header is rewritten as the samples come, about once a second, so that a run cut short leaves
// a file that is true up to about its last second.

#include <cstddef>
#include <cstdint>

// Frames of interleaved 16-bit stereo samples at Rate, appended to the capture when there is one.
void AudioOutWrite(const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate);
