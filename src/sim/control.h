#pragma once
// The launcher's control of the simulated device. The program never includes this: it sees the device only through
// the platform seam. Everything here runs on the program's own thread; each function lives in the module whose
// state it controls, which each group names.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// control.cpp: a fresh device, to be made before any other use: RAM cleared, registers at their power-on values (every
// input released), faults cleared, no trace, no audio capture, no timeline, no snapshot waiting, modelled time. The
// flip observer, the subscribers and the window choice stay.
void SimReset();
// model/physical_memory.cpp: the simulated RAM made now rather than at its first use, so that a host that refuses it is
// told before the program starts; false with Error set to the host's reason.
bool SimReserveRam(std::string& Error);

// model/device_time.cpp: device time, from 0 again: modelled on the host's clock (the default), or fast: counted by the
// program's accesses, with no delay, the same in every run.
void SimSetFastMode(bool Fast);
bool SimFastMode();
// Fast-forward: while on, device time is counted as in fast time, so that the waits return at once, and the
// speaker's sound is not played on the host (its subscribers still take it); off, modelled time carries on from where
// device time stood. Setting the fast mode turns it off.
void SimFastForward(bool On);
bool SimFastForwarding();
// Runs Wait, a wait of the launcher's while the device stands still: however long it takes is no device time, as in
// a pause.
void SimStandStill(const std::function<void()>& Wait);

// seam/faults.cpp: faults injected at the seam, by name ("mem-open", "fb-map", "sdl-video", ...); false for an unknown
// name. The list gives each name and what it does, in a stable order.
bool SimInjectFault(const std::string& Name);
std::vector<std::pair<std::string, std::string>> SimFaultList();

// model/trace.cpp: the trace to the file open for writing at Handle, taken over; closing writes a pending folded read.
// Lines reach the file within about a second of host time; flushing writes them now, for a device that stands still.
// Failure: why a write to the file or its closing failed since it was opened, so that the trace is incomplete; "" while
// none did.
void SimOpenTrace(int Handle);
void SimFlushTrace();
void SimCloseTrace();
std::string SimTraceFailure();

// model/input_panel.cpp: the input panel.
enum class TSimInput {
    B1,
    B2,
    B3,
    B4,
    B5,
    B6,
    B7,
    B8,
    B9,
    B10,
    Up,
    UpLeft,
    Left,
    DownLeft,
    Down,
    DownRight,
    Right,
    UpRight
};
void SimSetInput(TSimInput Input, bool Held);
// Whether the input is held now, by the keyboard or a script.
bool SimInputHeld(TSimInput Input);
// "b1" to "b10", "up", "down", "left", "right", "upleft", "upright", "downleft", "downright".
bool SimParseInput(const std::string& Name, TSimInput& Input);
std::string SimInputName(TSimInput Input);

// model/display.cpp: the display. The observer is called right after each latch with the new flip count; one at a time,
// an empty one removes it.
void SimOnFlip(std::function<void(std::uint32_t FlipCount)> Observer);
// Every refresh as it was scanned, with its index counted from device time 0 (refresh I begins at I / 60 s), handed
// to each subscriber in the order they subscribed, from the refresh under way when it subscribed. While anyone
// subscribes every refresh is scanned; a refresh that went by while nothing happened on the device is handed on as
// the next one scanned. A subscriber may subscribe or leave while it runs; a reset keeps the subscribers.
using TRefreshSubscriber = std::function<void(std::int64_t Index, const std::vector<std::uint16_t>& Picture)>;
int SimSubscribeRefreshes(TRefreshSubscriber Subscriber);
void SimUnsubscribeRefreshes(int Subscription);
// capture/snapshot.cpp: a snapshot, the first whole refresh that begins from now on, written to File as a PNG. Done is
// called once it is written, with "" or why it could not be; finishing lets device time run on until every snapshot
// asked for is done. Created: a descriptor of File that the caller created for it, taken over, or -1 to create File as
// named.
void SimSnapshotNextRefresh(const std::string& File, std::function<void(const std::string& Error)> Done,
                            int Created = -1);
void SimFinishSnapshots();

// capture/audio_out.cpp: a 16-bit stereo WAV of what the listener hears, made in device time, to the file open for
// writing at Handle, taken over; its header is kept true about once a second. Failure: why the capture is incomplete (a
// write of it failed, its closing included, or it reached the most a WAV file holds); "" while it is not.
void SimOpenAudioOut(int Handle);
void SimCloseAudioOut();
std::string SimAudioOutFailure();
// model/speaker.cpp: what the listener hears, as the device makes it: Frames frames of interleaved 16-bit stereo at
// Rate, the first of them frame Position counted from device time 0, handed to each subscriber in the order they
// subscribed.
using TSoundSubscriber =
    std::function<void(const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate, std::uint64_t Position)>;
int SimSubscribeSound(TSoundSubscriber Subscriber);
void SimUnsubscribeSound(int Subscription);

// model/device_events.cpp: what happens on the device, as it happens, in device time (nanoseconds from the reset),
// handed to each subscriber in the order they subscribed. While nobody subscribes, each place that would publish
// costs one test.
enum class TDeviceEventKind {
    Blit,     // a blitter operation, busy for Length: Address its destination, Value its size register (width in bits
              // 0-15, height in 16-31), Operation its operation register (raster operation, colour key)
    Refresh,  // the visible part of refresh Number
    Blanking, // the blanking interval that ends refresh Number
    Flip,     // flip Number asked for at Start, of the page at Address, shown from the refresh that begins Length later
    Wait,     // the program polled the register at Address Number times until it showed the state awaited
    Mixer,    // the mixer level written as Value (left level in bits 0-7, right in 8-15)
    Input,    // input Number (a TSimInput) held (Value 1) or released (Value 0)
    Stray,    // a stray access: Text is its trace line
};
struct TDeviceEvent {
    TDeviceEventKind Kind;
    std::int64_t Start = 0;
    std::int64_t Length = 0; // 0 for a moment
    std::int64_t Number = 0;
    std::uint32_t Address = 0;
    std::uint32_t Value = 0;
    std::uint32_t Operation = 0;
    const char* Text = "";
};
using TDeviceEventSubscriber = std::function<void(const TDeviceEvent& Event)>;
int SimSubscribeDeviceEvents(TDeviceEventSubscriber Subscriber);
void SimUnsubscribeDeviceEvents(int Subscription);
// capture/timeline.cpp: the device's events as a timeline in the Trace Event format (the JSON array form, written as
// the events come, its closing bracket written at the close) to the file open for writing at Handle, taken over.
// Failure: why a write to the file or its closing failed since it was opened; "" while none did.
void SimOpenTimeline(int Handle);
void SimCloseTimeline();
std::string SimTimelineFailure();

// model/stray.cpp: stray accesses (an undefined offset or width, a write to a read-only register, a write to the
// blitter while it runs) since the reset. The observer is called with each as its trace line ("UNDEFINED W16 C0000100
// 1234").
std::uint64_t SimStrayCount();
void SimOnStray(std::function<void(const std::string& Access)> Observer);

// seam/sdl_hooks.cpp: windowed presentation. The program's mode request, which asks for the full screen, is answered by
// Open, which opens the window and gives the program a screen surface at the depth it asked for; the program's images
// (SDL_DisplayFormat) take that surface's format. Empty (as at first): requests go to SDL as they are.
struct SDL_Surface;
void SimSetWindowed(std::function<SDL_Surface*(int BitsPerPixel)> Open);
// SDL's own SDL_SetVideoMode, past the windowed answer: for the window's modes.
SDL_Surface* SimSetVideoMode(int Width, int Height, int BitsPerPixel, std::uint32_t Flags);

// model/device_time.cpp: pausing. While paused, the program's next device access calls the observer over and over
// instead of going on, until the device is no longer paused, so that the launcher keeps its window alive meanwhile. The
// pause is no device time. A reset unpauses; the observer stays. Without an observer the device never stops.
void SimPause(bool Paused);
bool SimPaused();
void SimOnPaused(std::function<void()> Observer);
