#include "sim/trace.h"

#include "sim/sim.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

std::FILE* TraceFile = nullptr;
bool CloseRegistered = false;
bool Recording = false;
std::vector<TSimAccess> Recorded;

// A read of a status register waits here while the same value is read again, to be written as one line.
struct TPendingRead {
    bool Present = false;
    int Bits = 0;
    std::uint32_t Address = 0;
    std::uint32_t Value = 0;
    std::uint64_t Count = 0;
};
TPendingRead Pending;

void WriteAccessLine(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value, std::uint64_t Count)
{
    const char* Kind = Bits == 16 ? (Write ? "W16" : "R16") : (Write ? "W32" : "R32");
    if (Bits == 16)
        std::fprintf(TraceFile, "%s %08X %04X", Kind, Address, Value);
    else
        std::fprintf(TraceFile, "%s %08X %08X", Kind, Address, Value);
    if (Count > 1)
        std::fprintf(TraceFile, " x%llu", static_cast<unsigned long long>(Count));
    std::fputc('\n', TraceFile);
}

void FlushPendingRead()
{
    if (!Pending.Present)
        return;
    WriteAccessLine(false, Pending.Bits, Pending.Address, Pending.Value, Pending.Count);
    Pending = TPendingRead();
}

void TraceAccess(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value, bool StatusRegister)
{
    if (Pending.Present && !Write && Pending.Address == Address && Pending.Value == Value && Pending.Bits == Bits) {
        ++Pending.Count;
        return;
    }
    FlushPendingRead();
    if (!Write && StatusRegister) {
        Pending = TPendingRead{true, Bits, Address, Value, 1};
        return;
    }
    WriteAccessLine(Write, Bits, Address, Value, 1);
}

} // namespace

void ObserveAccess(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value, bool StatusRegister)
{
    if (TraceFile == nullptr && !Recording)
        return;
    if (Recording)
        Recorded.push_back(TSimAccess{Write, Bits, Address, Value});
    if (TraceFile != nullptr)
        TraceAccess(Write, Bits, Address, Value, StatusRegister);
}

void TraceEvent(const char* Format, ...)
{
    if (TraceFile == nullptr)
        return;
    FlushPendingRead();
    std::va_list Arguments;
    va_start(Arguments, Format);
    std::vfprintf(TraceFile, Format, Arguments);
    va_end(Arguments);
    std::fputc('\n', TraceFile);
}

bool SimOpenTrace(const std::string& File)
{
    SimCloseTrace();
    TraceFile = std::fopen(File.c_str(), "w");
    if (TraceFile == nullptr)
        return false;
    // A program that ends through exit() still gets its last folded read written.
    if (!CloseRegistered)
        CloseRegistered = std::atexit(SimCloseTrace) == 0;
    return true;
}

void SimCloseTrace()
{
    if (TraceFile == nullptr)
        return;
    FlushPendingRead();
    std::fclose(TraceFile);
    TraceFile = nullptr;
}

void SimStartRecording()
{
    Recorded.clear();
    Recording = true;
}

std::vector<TSimAccess> SimTakeRecording()
{
    return std::exchange(Recorded, {});
}

void ResetTrace()
{
    SimCloseTrace();
    Pending = TPendingRead();
    Recording = false;
    Recorded.clear();
}
