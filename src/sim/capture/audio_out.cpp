#include "sim/capture/audio_out.h"

#include "runtime/write_all.h"
#include "sim/control.h"
#include "sim/probes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::uint32_t DefaultRate = 22050;
constexpr std::size_t WavHeaderBytes = 44;
constexpr std::uint32_t WavHeaderSizeBase = 36; // the RIFF size is this plus the data's size
constexpr std::uint32_t BytesPerFrame = 4;

int Handle = -1;
// The speaker's sound is subscribed to while the capture is open.
int Subscription = 0;
std::uint32_t Rate = DefaultRate;
std::uint32_t DataBytes = 0;
// The data's size that the header in the file states.
std::uint32_t StatedBytes = 0;
// Why the capture is incomplete; "" while it is not. After a failure nothing more is written.
std::string Failure;

void PutLe16(unsigned char* At, std::uint32_t Value)
{
    At[0] = static_cast<unsigned char>(Value);
    At[1] = static_cast<unsigned char>(Value >> 8);
}

void PutLe32(unsigned char* At, std::uint32_t Value)
{
    PutLe16(At, Value & 0xFFFF);
    PutLe16(At + 2, Value >> 16);
}

// The header of a 16-bit stereo PCM WAV file holding the samples written so far: written in front of them at first,
// then in its place.
bool WriteHeader(bool First)
{
    constexpr std::uint32_t Channels = 2, BitsPerSample = 16, PcmFormat = 1, FmtSize = 16;
    unsigned char Header[WavHeaderBytes];
    std::memcpy(Header, "RIFF", 4);
    PutLe32(Header + 4, WavHeaderSizeBase + DataBytes);
    std::memcpy(Header + 8, "WAVEfmt ", 8);
    PutLe32(Header + 16, FmtSize);
    PutLe16(Header + 20, PcmFormat);
    PutLe16(Header + 22, Channels);
    PutLe32(Header + 24, Rate);
    PutLe32(Header + 28, Rate * BytesPerFrame);
    PutLe16(Header + 32, BytesPerFrame);
    PutLe16(Header + 34, BitsPerSample);
    std::memcpy(Header + 36, "data", 4);
    PutLe32(Header + 40, DataBytes);
    StatedBytes = DataBytes;
    return WriteWhole(Handle, Header, sizeof Header, First ? -1 : 0);
}

void Fail(const std::string& Why)
{
    if (Failure.empty())
        Failure = Why;
}

} // namespace

void AudioOutWrite(const std::int16_t* Samples, std::size_t Frames, std::uint32_t FrameRate)
{
    if (Handle < 0 || !Failure.empty())
        return;
    // The header's sizes are 32-bit: a capture that would outgrow them takes the frames that fit and stops, rather
    // than corrupt the file.
    const std::size_t Room =
        (std::numeric_limits<std::uint32_t>::max() - WavHeaderSizeBase - DataBytes) / BytesPerFrame;
    const std::size_t Taken = std::min(Frames, Room);
    const auto Bytes = static_cast<std::uint32_t>(Taken * BytesPerFrame);
    Rate = FrameRate;
    if (!WriteWhole(Handle, Samples, Bytes)) {
        Fail(std::strerror(errno));
        return;
    }
    DataBytes += Bytes;
    if (Taken < Frames)
        Fail("a WAV file holds at most 4 GiB");
    if (DataBytes - StatedBytes >= Rate * BytesPerFrame && !WriteHeader(false))
        Fail(std::strerror(errno));
}

void SimOpenAudioOut(int Opened)
{
    SimCloseAudioOut();
    Rate = DefaultRate;
    DataBytes = 0;
    Failure.clear();
    Handle = Opened;
    Subscription = SimSubscribeSound([](const std::int16_t* Samples, std::size_t Frames, std::uint32_t FrameRate,
                                        std::uint64_t) { AudioOutWrite(Samples, Frames, FrameRate); });
    // Until the audio device opens, the header states no samples at the program's usual rate. A file that takes no
    // header fails as one that stops taking samples does, once the run is under way.
    if (!WriteHeader(true))
        Fail(std::strerror(errno));
}

void SimCloseAudioOut()
{
    if (Handle < 0)
        return;
    SimUnsubscribeSound(std::exchange(Subscription, 0));
    // Even after a failed write the header can state what the file holds, in the place it already takes.
    if (StatedBytes != DataBytes && !WriteHeader(false))
        Fail(std::strerror(errno));
    if (close(Handle) != 0)
        Fail(std::strerror(errno));
    Handle = -1;
}

std::string SimAudioOutFailure()
{
    return Failure;
}

void SimSetAudioOutBytes(std::uint32_t Bytes)
{
    DataBytes = Bytes;
}
