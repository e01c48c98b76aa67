#include "sim/capture/snapshot.h"

#include "sim/capture/output_lock.h"

#include "sim/control.h"
#include "sim/model/display.h"
#include "sim/model/rgb565.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct TSnapshotWish {
    std::string File;
    int Created;        // File's descriptor when it was created for the snapshot, else -1
    std::int64_t After; // the refresh taken is the first that begins after this moment
    std::function<void(const std::string& Error)> Done;
};

std::vector<TSnapshotWish> Wishes;
// The display's refreshes are subscribed to while a snapshot waits, and scanned only then.
int Subscription = 0;

// File opened to be written, made when missing, under the lock that a run holds on each file it writes; emptied only
// once the lock is held, so that another run's file is never touched. -1 with Reason set when it cannot be.
int OpenLocked(const std::string& File, std::string& Reason)
{
    const int Handle = open(File.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat Status;
    if (Handle < 0 || fstat(Handle, &Status) != 0)
        Reason = std::strerror(errno);
    else if (!LockOutput(Handle, Status))
        Reason = errno == EWOULDBLOCK ? AnotherRunWritesIt : std::strerror(errno);
    else if (S_ISREG(Status.st_mode) && ftruncate(Handle, 0) != 0)
        Reason = std::strerror(errno);
    else
        return Handle;
    if (Handle >= 0)
        close(Handle);
    return -1;
}

// Refresh Index: the snapshots waiting for it are written.
void TakeRefresh(std::int64_t Index, const std::vector<std::uint16_t>& Picture)
{
    const std::int64_t Begun = RefreshStart(Index);
    for (auto Wish = Wishes.begin(); Wish != Wishes.end();) {
        if (Begun <= Wish->After) {
            ++Wish;
            continue;
        }
        std::string Error;
        WritePng(Wish->File, Wish->Created, Picture, &Error);
        const auto Done = std::move(Wish->Done);
        Wish = Wishes.erase(Wish);
        if (Done)
            Done(Error);
    }
    if (Wishes.empty() && Subscription != 0)
        SimUnsubscribeRefreshes(std::exchange(Subscription, 0));
}

} // namespace

bool WritePng(const std::string& File, int Created, const std::vector<std::uint16_t>& Page, std::string* Error)
{
    std::vector<std::uint8_t> Rgb;
    Rgb.reserve(Page.size() * 3);
    for (std::uint16_t Pixel : Page) {
        Rgb.push_back(Red8(Pixel));
        Rgb.push_back(Green8(Pixel));
        Rgb.push_back(Blue8(Pixel));
    }
    png_image Image;
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
    Image.width = DisplayWidth;
    Image.height = DisplayHeight;
    Image.format = PNG_FORMAT_RGB;
    std::string Reason;
    const int Handle = Created >= 0 ? Created : OpenLocked(File, Reason);
    if (Handle >= 0) {
        // The stream's buffer reaches the file at the flush, so the flush and the closing are writes too.
        if (std::FILE* Out = fdopen(Handle, "wb")) {
            if (png_image_write_to_stdio(&Image, Out, 0, Rgb.data(), DisplayWidth * 3, nullptr) == 0)
                Reason = Image.message;
            else if (std::fflush(Out) != 0 || std::ferror(Out) != 0)
                Reason = std::strerror(errno);
            if (std::fclose(Out) != 0 && Reason.empty())
                Reason = std::strerror(errno);
            if (Reason.empty())
                return true;
        } else {
            Reason = std::strerror(errno);
            close(Handle);
        }
        unlink(File.c_str());
    }
    if (Error != nullptr)
        *Error = "cannot write " + File + ": " + Reason;
    png_image_free(&Image);
    return false;
}

void SimSnapshotNextRefresh(const std::string& File, std::function<void(const std::string& Error)> Done, int Created)
{
    const std::int64_t Now = DeviceNow();
    if (Subscription == 0)
        Subscription = SimSubscribeRefreshes(TakeRefresh);
    Wishes.push_back({File, Created, Now, std::move(Done)});
}

void SimFinishSnapshots()
{
    while (!Wishes.empty()) {
        WaitUntil(RefreshStart(RefreshIndex(Wishes.front().After) + 2));
        ScanTo(DeviceNow());
    }
}

void ResetSnapshots()
{
    for (const TSnapshotWish& Wish : Wishes)
        if (Wish.Created >= 0)
            close(Wish.Created);
    Wishes.clear();
    if (Subscription != 0)
        SimUnsubscribeRefreshes(std::exchange(Subscription, 0));
}
