#pragma once
// A spiral galaxy painted from a few numbers: a warm bulge with a bright nucleus, a disk whose arms follow
// logarithmic spirals made irregular by noise, dust lanes along the inner edge of the arms, and knots of young
// stars and glowing gas strung along the arms.

#include "canvas.h"
#include "random.h"

#include <cstdint>

struct TGalaxy {
    double CentreX, CentreY; // pixels
    double Angle;            // of the major axis on the canvas, radians
    double Tilt;             // minor to major axis ratio of the disk as seen: 1 face-on, near 0 edge-on
    double DiskRadius;       // scale length of the disk, pixels
    double OuterRadius;      // where the disk has faded out, in scale lengths
    double BulgeRadius;      // pixels
    int Arms;
    double Pitch;        // how open the arms wind, radians
    double ArmSharpness; // higher gives narrower arms
    double Twist;        // turns the arms about the centre, radians
    double Brightness;
    double DustStrength;
    std::uint32_t Seed;
    TColour CoreColour, DiskColour, ArmColour;
};

// Adds the galaxy's diffuse light to the canvas and dims what lies behind its dust.
void PaintGalaxy(TCanvas& Canvas, const TGalaxy& Galaxy);

// Adds Count knots along the arms: blue clusters of young stars, pink clouds of glowing hydrogen and a few white
// clusters, Size times as large and Glow times as bright as the galaxy's own scale would make them.
void PaintGalaxyKnots(TCanvas& Canvas, const TGalaxy& Galaxy, TRandom& Random, int Count, double Size, double Glow);
