#include "sim/launcher/output_list.h"

#include "sim/control.h"
#include "sim/launcher/outputs.h"
#include "sim/launcher/recorder.h"
#include "sim/launcher/video_recording.h"

#include <iterator>
#include <unistd.h>

namespace {

struct TRunOutput {
    // Opens the output when the options name it; false after saying why it cannot.
    bool (*Start)(const TLauncherOptions& Options, const std::vector<std::string>& OptionWords);
    void (*Stop)();
};

// The video comes first, since it is the one that can still fail: the others are emptied only once it is under way.
const TRunOutput Outputs[] = {
    {[](const TLauncherOptions& Options, const std::vector<std::string>&) {
         return Options.VideoFile.empty() || StartVideoRecording(Options.VideoFile, Options.VideoScale);
     },
     StopVideoRecording},
    {[](const TLauncherOptions& Options, const std::vector<std::string>&) {
         if (!Options.TraceFile.empty())
             SimOpenTrace(TakeOutput(TOutput::Trace));
         return true;
     },
     SimCloseTrace},
    {[](const TLauncherOptions& Options, const std::vector<std::string>&) {
         if (!Options.TimelineFile.empty())
             SimOpenTimeline(TakeOutput(TOutput::Timeline));
         return true;
     },
     SimCloseTimeline},
    {[](const TLauncherOptions& Options, const std::vector<std::string>&) {
         if (!Options.AudioOutFile.empty())
             SimOpenAudioOut(TakeOutput(TOutput::AudioOut));
         return true;
     },
     SimCloseAudioOut},
    {[](const TLauncherOptions& Options, const std::vector<std::string>& OptionWords) {
         if (!Options.RecordFile.empty())
             StartRecording(Options.RecordFile, TakeOutput(TOutput::Record), OptionWords, Options.ProgramArguments);
         return true;
     },
     StopRecording},
};

} // namespace

bool StartOutputs(const TLauncherOptions& Options, const std::vector<std::string>& OptionWords)
{
    for (const TRunOutput& Output : Outputs)
        if (!Output.Start(Options, OptionWords)) {
            StopOutputs();
            AbandonOutputs();
            return false;
        }
    return true;
}

void StopOutputs()
{
    for (auto Output = std::rbegin(Outputs); Output != std::rend(Outputs); ++Output)
        Output->Stop();
    ReleaseOutputs();
}

void EndRunNow(int Status)
{
    StopOutputs();
    _exit(Status);
}
