// The simulated device's side of SDL. The build wraps SDL_Init, Mix_OpenAudio, SDL_GetVideoInfo and
// SDL_SetVideoMode (-Wl,--wrap), so that the simulator stands where the device's environment differs from the
// host's: a missing video or audio device, the video information, the mode request and the speaker.

#include "sim/sdl_hooks.h"

#include "sim/sim.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>

extern "C" {
int __real_SDL_Init(Uint32 Flags);
int __real_Mix_OpenAudio(int Frequency, Uint16 Format, int Channels, int ChunkSize);
const SDL_VideoInfo* __real_SDL_GetVideoInfo(void);
SDL_Surface* __real_SDL_SetVideoMode(int Width, int Height, int BitsPerPixel, Uint32 Flags);
}

namespace {

constexpr int DefaultRate = 22050;
constexpr std::size_t WavHeaderBytes = 44;

bool VideoInfoOverridden = false;
std::uint32_t VideoInfoFlagWord = 0;
bool VideoInfoFails = false;
SDL_VideoInfo VideoInfoCopy;
TSimVideoRequest LastVideoRequest = {};
// A presentation choice of the launcher, like the observers: a reset leaves it alone.
bool Windowed = false;
int DeviceRate = 0;

// The audio capture. The audio thread appends under the lock; the main thread holds it only to hand the file over.
std::mutex CaptureLock;
std::FILE* CaptureFile = nullptr;
std::uint32_t CaptureBytes = 0;
bool CaptureFailed = false;
std::string CaptureName;

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

// The header of a 16-bit stereo PCM WAV file with DataBytes of samples.
void MakeWavHeader(unsigned char (&Header)[WavHeaderBytes], std::uint32_t Rate, std::uint32_t DataBytes)
{
    constexpr std::uint32_t Channels = 2, BytesPerFrame = 4;
    std::memcpy(Header, "RIFF", 4);
    PutLe32(Header + 4, 36 + DataBytes);
    std::memcpy(Header + 8, "WAVEfmt ", 8);
    PutLe32(Header + 16, 16);
    PutLe16(Header + 20, 1);
    PutLe16(Header + 22, Channels);
    PutLe32(Header + 24, Rate);
    PutLe32(Header + 28, Rate * BytesPerFrame);
    PutLe16(Header + 32, BytesPerFrame);
    PutLe16(Header + 34, 16);
    std::memcpy(Header + 36, "data", 4);
    PutLe32(Header + 40, DataBytes);
}

// Runs on SDL's audio thread after SDL_mixer has mixed a chunk: the speaker, then the listener.
void SpeakerPostMix(void*, Uint8* Stream, int Length)
{
    if (Length <= 0)
        return;
    auto* Samples = reinterpret_cast<std::int16_t*>(Stream);
    SimSpeakerScale(Samples, static_cast<std::size_t>(Length) / sizeof(std::int16_t));

    std::lock_guard<std::mutex> Guard(CaptureLock);
    if (!CaptureFile || CaptureFailed)
        return;
    const auto Bytes = static_cast<std::uint32_t>(Length);
    // The header's sizes are 32-bit: a capture that would outgrow them stops rather than corrupt the file.
    if (Bytes > std::numeric_limits<std::uint32_t>::max() - 36 - CaptureBytes)
        return;
    if (std::fwrite(Stream, 1, Bytes, CaptureFile) != Bytes) {
        CaptureFailed = true;
        return;
    }
    CaptureBytes += Bytes;
}

} // namespace

extern "C" {

int __wrap_SDL_Init(Uint32 Flags)
{
    if ((Flags & SDL_INIT_VIDEO) && SimFaultActive("sdl-video")) {
        SDL_SetError("No available video device");
        return -1;
    }
    return __real_SDL_Init(Flags);
}

int __wrap_Mix_OpenAudio(int Frequency, Uint16 Format, int Channels, int ChunkSize)
{
    if (SimFaultActive("sdl-audio")) {
        SDL_SetError("No available audio device");
        return -1;
    }
    const int Result = __real_Mix_OpenAudio(Frequency, Format, Channels, ChunkSize);
    if (Result != 0)
        return Result;
    int Rate = 0, OpenChannels = 0;
    Uint16 OpenFormat = 0;
    Mix_QuerySpec(&Rate, &OpenFormat, &OpenChannels);
    DeviceRate = Rate;
    // The speaker scales 16-bit stereo samples in the host's order, which is what the WAV file holds too.
    if (OpenFormat == AUDIO_S16LSB && AUDIO_S16LSB == AUDIO_S16SYS && OpenChannels == 2)
        Mix_SetPostMix(SpeakerPostMix, nullptr);
    else
        std::fprintf(stderr, "brimlet-sim: the speaker plays only 16-bit stereo; audio opened as format 0x%04X with "
                             "%d channels is not scaled to the mixer level\n",
                     static_cast<unsigned>(OpenFormat), OpenChannels);
    return Result;
}

const SDL_VideoInfo* __wrap_SDL_GetVideoInfo(void)
{
    if (VideoInfoFails) {
        SDL_SetError("Video information not available");
        return nullptr;
    }
    const SDL_VideoInfo* Info = __real_SDL_GetVideoInfo();
    if (!Info || !VideoInfoOverridden)
        return Info;
    // SDL's own record stays as it is; the program sees a copy with the simulated flags.
    VideoInfoCopy = *Info;
    std::memcpy(&VideoInfoCopy, &VideoInfoFlagWord, sizeof VideoInfoFlagWord);
    return &VideoInfoCopy;
}

SDL_Surface* __wrap_SDL_SetVideoMode(int Width, int Height, int BitsPerPixel, Uint32 Flags)
{
    LastVideoRequest = {true, Width, Height, BitsPerPixel, Flags};
    if (Windowed)
        Flags &= ~static_cast<Uint32>(SDL_FULLSCREEN);
    return __real_SDL_SetVideoMode(Width, Height, BitsPerPixel, Flags);
}

} // extern "C"

void SimResetSdl()
{
    VideoInfoOverridden = false;
    VideoInfoFlagWord = 0;
    VideoInfoFails = false;
    LastVideoRequest = {};
    SimCloseAudioOut();
}

TSimVideoRequest SimLastVideoRequest()
{
    return LastVideoRequest;
}

void SimOverrideVideoInfo(std::uint32_t FlagWord)
{
    VideoInfoOverridden = true;
    VideoInfoFlagWord = FlagWord;
}

void SimFailVideoInfo()
{
    VideoInfoFails = true;
}

void SimSetWindowed(bool NewWindowed)
{
    Windowed = NewWindowed;
}

void SimSpeakerScale(std::int16_t* Samples, std::size_t Count)
{
    const std::uint32_t Argument = SimMixerArgument();
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

bool SimOpenAudioOut(const std::string& File)
{
    SimCloseAudioOut();
    std::FILE* Opened = std::fopen(File.c_str(), "wb");
    if (!Opened) {
        std::fprintf(stderr, "brimlet-sim: cannot write the audio capture %s: %s\n", File.c_str(),
                     std::strerror(errno));
        return false;
    }
    unsigned char Header[WavHeaderBytes];
    MakeWavHeader(Header, DefaultRate, 0);
    if (std::fwrite(Header, 1, sizeof Header, Opened) != sizeof Header) {
        std::fprintf(stderr, "brimlet-sim: cannot write the audio capture %s: %s\n", File.c_str(),
                     std::strerror(errno));
        std::fclose(Opened);
        return false;
    }
    std::lock_guard<std::mutex> Guard(CaptureLock);
    CaptureFile = Opened;
    CaptureBytes = 0;
    CaptureFailed = false;
    CaptureName = File;
    return true;
}

void SimCloseAudioOut()
{
    std::FILE* Closing;
    std::uint32_t Bytes;
    bool Failed;
    std::string Name;
    {
        std::lock_guard<std::mutex> Guard(CaptureLock);
        Closing = CaptureFile;
        Bytes = CaptureBytes;
        Failed = CaptureFailed;
        Name = CaptureName;
        CaptureFile = nullptr;
    }
    if (!Closing)
        return;
    // The rate is the audio device's; a capture during which audio never opened holds no samples at all.
    unsigned char Header[WavHeaderBytes];
    MakeWavHeader(Header, static_cast<std::uint32_t>(DeviceRate > 0 ? DeviceRate : DefaultRate), Bytes);
    if (std::fseek(Closing, 0, SEEK_SET) != 0 || std::fwrite(Header, 1, sizeof Header, Closing) != sizeof Header)
        Failed = true;
    if (std::fclose(Closing) != 0)
        Failed = true;
    if (Failed)
        std::fprintf(stderr, "brimlet-sim: the audio capture %s could not be written completely\n", Name.c_str());
}
