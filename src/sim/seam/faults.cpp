#include "sim/seam/faults.h"

#include "sim/control.h"
#include "sim/model/trace.h"

#include <array>
#include <cstddef>

namespace {

struct TFaultEntry {
    TFault Fault;
    const char* Name;
    const char* Description;
};

// Every fault, in the order that SimFaultList gives them.
constexpr TFaultEntry FaultTable[] = {
    {TFault::MemOpen, "mem-open", "opening /dev/mem fails with EACCES"},
    {TFault::MemMapRegs, "mem-map-regs", "mapping the register block through /dev/mem fails with ENOMEM"},
    {TFault::MemMapBlitter, "mem-map-blitter", "mapping the blitter window through /dev/mem fails with ENOMEM"},
    {TFault::MemMapWindow, "mem-map-window",
     "mapping RAM through /dev/mem (such as the 8 MiB window at 0x02000000) fails with ENOMEM"},
    {TFault::MemClose, "mem-close", "closing /dev/mem fails with EIO (the descriptor is released all the same)"},
    {TFault::Fb0Open, "fb0-open", "opening /dev/fb/0 fails with ENOENT"},
    {TFault::Fb1Open, "fb1-open", "opening /dev/fb/1 fails with ENOENT"},
    {TFault::FbInfo, "fb-info", "the FBIOGET_FSCREENINFO query of either framebuffer fails with EIO"},
    {TFault::FbMap, "fb-map", "mapping the video memory of either framebuffer fails with ENOMEM"},
    {TFault::MixerOpen, "mixer-open", "opening /dev/mixer fails with ENOENT"},
    {TFault::SdlVideo, "sdl-video", "SDL_Init fails as without a video device (\"No available video device\")"},
    {TFault::SdlAudio, "sdl-audio", "Mix_OpenAudio fails as without an audio device (\"No available audio device\")"},
};
static_assert(sizeof(FaultTable) / sizeof(FaultTable[0]) == static_cast<std::size_t>(TFault::Count),
              "every fault is listed");

std::array<bool, static_cast<std::size_t>(TFault::Count)> Active{};

const TFaultEntry* FindFault(const std::string& Name)
{
    for (const TFaultEntry& Entry : FaultTable)
        if (Name == Entry.Name)
            return &Entry;
    return nullptr;
}

} // namespace

bool FaultActive(TFault Fault)
{
    return Active[static_cast<std::size_t>(Fault)];
}

void TraceFault(TFault Fault)
{
    for (const TFaultEntry& Entry : FaultTable)
        if (Entry.Fault == Fault)
            TraceEvent("FAULT %s", Entry.Name);
}

void ResetFaults()
{
    Active.fill(false);
}

bool SimInjectFault(const std::string& Name)
{
    const TFaultEntry* Entry = FindFault(Name);
    if (Entry == nullptr)
        return false;
    Active[static_cast<std::size_t>(Entry->Fault)] = true;
    return true;
}

std::vector<std::pair<std::string, std::string>> SimFaultList()
{
    std::vector<std::pair<std::string, std::string>> List;
    for (const TFaultEntry& Entry : FaultTable)
        List.emplace_back(Entry.Name, Entry.Description);
    return List;
}
