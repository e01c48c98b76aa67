#include "sim/launcher/script_player.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "sim/launcher/messages.h"

namespace {

// One step of the script: a command, or the release that ends a tap. Frames are 64-bit so that the release after
// a tap at the last possible frame still has a frame of its own.
struct TScriptEvent {
    std::uint64_t Frame;
    int Phase; // 0 for a tap's release, 1 for the script's commands: releases come first within a frame
    std::size_t Order;
    TScriptCommand Command;
};

std::vector<TScriptEvent> Events;
std::size_t NextEvent = 0;
// The inputs that the script's hold commands hold: a tap of one of them leaves it held.
std::set<TSimInput> Held;
std::uint32_t LastFlip = 0;

void Apply(const TScriptEvent& Event)
{
    const TScriptCommand& Command = Event.Command;
    switch (Command.Action) {
    case TScriptAction::Hold:
        Held.insert(Command.Input);
        SimSetInput(Command.Input, true);
        break;
    case TScriptAction::Tap: SimSetInput(Command.Input, true); break;
    case TScriptAction::Release:
        if (Event.Phase == 1)
            Held.erase(Command.Input);
        if (Held.count(Command.Input) == 0)
            SimSetInput(Command.Input, false);
        break;
    case TScriptAction::Snapshot: WriteSnapshot(Command.File); break;
    }
}

} // namespace

void StartScript(const std::vector<TScriptCommand>& Commands)
{
    Events.clear();
    NextEvent = 0;
    Held.clear();
    LastFlip = 0;
    for (const TScriptCommand& Command : Commands) {
        Events.push_back({Command.Frame, 1, Events.size(), Command});
        if (Command.Action == TScriptAction::Tap) {
            TScriptCommand Release = Command;
            Release.Action = TScriptAction::Release;
            Events.push_back({std::uint64_t{Command.Frame} + 1, 0, Events.size(), Release});
        }
    }
    std::sort(Events.begin(), Events.end(), [](const TScriptEvent& a, const TScriptEvent& b) {
        return std::tie(a.Frame, a.Phase, a.Order) < std::tie(b.Frame, b.Phase, b.Order);
    });
}

void PlayScriptTo(std::uint32_t FlipCount)
{
    LastFlip = FlipCount;
    while (NextEvent < Events.size() && Events[NextEvent].Frame <= FlipCount)
        Apply(Events[NextEvent++]);
}

void ReportSnapshotsNotTaken()
{
    for (std::size_t Index = NextEvent; Index < Events.size(); ++Index)
        if (Events[Index].Command.Action == TScriptAction::Snapshot)
            ReportOutputFailure("snapshot " + Events[Index].Command.File + " not written: the run ended at flip "
                                + std::to_string(LastFlip) + ", before flip "
                                + std::to_string(Events[Index].Command.Frame));
}
