#pragma once
// The simulated device's speaker. SDL_mixer's mixing callback is taken from it at the audio set-up and called by the
// simulator as device time passes: so many samples per device second at the opened rate, each block scaled by the
// mixer's PCM level as it stood at the block's device time. What that gives is what the listener hears: it goes to
// the sound's subscribers as it is made, and to the host's audio device, whose thread plays it.

#include <SDL.h>

#include <cstdint>

// SDL opened the audio device as Spec; SDL_mixer mixes through Mix with MixData.
void SpeakerOpened(const SDL_AudioSpec& Spec, void (*Mix)(void*, Uint8*, int), void* MixData);
// The audio device is closing: the samples due until now are mixed first, and no more after.
void SpeakerClosed();
// Device time has reached Now: the samples due by then, in whole blocks.
void SpeakerCatchUp(std::int64_t Now);
// Every sample due until now, the last block shorter.
void SpeakerFlush();
// The mixer's PCM level, as SOUND_MIXER_WRITE_PCM writes it (left level in bits 0-7, right in 8-15): the sound due
// until now was heard at the old level, so it is made first.
void SpeakerSetLevel(std::uint32_t Argument);
// The callback that SDL's audio thread calls instead of the mixer's: the host's device plays what device time made.
void SpeakerPlayback(void* UserData, Uint8* Stream, int Length);
// Closed, with nothing made and nothing waiting to be played, the level at 0 as at power-on; subscribed to the
// clock (the sound's subscribers stay).
void ResetSpeaker();
