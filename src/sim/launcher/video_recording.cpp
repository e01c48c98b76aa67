#include "sim/launcher/video_recording.h"

#include "sim/capture/video_file.h"
#include "sim/control.h"
#include "sim/launcher/installed_folders.h"
#include "sim/launcher/interrupt.h"
#include "sim/launcher/messages.h"

#include <chrono>
#include <dlfcn.h>
#include <filesystem>

namespace {

// How long the device waits for room in the encoder's queue before it looks for an interrupt again.
constexpr int WaitMilliseconds = 100;
// The device's waits for the encoder that make a run noticeably slower than real time; the queue absorbs the
// start-up's burst of refreshes with shorter ones.
constexpr std::chrono::milliseconds NoticedWait(250);

const TVideoFileCalls* Calls = nullptr;
std::string Recording;
bool FailureSaid = false;
bool SlowSaid = false;
std::chrono::steady_clock::duration Waited{};
int RefreshSubscription = 0, SoundSubscription = 0;

// The recording module: in the installed library folder, or beside the executable in a build folder.
const TVideoFileCalls* LoadModule(std::string& Error)
{
    if (Calls != nullptr)
        return Calls;
    Error = "this build of brimlet-sim has no video recording";
    const std::string Path =
        VideoModuleFolder(ExecutableFolder(), BRIMLET_VIDEO_MODULE_NAME) + "/" + BRIMLET_VIDEO_MODULE_NAME;
    std::error_code Ignored;
    if (!BRIMLET_HAS_VIDEO || !std::filesystem::exists(Path, Ignored))
        return nullptr;
    void* Module = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* Entry = Module != nullptr ? dlsym(Module, "BrimletVideoFileCalls") : nullptr;
    if (Entry == nullptr) {
        const char* Why = dlerror();
        Error = Why != nullptr ? Why : Path + " holds no video recording";
        return nullptr;
    }
    Calls = reinterpret_cast<decltype(&BrimletVideoFileCalls)>(Entry)();
    return Calls;
}

void SayFailure(const std::string& Why)
{
    if (FailureSaid || Why.empty())
        return;
    FailureSaid = true;
    ReportOutputFailure("the video " + Recording + " could not be written completely: " + Why);
}

// A refresh the encoder has no room for yet: the device stands still until it has, so that the recording keeps every
// refresh and the program's timing in device time is what it would have been. An interrupt ends the wait and the
// recording there, so that the run ends at once with a whole file.
void RecordRefresh(std::int64_t Index, const std::vector<std::uint16_t>& Pixels)
{
    if (Recording.empty() || Calls->Picture(Index, Pixels, 0))
        return;
    bool Taken = false;
    const auto Start = std::chrono::steady_clock::now();
    const auto WaitForRoom = [&] {
        while (!Interrupted() && !(Taken = Calls->Picture(Index, Pixels, WaitMilliseconds))) {
        }
    };
    SimStandStill(WaitForRoom);
    // Fast-forward runs faster than real time on purpose.
    if (!SimFastForwarding())
        Waited += std::chrono::steady_clock::now() - Start;
    if (!SlowSaid && Waited >= NoticedWait && !SimFastMode()) {
        SlowSaid = true;
        Say("the run is slower than real time: the video encoder cannot keep up, and the device waits for it");
    }
    if (!Taken)
        StopVideoRecording();
}

} // namespace

bool StartVideoRecording(const std::string& File, int Scale)
{
    std::string Error;
    bool Opened = false;
    // Loading FFmpeg's libraries and opening the encoders take a while of the host's, before the device's time 0.
    SimStandStill([&] { Opened = LoadModule(Error) != nullptr && Calls->Open(File, Scale, Error); });
    if (!Opened) {
        Say("cannot write the video " + File + ": " + Error);
        return false;
    }
    Recording = File;
    FailureSaid = SlowSaid = false;
    Waited = {};
    RefreshSubscription = SimSubscribeRefreshes(RecordRefresh);
    SoundSubscription = SimSubscribeSound(Calls->Sound);
    return true;
}

void CheckVideoRecording()
{
    if (!Recording.empty())
        SayFailure(Calls->Failure());
}

void StopVideoRecording()
{
    if (Recording.empty())
        return;
    SimUnsubscribeRefreshes(RefreshSubscription);
    SimUnsubscribeSound(SoundSubscription);
    std::string Error;
    if (!Calls->Close(Error))
        SayFailure(Error);
    Recording.clear();
}
