#pragma once
// Soft synthesised percussion for the theme music: a round kick, a light snare and a closed hi-hat.

#include "random.h"
#include "synth.h"

#include <cstddef>

void PlayKick(TLoop& Loop, std::size_t Start, double Velocity);
void PlaySnare(TLoop& Loop, std::size_t Start, double Velocity, TRandom& Random);
void PlayHat(TLoop& Loop, std::size_t Start, double Velocity, double Pan, TRandom& Random);
