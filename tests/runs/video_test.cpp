// brimlet-sim's video recording, decoded back through the same libraries: every refresh as the display showed it,
// the sound as the listener heard it, and a file that still plays after the run was killed.

#include "runs/runs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>

namespace {

struct TDecoded {
    // Pictures by refresh (60 a second from device time 0): RGB565 from the last of each enlarged pixel's pixels,
    // where the codec gives RGB (FFV1, GIF), else empty.
    std::map<std::int64_t, TFrame> Pictures;
    std::string Sound; // interleaved 16-bit samples, where the codec gives them
    std::int64_t SoundFrames = 0;
    int Rate = 0, Scale = 0;
};

void Receive(AVCodecContext* Codec, const AVStream* Stream, AVFrame* Frame, TDecoded& Decoded)
{
    while (avcodec_receive_frame(Codec, Frame) == 0) {
        if (Codec->codec_type == AVMEDIA_TYPE_AUDIO) {
            Decoded.Rate = Frame->sample_rate;
            Decoded.SoundFrames += Frame->nb_samples;
            if (Frame->format == AV_SAMPLE_FMT_S16)
                Decoded.Sound.append(reinterpret_cast<const char*>(Frame->data[0]), Frame->nb_samples * 4);
            continue;
        }
        const std::int64_t Refresh = std::llround(Frame->best_effort_timestamp * av_q2d(Stream->time_base) * 60);
        TFrame& Picture = Decoded.Pictures[Refresh];
        Decoded.Scale = Frame->width / ScreenWidth;
        if ((Frame->format != AV_PIX_FMT_0RGB32 && Frame->format != AV_PIX_FMT_BGRA)
            || Frame->height != ScreenHeight * Decoded.Scale)
            continue;
        for (int Y = Decoded.Scale - 1; Y < Frame->height; Y += Decoded.Scale)
            for (int X = Decoded.Scale - 1; X < Frame->width; X += Decoded.Scale) {
                std::uint32_t Pixel;
                std::memcpy(&Pixel, Frame->data[0] + Y * Frame->linesize[0] + 4 * X, 4);
                Picture.push_back(std::uint16_t((Pixel >> 19 & 0x1F) << 11 | (Pixel >> 10 & 0x3F) << 5 | (Pixel >> 3 & 0x1F)));
            }
    }
}

// Everything that decodes, up to the first damage.
TDecoded Decode(const std::string& Path)
{
    TDecoded Decoded;
    AVFormatContext* Format = nullptr;
    EXPECT_EQ(avformat_open_input(&Format, Path.c_str(), nullptr, nullptr), 0) << Path;
    if (Format == nullptr || avformat_find_stream_info(Format, nullptr) < 0)
        return Decoded;
    std::vector<AVCodecContext*> Codecs;
    for (unsigned Index = 0; Index < Format->nb_streams; ++Index) {
        const AVCodecParameters* Parameters = Format->streams[Index]->codecpar;
        Codecs.push_back(avcodec_alloc_context3(avcodec_find_decoder(Parameters->codec_id)));
        avcodec_parameters_to_context(Codecs.back(), Parameters);
        EXPECT_EQ(avcodec_open2(Codecs.back(), nullptr, nullptr), 0);
    }
    AVPacket* Packet = av_packet_alloc();
    AVFrame* Frame = av_frame_alloc();
    while (av_read_frame(Format, Packet) >= 0) {
        if (avcodec_send_packet(Codecs[Packet->stream_index], Packet) == 0)
            Receive(Codecs[Packet->stream_index], Format->streams[Packet->stream_index], Frame, Decoded);
        av_packet_unref(Packet);
    }
    for (unsigned Index = 0; Index < Codecs.size(); ++Index) {
        avcodec_send_packet(Codecs[Index], nullptr);
        Receive(Codecs[Index], Format->streams[Index], Frame, Decoded);
        avcodec_free_context(&Codecs[Index]);
    }
    av_frame_free(&Frame);
    av_packet_free(&Packet);
    avformat_close_input(&Format);
    return Decoded;
}

// The lossless recording holds every refresh once, from the first on, enlarged as asked; the snapshots of flips 10
// and 40 are among them exactly, 30 refreshes apart with V-Sync on; its sound is the very samples of the audio
// capture, as long as the pictures within a refresh.
TEST(VideoRecording, MkvHoldsEveryRefreshAndTheSoundHeard)
{
    TSimRun Run;
    Run.Put("s.txt", "1 hold right\n10 snapshot a.png\n40 snapshot b.png\n50 hold b4\n");
    ASSERT_EQ(Run.Run({"--headless", "--fast", "--script", "s.txt", "--video", "v.mkv", "--video-scale", "2",
                       "--audio-out", "a.wav"})
                  .ExitStatus,
              0);
    const TDecoded Decoded = Decode(Run.File("v.mkv"));
    ASSERT_GE(Decoded.Pictures.size(), 50u);
    EXPECT_EQ(Decoded.Scale, 2);
    EXPECT_EQ(Decoded.Pictures.begin()->first, 0);
    EXPECT_EQ(Decoded.Pictures.rbegin()->first, std::int64_t(Decoded.Pictures.size()) - 1) << "a refresh missing";
    std::int64_t Shown[2] = {-1, -1};
    const TFrame Snapshots[2] = {ReadPng(Run.File("a.png")), ReadPng(Run.File("b.png"))};
    for (const auto& [Refresh, Picture] : Decoded.Pictures)
        for (int Which = 0; Which < 2; ++Which)
            if (Shown[Which] < 0 && Picture == Snapshots[Which])
                Shown[Which] = Refresh;
    EXPECT_GE(Shown[0], 10);
    EXPECT_EQ(Shown[1] - Shown[0], 30);
    EXPECT_EQ(Decoded.Rate, 22050);
    EXPECT_TRUE(Decoded.Sound == ReadFile(Run.File("a.wav")).substr(44)) << "the sound is not the samples heard";
    EXPECT_NEAR(Decoded.SoundFrames, std::int64_t(Decoded.Pictures.size()) * 22050 / 60, 22050 / 60);
}

// A GIF holds every third refresh, each frame near what the display showed in the colours of its own palette. In
// modelled time the start-up goes by unscanned, and the refreshes it spans are there all the same.
TEST(VideoRecording, GifHoldsEveryThirdRefreshInItsOwnColours)
{
    TSimRun Run;
    Run.Put("s.txt", "10 snapshot a.png\n40 hold b4\n");
    ASSERT_EQ(Run.Run({"--headless", "--script", "s.txt", "--video", "v.gif"}).ExitStatus, 0);
    const TDecoded Decoded = Decode(Run.File("v.gif"));
    ASSERT_GE(Decoded.Pictures.size(), 13u);
    EXPECT_EQ(Decoded.Pictures.rbegin()->first, 3 * std::int64_t(Decoded.Pictures.size() - 1));
    const TFrame Shown = ReadPng(Run.File("a.png"));
    const TFrame& Last = Decoded.Pictures.rbegin()->second;
    ASSERT_EQ(Last.size(), Shown.size());
    int Far = 0;
    for (std::size_t At = 0; At < Shown.size(); ++At)
        Far += std::abs((Last[At] >> 11) - (Shown[At] >> 11)) * 8 + std::abs((Last[At] >> 5 & 63) - (Shown[At] >> 5 & 63)) * 4
                + std::abs((Last[At] & 31) - (Shown[At] & 31)) * 8 > 64;
    EXPECT_EQ(Far, 0) << "pixels far from the colour shown";
}

// In modelled time an encoder slower than the display makes the device wait for it, as in a pause: the run ends, with
// every refresh from the first on, and says why it took longer than real time.
TEST(VideoRecording, ASlowEncoderHoldsTheDeviceBack)
{
    TSimRun Run;
    const TChildResult Result = Run.Run({"--headless", "--frames", "1", "--video", "v.mkv", "--video-scale", "6"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(Result.Err, "brimlet-sim: the run is slower than real time: the video encoder cannot keep up, and the "
                          "device waits for it\n");
    const TDecoded Decoded = Decode(Run.File("v.mkv"));
    ASSERT_GE(Decoded.Pictures.size(), 2u);
    EXPECT_EQ(Decoded.Scale, 6);
    EXPECT_EQ(Decoded.Pictures.begin()->first, 0);
    EXPECT_EQ(Decoded.Pictures.rbegin()->first, std::int64_t(Decoded.Pictures.size()) - 1) << "a refresh missing";
}

// A run that ends before the display's first whole refresh leaves a video that plays all the same: refresh 0, black.
TEST(VideoRecording, ARunWithoutARefreshHoldsOneBlackPicture)
{
    const std::vector<std::string> Runs[] = {{"--frames", "0", "--video", "z.mkv"},
                                             {"--frames", "0", "--video", "z.gif"},
                                             {"--frames", "0", "--video", "z.webm"},
                                             {"--frames", "2", "--fault", "fb0-open", "--video", "z.mkv"}};
    for (const std::vector<std::string>& Words : Runs) {
        TSimRun Run;
        const TChildResult Result = Run.Run(TLines{"--headless", "--fast"} + Words);
        EXPECT_EQ(Result.ExitStatus, 0) << Words.back() << Result.Err;
        const TDecoded Decoded = Decode(Run.File(Words.back()));
        ASSERT_EQ(Decoded.Pictures.size(), 1u) << Words.back();
        EXPECT_EQ(Decoded.Pictures.begin()->first, 0);
        const TFrame& Picture = Decoded.Pictures.begin()->second;
        EXPECT_TRUE(Picture.empty() || Picture == TFrame(ScreenWidth * ScreenHeight, 0)) << Words.back();
    }
}

// A run killed in the middle leaves an .mp4 that plays up to about its last second, and a WAV file whose header
// states all but at most about the last second of its samples.
TEST(VideoRecording, AKilledRunLeavesFilesThatPlay)
{
    TSimRun Run;
    const pid_t Pid = fork();
    if (Pid == 0) {
        if (chdir(Run.Folder().c_str()) == 0 && std::freopen("/dev/null", "w", stdout) != nullptr) {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            ExecProgram(Emulated({"./brimlet-sim", "--headless", "--fast", "--frames", "1000000", "--video", "v.mp4",
                                  "--audio-out", "a.wav"}));
        }
        _exit(127);
    }
    struct stat Status {};
    for (int Tries = 0; Tries < 3000 && (stat(Run.File("v.mp4").c_str(), &Status) != 0 || Status.st_size < 400000); ++Tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    const TDecoded Decoded = Decode(Run.File("v.mp4"));
    EXPECT_GT(Decoded.Pictures.size(), 120u);
    EXPECT_GT(Decoded.SoundFrames, 2 * 22050);
    const std::string Wave = ReadFile(Run.File("a.wav"));
    std::uint32_t Stated = 0;
    std::memcpy(&Stated, &Wave[40], 4);
    EXPECT_LE(Stated, Wave.size() - 44);
    EXPECT_GE(Stated + 88200 + 1024, Wave.size() - 44);
    EXPECT_GT(Stated, 0u);
}

// The container comes from the file's extension; another is refused before the run.
TEST(VideoRecording, UnknownExtensionIsAUsageError)
{
    TSimRun Run;
    const TChildResult Result = Run.Run({"--headless", "--video", "run.avi"});
    EXPECT_EQ(Result.ExitStatus, 2);
    EXPECT_EQ(Result.Err,
              "brimlet-sim: --video records by the file's extension, one of .mkv, .mp4, .webm, .gif, not \"run.avi\"\n");
}

} // namespace
