// The video recording of a build without FFmpeg's libraries (the 32-bit ARM build of brimlet-sim and the tests):
// no extension is known, so that --video is refused before the run.

#include "sim/capture/video_file.h"

bool VideoExtensionKnown(const std::string&)
{
    return false;
}

std::string VideoExtensions()
{
    return "";
}

bool OpenVideoFile(const std::string&, int, std::string& Error)
{
    Error = "this build has no video recording";
    return false;
}

void VideoFilePicture(std::int64_t, const std::vector<std::uint16_t>&)
{}

void VideoFileSound(const std::int16_t*, std::size_t, std::uint32_t, std::uint64_t)
{}

bool CloseVideoFile(std::string&)
{
    return true;
}

std::string VideoFileFailure()
{
    return "";
}
