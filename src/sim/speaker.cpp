// The simulated speaker: SDL_mixer's mix scaled by the mixer's PCM level, and the listener's capture as a 16-bit
// stereo WAV file at the audio device's rate.

#include "sim/speaker.h"

#include "sim/control.h"
#include "sim/device_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>

namespace {

constexpr std::uint32_t DefaultRate = 22050;
constexpr std::size_t WavHeaderBytes = 44;
constexpr std::uint32_t WavHeaderSizeBase = 36; // the RIFF size is this plus the data's size

// The device's rate, from the main thread's Mix_OpenAudio; read only by the main thread.
std::uint32_t DeviceRate = 0;

// The capture. The audio thread appends under the lock; the main thread holds it only to hand the file over.
std::mutex CaptureLock;
std::FILE* CaptureFile = nullptr;
std::uint32_t CaptureBytes = 0;
bool CaptureFailed = false;

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

// The header of a 16-bit stereo PCM WAV file holding DataBytes of samples.
void MakeWavHeader(unsigned char (&Header)[WavHeaderBytes], std::uint32_t Rate, std::uint32_t DataBytes)
{
    constexpr std::uint32_t Channels = 2, BytesPerFrame = 4, BitsPerSample = 16, PcmFormat = 1, FmtSize = 16;
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
}

// What SDL_mixer mixes is scaled by the mixer's PCM level (0 to 100, higher counts as 100); interleaved stereo.
void ScaleByPcmLevel(std::int16_t* Samples, std::size_t Count)
{
    // Read once per chunk: the main thread may set a new level at any time.
    const std::uint32_t Argument = MixerArgument();
    // OSS levels run from 0 to 100; the driver takes a higher level as 100.
    std::int32_t Left = static_cast<std::int32_t>(Argument & 0xFF);
    std::int32_t Right = static_cast<std::int32_t>((Argument >> 8) & 0xFF);
    if (Left > 100)
        Left = 100;
    if (Right > 100)
        Right = 100;
    if (Left == 100 && Right == 100)
        return;
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const std::int32_t Level = Index % 2 == 0 ? Left : Right;
        // Division truncates toward zero, so a level below 100 never makes a sample louder.
        Samples[Index] = static_cast<std::int16_t>(Samples[Index] * Level / 100);
    }
}

} // namespace

void SpeakerOpened(int Rate)
{
    if (Rate > 0)
        DeviceRate = static_cast<std::uint32_t>(Rate);
}

void SpeakerPostMix(void*, Uint8* Stream, int Length)
{
    if (Length <= 0)
        return;
    ScaleByPcmLevel(reinterpret_cast<std::int16_t*>(Stream), static_cast<std::size_t>(Length) / 2);

    std::lock_guard<std::mutex> Guard(CaptureLock);
    if (!CaptureFile || CaptureFailed)
        return;
    const auto Bytes = static_cast<std::uint32_t>(Length);
    // The header's sizes are 32-bit: a capture that would outgrow them stops rather than corrupt the file.
    if (Bytes > std::numeric_limits<std::uint32_t>::max() - WavHeaderSizeBase - CaptureBytes)
        return;
    if (std::fwrite(Stream, 1, Bytes, CaptureFile) != Bytes) {
        CaptureFailed = true;
        return;
    }
    CaptureBytes += Bytes;
}

bool SimOpenAudioOut(const std::string& File)
{
    SimCloseAudioOut();
    std::FILE* Opened = std::fopen(File.c_str(), "wb");
    // The sizes are placeholders until the capture is closed.
    unsigned char Header[WavHeaderBytes];
    MakeWavHeader(Header, DefaultRate, 0);
    if (!Opened || std::fwrite(Header, 1, sizeof Header, Opened) != sizeof Header) {
        std::fprintf(stderr, "brimlet-sim: cannot write the audio capture %s: %s\n", File.c_str(),
                     std::strerror(errno));
        if (Opened)
            std::fclose(Opened);
        return false;
    }
    std::lock_guard<std::mutex> Guard(CaptureLock);
    CaptureFile = Opened;
    CaptureBytes = 0;
    CaptureFailed = false;
    return true;
}

void SimCloseAudioOut()
{
    std::FILE* Closing;
    std::uint32_t Bytes;
    bool Failed;
    {
        std::lock_guard<std::mutex> Guard(CaptureLock);
        Closing = CaptureFile;
        Bytes = CaptureBytes;
        Failed = CaptureFailed;
        CaptureFile = nullptr;
    }
    if (!Closing)
        return;
    // A capture during which audio never opened holds no samples; its header states the program's usual rate.
    unsigned char Header[WavHeaderBytes];
    MakeWavHeader(Header, DeviceRate ? DeviceRate : DefaultRate, Bytes);
    if (std::fseek(Closing, 0, SEEK_SET) != 0 || std::fwrite(Header, 1, sizeof Header, Closing) != sizeof Header)
        Failed = true;
    if (std::fclose(Closing) != 0)
        Failed = true;
    std::lock_guard<std::mutex> Guard(CaptureLock);
    CaptureFailed = Failed;
}

bool SimAudioOutFailed()
{
    std::lock_guard<std::mutex> Guard(CaptureLock);
    return CaptureFailed;
}
