#pragma once
// The simulated device's speaker behind SDL_mixer: what SDL_mixer mixes is scaled by the mixer's PCM level, and
// what the listener then hears can be captured to a WAV file (SimOpenAudioOut).

#include <SDL.h>

// The audio device opened with Rate samples per second per channel; the capture's header states it.
void SpeakerOpened(int Rate);
// SDL_mixer's post-mix callback on SDL's audio thread; Stream holds interleaved 16-bit stereo samples.
void SpeakerPostMix(void* UserData, Uint8* Stream, int Length);
