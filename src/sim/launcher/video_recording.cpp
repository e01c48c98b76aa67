#include "sim/launcher/video_recording.h"

#include "sim/capture/video_file.h"
#include "sim/control.h"
#include "sim/launcher/messages.h"

#include <dlfcn.h>
#include <filesystem>

namespace {

const TVideoFileCalls* Calls = nullptr;
std::string Recording;
bool FailureSaid = false;

// The recording module: beside the executable, where an installed copy keeps it, else where the build made it.
const TVideoFileCalls* LoadModule(std::string& Error)
{
    if (Calls != nullptr)
        return Calls;
    std::error_code Ignored;
    const std::filesystem::path Beside =
        std::filesystem::read_symlink("/proc/self/exe", Ignored).parent_path() / BRIMLET_VIDEO_MODULE_NAME;
    Error = "this build of brimlet-sim has no video recording";
    for (const std::string& Path : {Beside.string(), std::string(BRIMLET_VIDEO_MODULE)}) {
        if (Path.empty() || !std::filesystem::exists(Path, Ignored))
            continue;
        void* Module = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* Entry = Module != nullptr ? dlsym(Module, "BrimletVideoFileCalls") : nullptr;
        if (Entry == nullptr) {
            const char* Why = dlerror();
            Error = Why != nullptr ? Why : Path + " holds no video recording";
            continue;
        }
        Calls = reinterpret_cast<decltype(&BrimletVideoFileCalls)>(Entry)();
        return Calls;
    }
    return nullptr;
}

void SayFailure(const std::string& Why)
{
    if (FailureSaid || Why.empty())
        return;
    FailureSaid = true;
    ReportOutputFailure("the video " + Recording + " could not be written completely: " + Why);
}

} // namespace

bool StartVideoRecording(const std::string& File, int Scale)
{
    std::string Error;
    if (LoadModule(Error) == nullptr || !Calls->Open(File, Scale, Error)) {
        Say("cannot write the video " + File + ": " + Error);
        return false;
    }
    Recording = File;
    FailureSaid = false;
    SimOnRefresh(Calls->Picture);
    SimOnSound(Calls->Sound);
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
    SimOnRefresh(nullptr);
    SimOnSound(nullptr);
    std::string Error;
    if (!Calls->Close(Error))
        SayFailure(Error);
    Recording.clear();
}
