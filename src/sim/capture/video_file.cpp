// The video recording module: everything here that needs FFmpeg's libraries is reached through
// BrimletVideoFileCalls only.

#include "sim/capture/video_file.h"

#include "sim/capture/gif_palette.h"
#include "sim/capture/video_formats.h"
#include "sim/model/display.h"
#include "sim/model/rgb565.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <signal.h>
#include <system_error>
#include <thread>

namespace {

constexpr int RefreshesPerSecond = 60;
// GIF delays count hundredths of a second, and viewers slow down the shortest; every third refresh makes 5.
constexpr int GifRefreshesPerFrame = 3;
constexpr int KeyFramesPerSecond = 1;
// The encoder's work that the queue may hold, as its last pictures took: what closing a recording costs at most,
// beyond the picture under way. At most half a second of refreshes, whatever they take.
constexpr std::chrono::nanoseconds QueuedWork = std::chrono::milliseconds(250);
constexpr int MostQueuedPictures = 30;

const TVideoFormat* Container = nullptr;
AVFormatContext* Format = nullptr;
AVPacket* Packet = nullptr;
int Scale = 1;
// Written on the encoder's thread, read on the device's: under FailureLock.
std::string Failure;
std::mutex FailureLock;

// What the device made, waiting for the encoder: a refresh's picture, or a block of sound.
struct TQueued {
    bool IsPicture;
    std::int64_t Index;
    std::vector<std::uint16_t> Pixels;
    std::vector<std::int16_t> Samples;
    std::uint32_t Rate;
    std::uint64_t Position;
};
std::thread Encoder;
std::mutex QueueLock;
std::condition_variable QueueChanged;
// Under QueueLock.
std::deque<TQueued> Queue;
int QueuedPictures = 0;
bool Closing = false;
// What one picture has taken the encoder lately; at first as much as the queue may hold, so that the first
// pictures wait for the measure.
std::chrono::nanoseconds PictureCost = QueuedWork;

AVCodecContext* Video = nullptr;
AVStream* VideoStream = nullptr;
AVFrame* Picture = nullptr;
// The RGB picture that the converter takes, for a codec that wants YUV.
AVFrame* Packed = nullptr;
SwsContext* Converter = nullptr;
TGifPalette Palette;
std::int64_t NextRefresh = 0;

AVCodecContext* Sound = nullptr;
AVStream* SoundStream = nullptr;
SwrContext* Resampler = nullptr;
std::uint32_t ResamplerRate = 0;
AVAudioFifo* Waiting = nullptr;
AVFrame* SoundFrame = nullptr;
std::int64_t SoundPts = 0;
// The speaker's frames handed on so far, counted from device time 0 at its rate.
std::uint64_t SoundFed = 0;

// Keeps the first failure: what follows from it says less.
void Fail(const std::string& What, int Code)
{
    char Text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(Code, Text, sizeof Text);
    std::lock_guard<std::mutex> Guard(FailureLock);
    if (Failure.empty())
        Failure = What + ": " + Text;
}

// Everything the encoder has ready, into the container.
void Drain(AVCodecContext* Codec, AVStream* Stream)
{
    int Result;
    while ((Result = avcodec_receive_packet(Codec, Packet)) == 0) {
        av_packet_rescale_ts(Packet, Codec->time_base, Stream->time_base);
        Packet->stream_index = Stream->index;
        const int Written = av_interleaved_write_frame(Format, Packet);
        if (Written < 0)
            Fail("writing", Written);
    }
    if (Result != AVERROR(EAGAIN) && Result != AVERROR_EOF)
        Fail("encoding", Result);
}

void Encode(AVCodecContext* Codec, AVStream* Stream, const AVFrame* Frame)
{
    const int Result = avcodec_send_frame(Codec, Frame);
    if (Result < 0) {
        Fail("encoding", Result);
        return;
    }
    Drain(Codec, Stream);
}

AVCodecContext* OpenEncoder(const char* Name, std::string& Error)
{
    const AVCodec* Codec = avcodec_find_encoder_by_name(Name);
    if (Codec == nullptr) {
        Error = std::string("this FFmpeg has no ") + Name + " encoder";
        return nullptr;
    }
    AVCodecContext* Context = avcodec_alloc_context3(Codec);
    if (Context == nullptr) {
        Fail(std::string("setting up the ") + Name + " encoder", AVERROR(ENOMEM));
        Error = Failure;
    }
    return Context;
}

bool Opened(AVCodecContext* Codec, AVStream*& Stream, AVDictionary** Options, std::string& Error)
{
    if (Format->oformat->flags & AVFMT_GLOBALHEADER)
        Codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int Result = avcodec_open2(Codec, Codec->codec, Options);
    Stream = Result >= 0 ? avformat_new_stream(Format, nullptr) : nullptr;
    if (Stream != nullptr) {
        Result = avcodec_parameters_from_context(Stream->codecpar, Codec);
        Stream->time_base = Codec->time_base;
    }
    if (Result < 0 || Stream == nullptr) {
        Fail(std::string("opening the ") + Codec->codec->name + " encoder", Result < 0 ? Result : AVERROR(ENOMEM));
        Error = Failure;
        return false;
    }
    return true;
}

// A picture of the recording's size in Pixels, with its buffer; nullptr when there is no memory for it.
AVFrame* NewFrame(AVPixelFormat Pixels)
{
    AVFrame* Frame = av_frame_alloc();
    if (Frame == nullptr)
        return nullptr;
    Frame->format = Pixels;
    Frame->width = Video->width;
    Frame->height = Video->height;
    if (av_frame_get_buffer(Frame, 0) < 0)
        av_frame_free(&Frame);
    return Frame;
}

bool OpenVideo(std::string& Error)
{
    Video = OpenEncoder(Container->VideoCodec, Error);
    if (Video == nullptr)
        return false;
    const bool Gif = Container->Pictures == TPictureKind::Paletted;
    Video->width = DisplayWidth * Scale;
    Video->height = DisplayHeight * Scale;
    Video->pix_fmt = Container->Pictures == TPictureKind::Rgb ? AV_PIX_FMT_0RGB32
        : Container->Pictures == TPictureKind::Yuv            ? AV_PIX_FMT_YUV420P
                                                              : AV_PIX_FMT_PAL8;
    Video->time_base = {Gif ? GifRefreshesPerFrame : 1, RefreshesPerSecond};
    Video->framerate = {Video->time_base.den, Video->time_base.num};
    Video->gop_size = RefreshesPerSecond * KeyFramesPerSecond;
    AVDictionary* Options = nullptr;
    av_dict_parse_string(&Options, Container->VideoOptions, "=", ":", 0);
    const bool Done = Opened(Video, VideoStream, &Options, Error);
    av_dict_free(&Options);
    if (!Done)
        return false;
    Picture = NewFrame(Video->pix_fmt);
    if (Picture == nullptr)
        return false;
    if (Container->Pictures != TPictureKind::Yuv)
        return true;
    Packed = NewFrame(AV_PIX_FMT_0RGB32);
    Converter = sws_getContext(Video->width, Video->height, AV_PIX_FMT_0RGB32, Video->width, Video->height,
                               AV_PIX_FMT_YUV420P, SWS_POINT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    return Packed != nullptr && Converter != nullptr;
}

bool OpenSound(std::string& Error)
{
    Sound = OpenEncoder(Container->SoundCodec, Error);
    if (Sound == nullptr)
        return false;
    Sound->sample_fmt = Sound->codec->sample_fmts != nullptr ? Sound->codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    Sound->sample_rate = Container->SoundRate;
    Sound->time_base = {1, Container->SoundRate};
    Sound->bit_rate = 128000;
    av_channel_layout_default(&Sound->ch_layout, 2);
    if (!Opened(Sound, SoundStream, nullptr, Error))
        return false;
    Waiting = av_audio_fifo_alloc(Sound->sample_fmt, 2, Sound->frame_size > 0 ? Sound->frame_size : 4096);
    SoundFrame = av_frame_alloc();
    return Waiting != nullptr && SoundFrame != nullptr;
}

// The picture enlarged Scale times, nearest neighbour, as 0x00RRGGBB pixels into Into.
void Pack(const std::vector<std::uint16_t>& Pixels, AVFrame* Into)
{
    for (int Y = 0; Y < Into->height; ++Y) {
        auto* Row =
            reinterpret_cast<std::uint32_t*>(Into->data[0] + static_cast<std::ptrdiff_t>(Y) * Into->linesize[0]);
        const std::uint16_t* From = &Pixels[static_cast<std::size_t>(Y / Scale) * DisplayWidth];
        for (int X = 0; X < Into->width; ++X) {
            const std::uint16_t Pixel = From[X / Scale];
            Row[X] = std::uint32_t{Red8(Pixel)} << 16 | std::uint32_t{Green8(Pixel)} << 8 | Blue8(Pixel);
        }
    }
}

void Paletted(const std::vector<std::uint16_t>& Pixels)
{
    MakeGifPalette(Pixels, Palette);
    std::copy(std::begin(Palette.Colours), std::end(Palette.Colours),
              reinterpret_cast<std::uint32_t*>(Picture->data[1]));
    for (int Y = 0; Y < Picture->height; ++Y) {
        std::uint8_t* Row = Picture->data[0] + static_cast<std::ptrdiff_t>(Y) * Picture->linesize[0];
        const std::uint16_t* From = &Pixels[static_cast<std::size_t>(Y / Scale) * DisplayWidth];
        for (int X = 0; X < Picture->width; ++X)
            Row[X] = Palette.Entry[From[X / Scale]];
    }
}

// Sends every whole frame of sound waiting, and at the end what is left, in a last frame as long as the encoder
// allows.
void EncodeSound(bool End)
{
    const int FrameSize = Sound->frame_size > 0 ? Sound->frame_size : 4096;
    const bool ShortLast = (Sound->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
    while (Failure.empty() && (av_audio_fifo_size(Waiting) >= FrameSize || (End && av_audio_fifo_size(Waiting) > 0))) {
        const int Count = std::min(FrameSize, av_audio_fifo_size(Waiting));
        av_frame_unref(SoundFrame);
        SoundFrame->format = Sound->sample_fmt;
        SoundFrame->sample_rate = Sound->sample_rate;
        SoundFrame->nb_samples = ShortLast ? Count : FrameSize;
        av_channel_layout_copy(&SoundFrame->ch_layout, &Sound->ch_layout);
        if (av_frame_get_buffer(SoundFrame, 0) < 0) {
            Fail("sound", AVERROR(ENOMEM));
            return;
        }
        av_samples_set_silence(SoundFrame->data, 0, SoundFrame->nb_samples, 2, Sound->sample_fmt);
        av_audio_fifo_read(Waiting, reinterpret_cast<void**>(SoundFrame->data), Count);
        SoundFrame->pts = SoundPts;
        SoundPts += SoundFrame->nb_samples;
        Encode(Sound, SoundStream, SoundFrame);
    }
}

// Frames of sound at Rate through the resampler into the waiting frames; no samples: what the resampler holds.
void Resample(const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate)
{
    if (Resampler == nullptr || Rate != ResamplerRate) {
        swr_free(&Resampler);
        AVChannelLayout Stereo;
        av_channel_layout_default(&Stereo, 2);
        if (swr_alloc_set_opts2(&Resampler, &Sound->ch_layout, Sound->sample_fmt, Sound->sample_rate, &Stereo,
                                AV_SAMPLE_FMT_S16, static_cast<int>(Rate), 0, nullptr)
                < 0
            || swr_init(Resampler) < 0) {
            Fail("resampling", AVERROR(EINVAL));
            return;
        }
        ResamplerRate = Rate;
    }
    const int Most = swr_get_out_samples(Resampler, static_cast<int>(Frames));
    std::uint8_t** Out = nullptr;
    if (av_samples_alloc_array_and_samples(&Out, nullptr, 2, std::max(Most, 1), Sound->sample_fmt, 0) < 0) {
        Fail("resampling", AVERROR(ENOMEM));
        return;
    }
    const auto* In = reinterpret_cast<const std::uint8_t*>(Samples);
    const int Made = swr_convert(Resampler, Out, Most, Samples != nullptr ? &In : nullptr, static_cast<int>(Frames));
    if (Made < 0)
        Fail("resampling", Made);
    else if (av_audio_fifo_write(Waiting, reinterpret_cast<void**>(Out), Made) < Made)
        Fail("sound", AVERROR(ENOMEM));
    av_freep(&Out[0]);
    av_freep(&Out);
}

void EncodePicture(std::int64_t Index, const std::vector<std::uint16_t>& Pixels)
{
    if (Format == nullptr || !Failure.empty() || Index < NextRefresh)
        return;
    NextRefresh = Index + 1;
    const bool Gif = Container->Pictures == TPictureKind::Paletted;
    if (Gif && Index % GifRefreshesPerFrame != 0)
        return;
    if (av_frame_make_writable(Picture) < 0) {
        Fail("picture", AVERROR(ENOMEM));
        return;
    }
    if (Gif) {
        Paletted(Pixels);
    } else if (Converter == nullptr) {
        Pack(Pixels, Picture);
    } else {
        Pack(Pixels, Packed);
        sws_scale(Converter, Packed->data, Packed->linesize, 0, Packed->height, Picture->data, Picture->linesize);
    }
    Picture->pts = Gif ? Index / GifRefreshesPerFrame : Index;
    Encode(Video, VideoStream, Picture);
}

void EncodeSoundBlock(const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate, std::uint64_t Position)
{
    if (Format == nullptr || Sound == nullptr || !Failure.empty() || Rate == 0)
        return;
    // Until the speaker's first sound, and between its sounds, the recording holds silence, so that sound and
    // picture keep to device time.
    if (Position > SoundFed) {
        const std::vector<std::int16_t> Silence((Position - SoundFed) * 2, 0);
        Resample(Silence.data(), Position - SoundFed, Rate);
    }
    Resample(Samples, Frames, Rate);
    SoundFed = std::max(SoundFed, Position) + Frames;
    EncodeSound(false);
}

// The encoder's thread: what the queue holds, in the order the device made it, until the recording closes and the
// queue is empty.
void EncodeQueued()
{
    std::unique_lock<std::mutex> Guard(QueueLock);
    for (;;) {
        QueueChanged.wait(Guard, [] { return Closing || !Queue.empty(); });
        if (Queue.empty())
            return;
        const TQueued Item = std::move(Queue.front());
        Queue.pop_front();
        Guard.unlock();
        const auto Start = std::chrono::steady_clock::now();
        if (Item.IsPicture)
            EncodePicture(Item.Index, Item.Pixels);
        else
            EncodeSoundBlock(Item.Samples.data(), Item.Samples.size() / 2, Item.Rate, Item.Position);
        const auto Took = std::chrono::steady_clock::now() - Start;
        Guard.lock();
        if (Item.IsPicture) {
            // The picture counts against the queue until it is encoded, so that a close costs no more than the
            // queue holds.
            --QueuedPictures;
            PictureCost = std::chrono::duration_cast<std::chrono::nanoseconds>(3 * PictureCost + Took) / 4;
            QueueChanged.notify_all();
        }
    }
}

// Whether the queue takes another picture: as many as the encoder's recent pace does in QueuedWork, at least one.
bool Room()
{
    const std::int64_t Fits = QueuedWork / std::max(PictureCost, std::chrono::nanoseconds(1));
    return QueuedPictures < std::clamp<std::int64_t>(Fits, 1, MostQueuedPictures);
}

// The encoder's thread takes no signal, so that they reach the device's thread and leave the encoder's calls alone.
bool StartEncoder(std::string& Error)
{
    Closing = false;
    Queue.clear();
    QueuedPictures = 0;
    PictureCost = QueuedWork;
    sigset_t All, Before;
    sigfillset(&All);
    pthread_sigmask(SIG_BLOCK, &All, &Before);
    try {
        Encoder = std::thread(EncodeQueued);
    } catch (const std::system_error& Refused) {
        Error = std::string("cannot start the encoder's thread: ") + Refused.what();
    }
    pthread_sigmask(SIG_SETMASK, &Before, nullptr);
    return Encoder.joinable();
}

// The encoder's thread ends once it has encoded everything queued.
void StopEncoder()
{
    if (!Encoder.joinable())
        return;
    {
        std::lock_guard<std::mutex> Guard(QueueLock);
        Closing = true;
    }
    QueueChanged.notify_all();
    Encoder.join();
}

void Release()
{
    StopEncoder();
    avcodec_free_context(&Video);
    avcodec_free_context(&Sound);
    av_frame_free(&Picture);
    av_frame_free(&Packed);
    av_frame_free(&SoundFrame);
    av_packet_free(&Packet);
    sws_freeContext(Converter);
    Converter = nullptr;
    swr_free(&Resampler);
    if (Waiting != nullptr)
        av_audio_fifo_free(Waiting);
    Waiting = nullptr;
    if (Format != nullptr && Format->pb != nullptr)
        avio_closep(&Format->pb);
    avformat_free_context(Format);
    Format = nullptr;
    VideoStream = SoundStream = nullptr;
    Container = nullptr;
}

bool OpenRecording(const std::string& File, int Enlarged, std::string& Error)
{
    Release();
    Failure.clear();
    Error.clear();
    Container = VideoFormatOf(File);
    Scale = std::max(Enlarged, 1);
    NextRefresh = 0;
    SoundPts = 0;
    SoundFed = 0;
    ResamplerRate = 0;
    av_log_set_level(AV_LOG_ERROR);
    if (Container == nullptr) {
        Error = "unknown extension (known: " + VideoExtensions() + ")";
        return false;
    }
    const int Allocated = avformat_alloc_output_context2(&Format, nullptr, Container->Container, File.c_str());
    Packet = av_packet_alloc();
    if (Allocated < 0 || Packet == nullptr) {
        Fail("setting up", Allocated < 0 ? Allocated : AVERROR(ENOMEM));
        Error = Failure;
        Release();
        return false;
    }
    if (!OpenVideo(Error) || (Container->SoundCodec != nullptr && !OpenSound(Error))) {
        if (Error.empty())
            Error = "out of memory";
        Release();
        return false;
    }
    // Fragments and clusters of a second, each written out as it ends, so that a file cut short plays up to about
    // its last second.
    AVDictionary* Options = nullptr;
    av_dict_set(&Options, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
    av_dict_set(&Options, "cluster_time_limit", "1000", 0);
    av_dict_set(&Options, "flush_packets", "1", 0);
    int Result = avio_open(&Format->pb, File.c_str(), AVIO_FLAG_WRITE);
    if (Result >= 0)
        Result = avformat_write_header(Format, &Options);
    av_dict_free(&Options);
    if (Result < 0) {
        Fail("writing", Result);
        Error = Failure;
        Release();
        return false;
    }
    if (!StartEncoder(Error)) {
        Release();
        return false;
    }
    return true;
}

bool RecordPicture(std::int64_t Index, const std::vector<std::uint16_t>& Pixels, int WaitMilliseconds)
{
    std::unique_lock<std::mutex> Guard(QueueLock);
    if (!Encoder.joinable())
        return true;
    if (!QueueChanged.wait_for(Guard, std::chrono::milliseconds(WaitMilliseconds), Room))
        return false;
    Queue.push_back({true, Index, Pixels, {}, 0, 0});
    ++QueuedPictures;
    QueueChanged.notify_all();
    return true;
}

void RecordSound(const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate, std::uint64_t Position)
{
    std::lock_guard<std::mutex> Guard(QueueLock);
    if (!Encoder.joinable())
        return;
    Queue.push_back({false, 0, {}, std::vector<std::int16_t>(Samples, Samples + Frames * 2), Rate, Position});
    QueueChanged.notify_all();
}

bool CloseRecording(std::string& Error)
{
    if (Format == nullptr)
        return true;
    StopEncoder();
    if (NextRefresh == 0)
        EncodePicture(0, std::vector<std::uint16_t>(DisplayWidth * DisplayHeight, DisplayOffPixel));
    if (Failure.empty()) {
        if (Sound != nullptr) {
            if (Resampler != nullptr)
                Resample(nullptr, 0, ResamplerRate);
            EncodeSound(true);
            Encode(Sound, SoundStream, nullptr);
        }
        Encode(Video, VideoStream, nullptr);
        const int Result = av_write_trailer(Format);
        if (Result < 0)
            Fail("writing", Result);
    }
    if (Format->pb != nullptr) {
        avio_flush(Format->pb);
        if (Format->pb->error < 0)
            Fail("writing", Format->pb->error);
        if (avio_closep(&Format->pb) < 0)
            Fail("closing", AVERROR(EIO));
    }
    Release();
    Error = Failure;
    return Failure.empty();
}

std::string FirstFailure()
{
    std::lock_guard<std::mutex> Guard(FailureLock);
    return Failure;
}

} // namespace

const TVideoFileCalls* BrimletVideoFileCalls()
{
    static const TVideoFileCalls Calls = {OpenRecording, RecordPicture, RecordSound, CloseRecording, FirstFailure};
    return &Calls;
}
