#include "ogg_vorbis.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {

constexpr int StreamSerial = 0x6272696D;
constexpr std::size_t FramesPerWrite = 1024;

void AppendPage(std::vector<std::uint8_t>& Bytes, const ogg_page& Page)
{
    Bytes.insert(Bytes.end(), Page.header, Page.header + Page.header_len);
    Bytes.insert(Bytes.end(), Page.body, Page.body + Page.body_len);
}

// The encoder's state, released in reverse order of its set-up whichever way the encoding ends.
struct TEncoder {
    vorbis_info Info;
    vorbis_comment Comment;
    vorbis_dsp_state Dsp;
    vorbis_block Block;
    ogg_stream_state Stream;
    bool AnalysisReady = false;

    TEncoder()
    {
        vorbis_info_init(&Info);
        vorbis_comment_init(&Comment);
    }
    ~TEncoder()
    {
        if (AnalysisReady) {
            ogg_stream_clear(&Stream);
            vorbis_block_clear(&Block);
            vorbis_dsp_clear(&Dsp);
        }
        vorbis_comment_clear(&Comment);
        vorbis_info_clear(&Info);
    }
    TEncoder(const TEncoder&) = delete;
    TEncoder& operator=(const TEncoder&) = delete;
};

// Moves every packet that the analysis has finished into pages, and the pages into Bytes.
void DrainPackets(TEncoder& Encoder, std::vector<std::uint8_t>& Bytes)
{
    ogg_packet Packet;
    ogg_page Page;
    while (vorbis_analysis_blockout(&Encoder.Dsp, &Encoder.Block) == 1) {
        vorbis_analysis(&Encoder.Block, nullptr);
        vorbis_bitrate_addblock(&Encoder.Block);
        while (vorbis_bitrate_flushpacket(&Encoder.Dsp, &Packet) == 1) {
            ogg_stream_packetin(&Encoder.Stream, &Packet);
            while (ogg_stream_pageout(&Encoder.Stream, &Page) != 0)
                AppendPage(Bytes, Page);
        }
    }
}

} // namespace

bool EncodeOggVorbis(const TLoop& Loop, float Quality, const TOggTags& Tags, std::vector<std::uint8_t>& Bytes,
                     std::string& Error)
{
    TEncoder Encoder;
    if (vorbis_encode_init_vbr(&Encoder.Info, 2, Loop.Rate, Quality) != 0) {
        Error = "libvorbis does not encode stereo at this rate and quality";
        return false;
    }
    vorbis_comment_add_tag(&Encoder.Comment, "TITLE", Tags.Title.c_str());
    vorbis_comment_add_tag(&Encoder.Comment, "ARTIST", Tags.Artist.c_str());
    vorbis_analysis_init(&Encoder.Dsp, &Encoder.Info);
    vorbis_block_init(&Encoder.Dsp, &Encoder.Block);
    ogg_stream_init(&Encoder.Stream, StreamSerial);
    Encoder.AnalysisReady = true;

    ogg_packet Identification;
    ogg_packet Comments;
    ogg_packet Codebooks;
    vorbis_analysis_headerout(&Encoder.Dsp, &Encoder.Comment, &Identification, &Comments, &Codebooks);
    ogg_stream_packetin(&Encoder.Stream, &Identification);
    ogg_stream_packetin(&Encoder.Stream, &Comments);
    ogg_stream_packetin(&Encoder.Stream, &Codebooks);
    // The headers end their own page, so that the audio starts on a fresh one as decoders expect.
    ogg_page Page;
    while (ogg_stream_flush(&Encoder.Stream, &Page) != 0)
        AppendPage(Bytes, Page);

    const std::size_t Frames = Loop.Left.size();
    for (std::size_t Done = 0; Done < Frames;) {
        const std::size_t Count = std::min(FramesPerWrite, Frames - Done);
        float** Buffer = vorbis_analysis_buffer(&Encoder.Dsp, static_cast<int>(Count));
        for (std::size_t Frame = 0; Frame < Count; ++Frame) {
            Buffer[0][Frame] = static_cast<float>(Loop.Left[Done + Frame]);
            Buffer[1][Frame] = static_cast<float>(Loop.Right[Done + Frame]);
        }
        vorbis_analysis_wrote(&Encoder.Dsp, static_cast<int>(Count));
        DrainPackets(Encoder, Bytes);
        Done += Count;
    }
    // The end of the input: the last page carries the exact length, so decoders stop at the loop's last frame.
    vorbis_analysis_wrote(&Encoder.Dsp, 0);
    DrainPackets(Encoder, Bytes);
    while (ogg_stream_flush(&Encoder.Stream, &Page) != 0)
        AppendPage(Bytes, Page);
    return true;
}
