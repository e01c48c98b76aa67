#pragma once
// What the program prints and logs on its way, block by block, as the tests expect it on the simulated device.

#include "e2e/sim_folder.h"

#include <string>

inline const TLines Banner{"test program brimlet started ....", "Memory handle is: <n>"};
inline const TLines Memory{"Memory at: <hex>", "memory filled", ""};
inline const TLines Music{"Loading music", "music loaded", ""};
inline const TLines Video{"Initialize Video",     "Open FB0 device",     "ID:         sim-fb0", "SMem_Start: 03000000",
                          "SMem_Len:   00040000", "Screen:     <hex>",   "Open FB2 device",     "ID:         sim-fb1",
                          "SMem_Start: 03040000", "SMem_Len:   00040000", "Screen:     <hex>"};
inline const TLines End{"", "Video done", "", "program terminated"};

// From "Loading image" to "copy done"; Cut is the line saying that the image was cut, "" for none.
inline TLines ImageLines(int Width, int Height, int Pitch, const std::string& Cut = "")
{
    return TLines{"Loading image", "Image loaded"} + (Cut.empty() ? TLines{} : TLines{Cut}) +
           TLines{"", "Bytes per Pixel: 2", "Width:           " + std::to_string(Width),
                  "Height:          " + std::to_string(Height), "Pitch:           " + std::to_string(Pitch),
                  "copying image", "copy done"};
}

// Everything up to "copy done" with the build's 1024 x 768 galaxy.bmp.
inline const TLines Start = Banner + Memory + Music + ImageLines(1024, 768, 2048);

inline const TLines StartLog{"Starting Application IN : Initialization", "Software Surface available... IN : InitSDL",
                             "Set video mode 320x240x16 IN : InitSDL", "Done IN : InitSDL"};
inline const TLines MusicLog{"Music \"music.ogg\" loaded IN : LoadMusic", "Playing started IN : PlayMusic"};
inline const TLines LastLog{"Terminating Application IN : Finalization"};
inline const TLines WholeLog = StartLog + MusicLog + LastLog;
