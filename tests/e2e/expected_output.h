#pragma once
// What the program prints and logs on its way, block by block, as the tests expect it on the simulated device.

#include "e2e/sim_folder.h"

#include <string>
#include <vector>

using TLines = std::vector<std::string>;

TLines operator+(TLines Front, const TLines& Back);
std::vector<TLogEntry> operator+(std::vector<TLogEntry> Front, const std::vector<TLogEntry>& Back);

// From the banner to the handle line.
TLines BannerLines();
// The memory window and its test frame.
TLines MemoryLines();
TLines MusicLines();
// The image from "Loading image" to "copy done"; CutLine is the line saying the image was cut, "" for none.
TLines ImageLines(int Width, int Height, int Pitch, const std::string& CutLine = "");
// The image lines of the build's galaxy.bmp.
TLines GalaxyImageLines();
// Everything up to "copy done" with the build's galaxy.bmp.
TLines StartLines();
// The device layer's lines of both video pages.
TLines VideoLines();
// "Video done" and, after the loop, the last line.
TLines EndLines();
// The report of an error that nothing handled, with its class and message.
TLines ReportLines(const std::string& ClassAndMessage);

// The log's entries from the start to "Playing started", and the last entry.
std::vector<TLogEntry> StartLog();
std::vector<TLogEntry> StartLogToMusic();
std::vector<TLogEntry> MusicLog();
TLogEntry FirstEntry();
TLogEntry LastEntry();

// The size of the build's galaxy.bmp.
int GalaxyWidth();
int GalaxyHeight();
