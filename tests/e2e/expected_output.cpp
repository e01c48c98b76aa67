#include "e2e/expected_output.h"

#include "e2e/test_images.h"

#include <SDL.h>
#include <gtest/gtest.h>

TLines operator+(TLines Front, const TLines& Back)
{
    Front.insert(Front.end(), Back.begin(), Back.end());
    return Front;
}

std::vector<TLogEntry> operator+(std::vector<TLogEntry> Front, const std::vector<TLogEntry>& Back)
{
    Front.insert(Front.end(), Back.begin(), Back.end());
    return Front;
}

TLines BannerLines()
{
    return {"test program brimlet started ....", "Memory handle is: <n>"};
}

TLines MemoryLines()
{
    return {"Memory at: <hex>", "memory filled", ""};
}

TLines MusicLines()
{
    return {"Loading music", "music loaded", ""};
}

TLines ImageLines(int Width, int Height, int Pitch, const std::string& CutLine)
{
    TLines Lines{"Loading image", "Image loaded"};
    if (!CutLine.empty())
        Lines.push_back(CutLine);
    return Lines + TLines{"",
                          "Bytes per Pixel: 2",
                          "Width:           " + std::to_string(Width),
                          "Height:          " + std::to_string(Height),
                          "Pitch:           " + std::to_string(Pitch),
                          "copying image",
                          "copy done"};
}

TLines GalaxyImageLines()
{
    return ImageLines(GalaxyWidth(), GalaxyHeight(), PatternPitch(GalaxyWidth()));
}

TLines StartLines()
{
    return BannerLines() + MemoryLines() + MusicLines() + GalaxyImageLines();
}

TLines VideoLines()
{
    return {"Initialize Video",      "Open FB0 device",       "ID:         sim-fb0", "SMem_Start: 03000000",
            "SMem_Len:   00040000",  "Screen:     <hex>",     "Open FB2 device",     "ID:         sim-fb1",
            "SMem_Start: 03040000",  "SMem_Len:   00040000",  "Screen:     <hex>"};
}

TLines EndLines()
{
    return {"", "Video done", "", "program terminated"};
}

TLines ReportLines(const std::string& ClassAndMessage)
{
    return {"An unhandled exception occurred at $<hex> :", ClassAndMessage, "<lines>", ""};
}

TLogEntry FirstEntry()
{
    return {false, "", "Starting Application", "Initialization"};
}

TLogEntry LastEntry()
{
    return {false, "", "Terminating Application", "Finalization"};
}

std::vector<TLogEntry> StartLogToMusic()
{
    return {FirstEntry(),
            {false, "", "Software Surface available...", "InitSDL"},
            {false, "", "Set video mode 320x240x16", "InitSDL"},
            {false, "", "Done", "InitSDL"}};
}

std::vector<TLogEntry> MusicLog()
{
    return {{false, "", "Music \"music.ogg\" loaded", "LoadMusic"}, {false, "", "Playing started", "PlayMusic"}};
}

std::vector<TLogEntry> StartLog()
{
    std::vector<TLogEntry> Entries = StartLogToMusic();
    for (const TLogEntry& Entry : MusicLog())
        Entries.push_back(Entry);
    return Entries;
}

namespace {

SDL_Rect GalaxySize()
{
    SDL_Surface* Galaxy = SDL_LoadBMP(BRIMLET_DATA_DIR "/galaxy.bmp");
    EXPECT_NE(Galaxy, nullptr) << SDL_GetError();
    if (Galaxy == nullptr)
        return {0, 0, 0, 0};
    const SDL_Rect Size{0, 0, static_cast<Uint16>(Galaxy->w), static_cast<Uint16>(Galaxy->h)};
    SDL_FreeSurface(Galaxy);
    return Size;
}

} // namespace

int GalaxyWidth()
{
    return GalaxySize().w;
}

int GalaxyHeight()
{
    return GalaxySize().h;
}
