#pragma once
// Encoding a stereo loop as an Ogg Vorbis file with Debian's libvorbis.

#include "synth.h"

#include <cstdint>
#include <string>
#include <vector>

struct TOggTags {
    std::string Title;
    std::string Artist;
};

// Encodes Loop (samples within -1 to 1) at variable bit rate, Quality from -0.1 to 1. The stream's serial number is
// fixed, so the same loop always gives the same bytes. False with Error set when libvorbis refuses.
bool EncodeOggVorbis(const TLoop& Loop, float Quality, const TOggTags& Tags, std::vector<std::uint8_t>& Bytes,
                     std::string& Error);
