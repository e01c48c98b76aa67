#pragma once
// The video recording's containers, chosen by the file's extension: .mkv lossless (FFV1 and FLAC), .mp4 (H.264 and
// AAC, fragmented so that a file cut short still plays), .webm (VP9 and Opus), .gif (the picture alone).

#include <string>

enum class TPictureKind { Rgb, Yuv, Paletted };

struct TVideoFormat {
    const char* Extension;
    const char* Container;
    const char* VideoCodec;
    TPictureKind Pictures;
    const char* VideoOptions; // "name=value:..." for the video encoder
    const char* SoundCodec;   // nullptr: the picture alone
    int SoundRate;
};

// The format of File's extension (in any case), or nullptr.
const TVideoFormat* VideoFormatOf(const std::string& File);
// The known extensions for a message: ".mkv, .mp4, ...".
std::string VideoExtensions();
