#pragma once
// Smooth value noise for the painted image: clouds of dust and gas, and the irregularity of the spiral arms.

#include <cstdint>

// Noise in [-1, 1] at (X, Y), smooth between the integer lattice points; Seed picks an independent field.
double ValueNoise(double X, double Y, std::uint32_t Seed);

// Fractal sum of Octaves layers of noise, each at twice the frequency and Gain times the weight of the one before,
// scaled back into [-1, 1].
double FractalNoise(double X, double Y, std::uint32_t Seed, int Octaves, double Gain = 0.5);
