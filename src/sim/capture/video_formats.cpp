#include "sim/capture/video_formats.h"

#include <cctype>

namespace {

// The sound keeps the program's own rate where the codec takes it, so that the lossless recording holds the very
// samples heard; Opus takes 48 kHz only. The encoders' settings record faster than the device runs and keep the
// status lines' small text sharp. Each GIF frame has a palette of its own, which the encoder's comparisons of
// palette indices with the frame before would misread.
const TVideoFormat Formats[] = {
    {".mkv", "matroska", "ffv1", TPictureKind::Rgb, "coder=range_def:context=1:slices=4:level=3", "flac", 22050},
    {".mp4", "mp4", "libx264", TPictureKind::Yuv, "preset=veryfast:crf=20", "aac", 22050},
    {".webm", "webm", "libvpx-vp9", TPictureKind::Yuv, "deadline=realtime:cpu-used=8:row-mt=1:b=0:crf=32", "libopus",
     48000},
    {".gif", "gif", "gif", TPictureKind::Paletted, "gifflags=-offsetting-transdiff:global_palette=0", nullptr, 0},
};

} // namespace

const TVideoFormat* VideoFormatOf(const std::string& File)
{
    std::string Name = File;
    for (char& Letter : Name)
        Letter = static_cast<char>(std::tolower(static_cast<unsigned char>(Letter)));
    for (const TVideoFormat& Format : Formats) {
        const std::string Extension = Format.Extension;
        if (Name.size() > Extension.size()
            && Name.compare(Name.size() - Extension.size(), Extension.size(), Extension) == 0)
            return &Format;
    }
    return nullptr;
}

std::string VideoExtensions()
{
    std::string Known;
    for (const TVideoFormat& Format : Formats)
        Known += std::string(Known.empty() ? "" : ", ") + Format.Extension;
    return Known;
}
