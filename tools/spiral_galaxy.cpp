#include "spiral_galaxy.h"

#include "noise.h"

#include <algorithm>
#include <cmath>

namespace {

// Where a canvas point lies in the galaxy's own plane.
struct TDiskPoint {
    double U, V;   // along the major axis, and along the minor axis stretched back to a round disk (pixels)
    double Radius; // in scale lengths
    double Theta;
};

TDiskPoint ToDisk(const TGalaxy& Galaxy, double X, double Y)
{
    const double DX = X - Galaxy.CentreX;
    const double DY = Y - Galaxy.CentreY;
    const double U = DX * std::cos(Galaxy.Angle) + DY * std::sin(Galaxy.Angle);
    const double V = (-DX * std::sin(Galaxy.Angle) + DY * std::cos(Galaxy.Angle)) / Galaxy.Tilt;
    return TDiskPoint{U, V, std::hypot(U, V) / Galaxy.DiskRadius, std::atan2(V, U)};
}

// The canvas point of a point in the galaxy's plane.
void FromDisk(const TGalaxy& Galaxy, double Radius, double Theta, double& X, double& Y)
{
    const double U = Radius * Galaxy.DiskRadius * std::cos(Theta);
    const double V = Radius * Galaxy.DiskRadius * std::sin(Theta) * Galaxy.Tilt;
    X = Galaxy.CentreX + U * std::cos(Galaxy.Angle) - V * std::sin(Galaxy.Angle);
    Y = Galaxy.CentreY + U * std::sin(Galaxy.Angle) + V * std::cos(Galaxy.Angle);
}

// Position across the arms: the arms' centres lie where the cosine of it is 1. Noise bends the spirals so that
// they look grown rather than drawn, and scales with the galaxy so that a small one is not all wiggles.
double ArmPhase(const TGalaxy& Galaxy, const TDiskPoint& Point, double X, double Y)
{
    const double Inner = 0.3;
    const double Wound = std::log(std::max(Point.Radius, Inner) / Inner) / std::tan(Galaxy.Pitch);
    const double Scale = Galaxy.DiskRadius * 0.6;
    const double Warp = 1.3 * FractalNoise(X / Scale, Y / Scale, Galaxy.Seed, 4);
    return Galaxy.Arms * (Point.Theta + Galaxy.Twist - Wound) + Warp;
}

double ArmStrength(const TGalaxy& Galaxy, double Phase)
{
    return std::pow(0.5 + 0.5 * std::cos(Phase), Galaxy.ArmSharpness);
}

// The disk's light falls off exponentially and fades out softly at its edge.
double DiskEnvelope(const TGalaxy& Galaxy, double Radius)
{
    return std::exp(-Radius) * (1.0 - SmoothStep(Galaxy.OuterRadius * 0.7, Galaxy.OuterRadius, Radius));
}

} // namespace

void PaintGalaxy(TCanvas& Canvas, const TGalaxy& Galaxy)
{
    const double Scale = Galaxy.DiskRadius;
    for (int Y = 0; Y < Canvas.Height; ++Y) {
        for (int X = 0; X < Canvas.Width; ++X) {
            const TDiskPoint Point = ToDisk(Galaxy, X, Y);
            // The bulge is a squat spheroid: on the sky it looks rounder than the tilted disk.
            const double Minor = Point.V * Galaxy.Tilt / std::max(Galaxy.Tilt, 0.75);
            const double BulgeR = std::hypot(Point.U, Minor) / Galaxy.BulgeRadius;
            // Far outside both the disk and the bulge the galaxy adds nothing that would show.
            if (Point.Radius > Galaxy.OuterRadius * 1.2 && BulgeR > 12.0)
                continue;

            const double Bulge = 1.4 * std::exp(-std::pow(BulgeR, 0.8) * 1.6) + 0.03 * std::exp(-BulgeR * 0.4)
                + 3.0 * std::exp(-BulgeR * BulgeR * 28.0);
            const double Envelope = DiskEnvelope(Galaxy, Point.Radius);
            const double Phase = ArmPhase(Galaxy, Point, X, Y);
            const double ArmsFadeIn = SmoothStep(0.2, 0.8, Point.Radius);
            const double Clumps =
                0.45 + 1.1 * std::max(0.0, FractalNoise(X / (Scale * 0.09), Y / (Scale * 0.09), Galaxy.Seed + 7, 4));
            const double Arm = ArmStrength(Galaxy, Phase) * Clumps * ArmsFadeIn;
            const TColour Light = (Galaxy.CoreColour * Bulge + Galaxy.DiskColour * (Envelope * 0.22)
                                   + Galaxy.ArmColour * (Envelope * Arm * 2.6 * std::exp(-Point.Radius * 0.25)))
                * Galaxy.Brightness;

            // Dust lies along the inner, concave edge of each arm and in patches between the arms.
            const double Lane = std::pow(0.5 + 0.5 * std::cos(Phase - 0.9), 8.0)
                * (0.4 + 1.4 * std::max(0.0, FractalNoise(X / (Scale * 0.14), Y / (Scale * 0.14), Galaxy.Seed + 3, 4)));
            const double Patches =
                0.5 * std::max(0.0, FractalNoise(X / (Scale * 0.25), Y / (Scale * 0.25), Galaxy.Seed + 5, 5));
            const double DustReach = SmoothStep(0.12, 0.45, Point.Radius) * std::exp(-Point.Radius * 0.45)
                * (1.0 - SmoothStep(Galaxy.OuterRadius * 0.5, Galaxy.OuterRadius, Point.Radius));
            // Seen nearly edge-on, the dust of the whole disk lines up into one dark band along the major axis.
            const double SkyMinor = Point.V * Galaxy.Tilt / (Galaxy.DiskRadius * 0.07);
            const double Band = std::pow(1.0 - Galaxy.Tilt, 3.0) * std::exp(-SkyMinor * SkyMinor)
                * (1.0 - SmoothStep(Galaxy.OuterRadius * 0.4, Galaxy.OuterRadius * 0.9, Point.Radius));
            const double Depth = Galaxy.DustStrength * ((Lane + Patches) * DustReach + Band);

            TColour& Pixel = Canvas.Light[static_cast<std::size_t>(Y) * Canvas.Width + X];
            const TColour Seen = Pixel + Light;
            // Dust dims blue light more than red, so the lanes are rimmed in brown.
            Pixel = TColour{Seen.R * std::exp(-Depth * 0.75), Seen.G * std::exp(-Depth * 0.95),
                            Seen.B * std::exp(-Depth * 1.25)};
        }
    }
}

void PaintGalaxyKnots(TCanvas& Canvas, const TGalaxy& Galaxy, TRandom& Random, int Count, double Size, double Glow)
{
    const TColour YoungBlue{0.55, 0.72, 1.0};
    const TColour Hydrogen{1.0, 0.45, 0.65};
    const TColour White{1.0, 0.95, 0.9};
    const double Scale = Galaxy.DiskRadius / 100.0;
    int Placed = 0;
    // Candidates anywhere in the disk are kept in proportion to the arm's strength there, so the knots follow the
    // very arms that PaintGalaxy drew, bends included.
    for (int Tries = 0; Placed < Count && Tries < Count * 200; ++Tries) {
        const double Radius = std::sqrt(RandomUnit(Random)) * Galaxy.OuterRadius * 0.85;
        const double Theta = RandomRange(Random, -M_PI, M_PI);
        double X = 0.0;
        double Y = 0.0;
        FromDisk(Galaxy, Radius, Theta, X, Y);
        const TDiskPoint Point = ToDisk(Galaxy, X, Y);
        const double Keep = ArmStrength(Galaxy, ArmPhase(Galaxy, Point, X, Y)) * SmoothStep(0.35, 0.9, Radius)
            * std::exp(-Radius * 0.25);
        if (RandomUnit(Random) >= Keep)
            continue;
        ++Placed;
        const double Kind = RandomUnit(Random);
        const TColour Colour = Kind < 0.55 ? YoungBlue : Kind < 0.88 ? Hydrogen : White;
        const double Peak = Galaxy.Brightness * Glow * RandomRange(Random, 0.15, 1.0) * std::exp(-Radius * 0.3);
        const double Spot = Scale * Size * RandomRange(Random, 0.6, 1.5);
        AddStar(Canvas, X, Y, Colour, Peak, Spot);
    }
}
