#pragma once
// A block of device registers as the simulated device holds them: plain storage for the registers the map defines,
// and a handler for each register whose access does more than store. Every access by the program costs device time
// and is traced; an access the device would not take as meant is a stray access, classified here alone: an access
// of another width than the bank's bus, an offset the map does not define, a write to a read-only register, a write
// while the bank is busy.

#include "sim/model/device_events.h"
#include "sim/model/device_time.h"
#include "sim/model/stray.h"
#include "sim/model/trace.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

template <typename TWord>
struct TRegisterHandler {
    std::uint32_t Offset;
    TWord (*Read)(std::uint32_t Offset);   // the value a read sees instead of the stored one, or null
    void (*Written)(std::uint32_t Offset); // the effect of a write, after the value is stored, or null
    bool ReadOnly;                         // the program's writes never reach the storage
    TWord WaitMask, WaitValue;             // a read whose masked bits equal WaitValue shows a state still awaited; a
                                           // register with a mask is one the program polls
};

template <typename TWord, std::uint32_t Bytes>
struct TRegisterBank {
    TWord Storage[Bytes / sizeof(TWord)];
    std::uint32_t Phys;
    std::vector<bool> Defined;
    std::vector<TRegisterHandler<TWord>> Handlers;
    bool (*Busy)(); // while it says so, every write is a stray access; null for never
};

// Every register 0, none defined, at physical address Phys.
template <typename TWord, std::uint32_t Bytes>
void ClearBank(TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Phys)
{
    for (TWord& Word : Bank.Storage)
        Word = 0;
    Bank.Phys = Phys;
    Bank.Defined.assign(Bytes / sizeof(TWord), false);
    Bank.Handlers.clear();
    Bank.Busy = nullptr;
}

template <typename TWord, std::uint32_t Bytes>
void Define(TRegisterBank<TWord, Bytes>& Bank, std::initializer_list<std::uint32_t> Offsets)
{
    for (std::uint32_t Offset : Offsets)
        Bank.Defined[Offset / sizeof(TWord)] = true;
}

template <typename TWord, std::uint32_t Bytes>
void Handle(TRegisterBank<TWord, Bytes>& Bank, const TRegisterHandler<TWord>& Handler)
{
    Define(Bank, {Handler.Offset});
    Bank.Handlers.push_back(Handler);
}

template <typename TWord, std::uint32_t Bytes>
const TRegisterHandler<TWord>* FindHandler(const TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Offset)
{
    for (const TRegisterHandler<TWord>& Handler : Bank.Handlers)
        if (Handler.Offset == Offset)
            return &Handler;
    return nullptr;
}

// Whether the map defines a register at Offset, aligned to its width.
template <typename TWord, std::uint32_t Bytes>
bool IsDefined(const TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Offset)
{
    return Offset % sizeof(TWord) == 0 && Bank.Defined[Offset / sizeof(TWord)];
}

// An access of another width than the bank's registers, or at an offset the map does not define, reads 0 and takes
// no write.
template <typename TAccess, typename TWord, std::uint32_t Bytes>
TAccess LoadRegister(TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Offset)
{
    TickAccess();
    constexpr int Bits = sizeof(TAccess) * 8;
    if (sizeof(TAccess) != sizeof(TWord) || !IsDefined(Bank, Offset)) {
        ReportStray(TStray::Undefined, false, Bits, Bank.Phys + Offset, 0);
        return 0;
    }
    const TRegisterHandler<TWord>* Handler = FindHandler(Bank, Offset);
    const TWord Value =
        Handler != nullptr && Handler->Read != nullptr ? Handler->Read(Offset) : Bank.Storage[Offset / sizeof(TWord)];
    // A read that shows the awaited state ends a wait, so it never folds with the reads of the next one.
    const bool Waiting = Handler == nullptr || (Value & Handler->WaitMask) == Handler->WaitValue;
    if (DeviceEventsWatched() && Handler != nullptr && Handler->WaitMask != 0)
        NotePoll(Bank.Phys + Offset, Waiting, AccessMoment());
    TraceAccess(false, Bits, Bank.Phys + Offset, Value, Waiting);
    return static_cast<TAccess>(Value);
}

template <typename TAccess, typename TWord, std::uint32_t Bytes>
void StoreRegister(TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Offset, TAccess Value)
{
    TickAccess();
    constexpr int Bits = sizeof(TAccess) * 8;
    const bool Defined = sizeof(TAccess) == sizeof(TWord) && IsDefined(Bank, Offset);
    const TRegisterHandler<TWord>* Handler = Defined ? FindHandler(Bank, Offset) : nullptr;
    if (!Defined || (Handler != nullptr && Handler->ReadOnly)) {
        ReportStray(Defined ? TStray::ReadOnly : TStray::Undefined, true, Bits, Bank.Phys + Offset, Value);
        return;
    }
    if (Bank.Busy != nullptr && Bank.Busy())
        ReportStray(TStray::Busy, true, Bits, Bank.Phys + Offset, Value);
    else
        TraceAccess(true, Bits, Bank.Phys + Offset, Value, false);
    Bank.Storage[Offset / sizeof(TWord)] = static_cast<TWord>(Value);
    if (Handler != nullptr && Handler->Written != nullptr)
        Handler->Written(Offset);
}
