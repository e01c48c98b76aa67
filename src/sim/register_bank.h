#pragma once
// A block of device registers as the simulated device holds them: plain storage, and a handler for each register
// whose access does more than store. Every access by the program is traced.

#include "sim/trace.h"

#include <cstdint>
#include <vector>

template <typename TWord>
struct TRegisterHandler {
    std::uint32_t Offset;
    TWord (*Read)(std::uint32_t Offset);   // the value a read sees instead of the stored one, or null
    void (*Written)(std::uint32_t Offset); // the effect of a write, after the value is stored, or null
    bool ReadOnly;                         // the program's writes never reach the storage
};

template <typename TWord, std::uint32_t Bytes>
struct TRegisterBank {
    // Page-aligned, because a mapping of the block is the host address of its storage.
    alignas(4096) TWord Storage[Bytes / sizeof(TWord)];
    std::uint32_t Phys;
    std::vector<TRegisterHandler<TWord>> Handlers;
};

// Every register 0 and plain storage, at physical address Phys.
template <typename TWord, std::uint32_t Bytes>
void ClearBank(TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Phys)
{
    for (TWord& Word : Bank.Storage)
        Word = 0;
    Bank.Phys = Phys;
    Bank.Handlers.clear();
}

template <typename TWord, std::uint32_t Bytes>
const TRegisterHandler<TWord>* FindHandler(const TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Offset)
{
    for (const TRegisterHandler<TWord>& Handler : Bank.Handlers)
        if (Handler.Offset == Offset)
            return &Handler;
    return nullptr;
}

template <typename TWord, std::uint32_t Bytes>
TWord LoadRegister(TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Offset)
{
    const TRegisterHandler<TWord>* Handler = FindHandler(Bank, Offset);
    const TWord Value =
        Handler != nullptr && Handler->Read != nullptr ? Handler->Read(Offset) : Bank.Storage[Offset / sizeof(TWord)];
    TraceAccess(false, sizeof(TWord) * 8, Bank.Phys + Offset, Value);
    return Value;
}

template <typename TWord, std::uint32_t Bytes>
void StoreRegister(TRegisterBank<TWord, Bytes>& Bank, std::uint32_t Offset, TWord Value)
{
    TraceAccess(true, sizeof(TWord) * 8, Bank.Phys + Offset, Value);
    const TRegisterHandler<TWord>* Handler = FindHandler(Bank, Offset);
    if (Handler != nullptr && Handler->ReadOnly)
        return;
    Bank.Storage[Offset / sizeof(TWord)] = Value;
    if (Handler != nullptr && Handler->Written != nullptr)
        Handler->Written(Offset);
}
