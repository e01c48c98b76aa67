#include "sim/launcher/video_recording.h"

#include "sim/capture/video_file.h"
#include "sim/control.h"
#include "sim/launcher/messages.h"

namespace {

std::string Recording;
bool FailureSaid = false;

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
    if (!OpenVideoFile(File, Scale, Error)) {
        Say("cannot write the video " + File + ": " + Error);
        return false;
    }
    Recording = File;
    FailureSaid = false;
    SimOnRefresh(VideoFilePicture);
    SimOnSound(VideoFileSound);
    return true;
}

void CheckVideoRecording()
{
    if (!Recording.empty())
        SayFailure(VideoFileFailure());
}

void StopVideoRecording()
{
    if (Recording.empty())
        return;
    SimOnRefresh(nullptr);
    SimOnSound(nullptr);
    std::string Error;
    if (!CloseVideoFile(Error))
        SayFailure(Error);
    Recording.clear();
}
