#include "sim/model/speaker.h"

#include "sim/control.h"
#include "sim/model/device_events.h"
#include "sim/model/device_time.h"
#include "sim/model/subscribers.h"
#include "sim/probes.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// Under 12 ms at 22050 Hz, less than one refresh, so that what was heard by any flip is within a refresh of it.
constexpr std::uint64_t BlockFrames = 256;
// What the host's device has not yet played is kept up to a quarter of a second; in fast time the device makes
// sound far quicker than anyone can hear it, and the oldest goes.
constexpr std::uint64_t WaitingPerSecondDivisor = 4;

bool Open = false;
void (*Mix)(void*, Uint8*, int) = nullptr;
void* MixData = nullptr;
std::uint32_t Rate = 0;
std::size_t FrameBytes = 0;
Uint8 Silence = 0;
// 16-bit stereo in the host's order: the level scales it, and the capture and the observer take it.
bool Heard = false;
std::int64_t OpenedAt = 0;
std::uint64_t Made = 0;
std::vector<Uint8> Block;
TSubscribers<TSoundSubscriber> Subscribers;
// The last argument written with SOUND_MIXER_WRITE_PCM: read on the audio thread, written on the program's.
std::atomic<std::uint32_t> PcmArgument{0};

// What the host's audio thread has yet to play, shared with it under the lock.
std::mutex PlaybackLock;
std::vector<Uint8> Waiting;
bool Playing = false;

std::uint64_t FramesDue(std::int64_t Now)
{
    if (Now <= OpenedAt)
        return 0;
    return static_cast<std::uint64_t>(Now - OpenedAt) * Rate / NanosecondsPerSecond;
}

// What SDL_mixer mixes is scaled by the mixer's PCM level (0 to 100, higher counts as 100); interleaved stereo.
void ScaleByPcmLevel(std::int16_t* Samples, std::size_t Count)
{
    const std::uint32_t Argument = PcmArgument.load();
    // OSS levels run from 0 to 100; the driver takes a higher level as 100.
    const std::int32_t Left = std::min<std::int32_t>(100, static_cast<std::int32_t>(Argument & 0xFF));
    const std::int32_t Right = std::min<std::int32_t>(100, static_cast<std::int32_t>((Argument >> 8) & 0xFF));
    if (Left == 100 && Right == 100)
        return;
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const std::int32_t Level = Index % 2 == 0 ? Left : Right;
        // Division truncates toward zero, so a level below 100 never makes a sample louder.
        Samples[Index] = static_cast<std::int16_t>(Samples[Index] * Level / 100);
    }
}

void Play(const Uint8* Bytes, std::size_t Count)
{
    std::lock_guard<std::mutex> Guard(PlaybackLock);
    Waiting.insert(Waiting.end(), Bytes, Bytes + Count);
    const std::size_t Most = Rate / WaitingPerSecondDivisor * FrameBytes;
    if (Waiting.size() > Most)
        Waiting.erase(Waiting.begin(), Waiting.end() - static_cast<std::ptrdiff_t>(Most));
}

// The mixer mixes Frames more, as the device's audio thread would have, onto silence.
void Make(std::uint64_t Frames)
{
    Block.assign(Frames * FrameBytes, Silence);
    Mix(MixData, Block.data(), static_cast<int>(Block.size()));
    const std::uint64_t Position = static_cast<std::uint64_t>(OpenedAt) * Rate / NanosecondsPerSecond + Made;
    Made += Frames;
    if (Heard) {
        auto* Samples = reinterpret_cast<std::int16_t*>(Block.data());
        ScaleByPcmLevel(Samples, Frames * 2);
        HandToSubscribers(Subscribers, Samples, Frames, Rate, Position);
    }
    // Fast-forward makes sound far quicker than anyone could listen to it.
    if (!SimFastForwarding())
        Play(Block.data(), Block.size());
}

} // namespace

void SpeakerOpened(const SDL_AudioSpec& Spec, void (*MixWith)(void*, Uint8*, int), void* WithData)
{
    Open = MixWith != nullptr && Spec.freq > 0;
    Mix = MixWith;
    MixData = WithData;
    Rate = static_cast<std::uint32_t>(std::max(Spec.freq, 0));
    FrameBytes = static_cast<std::size_t>(Spec.channels) * ((Spec.format & 0xFF) / 8);
    Silence = Spec.silence;
    Heard = Spec.format == AUDIO_S16SYS && Spec.channels == 2;
    if (!Heard)
        std::fprintf(stderr,
                     "brimlet-sim: the speaker plays only 16-bit stereo; audio opened as format 0x%04X with "
                     "%d channels is not scaled to the mixer level nor captured\n",
                     static_cast<unsigned>(Spec.format), Spec.channels);
    OpenedAt = DeviceNow();
    Made = 0;
    std::lock_guard<std::mutex> Guard(PlaybackLock);
    Waiting.clear();
    Playing = false;
}

void SpeakerClosed()
{
    SpeakerFlush();
    Open = false;
    Mix = nullptr;
}

void SpeakerCatchUp(std::int64_t Now)
{
    if (!Open)
        return;
    const std::uint64_t Due = FramesDue(Now);
    while (Due > Made && Due - Made >= BlockFrames)
        Make(BlockFrames);
}

void SpeakerFlush()
{
    if (!Open)
        return;
    const std::uint64_t Due = FramesDue(DeviceNow());
    SpeakerCatchUp(DeviceNow());
    if (Due > Made)
        Make(Due - Made);
}

void SpeakerSetLevel(std::uint32_t Argument)
{
    // The sound due until now was heard at the old level.
    SpeakerFlush();
    PcmArgument.store(Argument);
    if (DeviceEventsWatched()) {
        TDeviceEvent Event{TDeviceEventKind::Mixer};
        Event.Start = DeviceNow();
        Event.Value = Argument;
        PublishDeviceEvent(Event);
    }
}

std::uint32_t SimMixerLevel()
{
    return PcmArgument.load();
}

void SpeakerPlayback(void*, Uint8* Stream, int Length)
{
    const auto Wanted = static_cast<std::size_t>(std::max(Length, 0));
    std::lock_guard<std::mutex> Guard(PlaybackLock);
    // Playing starts, and starts again after running dry, with two callbacks' worth in hand, so that the device's
    // pace and the host's may differ a little without a gap each time.
    if (!Playing && Waiting.size() < 2 * Wanted)
        return;
    Playing = true;
    const std::size_t Count = std::min(Wanted, Waiting.size());
    std::memcpy(Stream, Waiting.data(), Count);
    Waiting.erase(Waiting.begin(), Waiting.begin() + static_cast<std::ptrdiff_t>(Count));
    if (Count < Wanted)
        Playing = false;
}

void ResetSpeaker()
{
    Open = false;
    Mix = nullptr;
    Made = 0;
    PcmArgument.store(0);
    SubscribeCatchUp(SpeakerCatchUp);
    std::lock_guard<std::mutex> Guard(PlaybackLock);
    Waiting.clear();
    Playing = false;
}

int SimSubscribeSound(TSoundSubscriber Subscriber)
{
    return Subscribe(Subscribers, std::move(Subscriber));
}

void SimUnsubscribeSound(int Subscription)
{
    Unsubscribe(Subscribers, Subscription);
}
