#pragma once
// What the runs of brimlet-sim share: lines put together block by block, and a picture whose every pixel tells
// where in the image it lies, so that a snapshot shows which part of the image the view held.

#include "support/support.h"

#include <gtest/gtest.h>

inline TLines operator+(TLines Front, const TLines& Back)
{
    Front.insert(Front.end(), Back.begin(), Back.end());
    return Front;
}

// The log's entries of an ordinary run, as TSimRun::Log gives them.
inline const TLines FirstLog{"Starting Application IN : Initialization"};
inline const TLines SdlLog{"Software Surface available... IN : InitSDL", "Set video mode 320x240x16 IN : InitSDL",
                           "Done IN : InitSDL"};
inline const TLines MusicLog{"Music \"music.ogg\" loaded IN : LoadMusic", "Playing started IN : PlayMusic"};
inline const TLines LastLog{"Terminating Application IN : Finalization"};

// The column modulo 640 and the row modulo 64; never white, so the status text stands out.
inline std::uint16_t PatternPixel(int X, int Y)
{
    return static_cast<std::uint16_t>((X % 640) | (Y % 64) << 10);
}

// The frame showing the view at (ScrollX, ScrollY) of a Width x Height pattern, with the status lines. The blit
// copies 240 rows of 640 bytes at the image's pitch, so in a narrow image a row runs on into the next one, and
// below a short one the memory is still zero.
inline TFrame PatternFrame(int Width, int Height, int ScrollX, int ScrollY, const std::string& Fps, int Volume,
                           bool VSync)
{
    const long Pitch = (Width * 2L + 3) / 4 * 4;
    TFrame Frame(ScreenWidth * ScreenHeight, 0);
    for (int Row = 0; Row < ScreenHeight; ++Row)
        for (int Column = 0; Column < ScreenWidth; ++Column) {
            const long Offset = (ScrollY + Row) * Pitch + (ScrollX + Column) * 2L;
            const long X = Offset % Pitch / 2;
            if (Offset / Pitch < Height && X < Width)
                Frame[Row * ScreenWidth + Column] = PatternPixel(static_cast<int>(X), static_cast<int>(Offset / Pitch));
        }
    DrawExpectedText(Frame, 10, 10, "FPS:    " + Fps);
    DrawExpectedText(Frame, 10, 25, "Volume: " + std::to_string(Volume));
    DrawExpectedText(Frame, 10, 40, VSync ? "V-Sync: On" : "V-Sync: Off");
    return Frame;
}

// A snapshot of a run in fast mode, whose frame rate depends on the host: the white right of "FPS:    " is taken
// as the rate's digits, of which there must be some.
inline void ExpectView(const std::string& Snapshot, int Width, int Height, int ScrollX, int ScrollY, int Volume,
                       bool VSync)
{
    const TFrame Actual = ReadPng(Snapshot);
    TFrame Expected = PatternFrame(Width, Height, ScrollX, ScrollY, "", Volume, VSync);
    int Digits = 0;
    for (int Y = 10; Actual.size() == Expected.size() && Y < 23; ++Y)
        for (int X = 58; X < ScreenWidth; ++X)
            if (Actual[Y * ScreenWidth + X] == White) {
                Expected[Y * ScreenWidth + X] = White;
                ++Digits;
            }
    EXPECT_GT(Digits, 0) << Snapshot;
    ExpectFrame(Actual, Expected, Snapshot);
}

// Sends the close box's message to the X window Target, as a window manager does; false when it cannot.
bool RequestWindowClose(const std::string& DisplayName, unsigned long Target);
