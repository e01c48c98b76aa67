#include "sim/trace.h"

#include "sim/control.h"
#include "sim/probes.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// Lines go to the file when it is open, else to memory while the memory sink is on.
std::FILE* TraceFile = nullptr;
bool FileFailed = false;
bool ToMemory = false;
std::vector<std::string> Lines;
bool CloseRegistered = false;

// A read waits here while the same value is read again, to be written as one line.
struct TPendingRead {
    bool Present = false;
    int Bits = 0;
    std::uint32_t Address = 0;
    std::uint32_t Value = 0;
    std::uint64_t Count = 0;
};
TPendingRead Pending;

bool On()
{
    return TraceFile != nullptr || ToMemory;
}

void Emit(const char* Line)
{
    if (TraceFile != nullptr)
        std::fprintf(TraceFile, "%s\n", Line);
    else
        Lines.emplace_back(Line);
}

void EmitAccess(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value, std::uint64_t Count)
{
    char Line[64];
    int Length = std::snprintf(Line, sizeof Line, Bits == 16 ? "%c16 %08X %04X" : "%c32 %08X %08X", Write ? 'W' : 'R',
                               Address, Value);
    if (Count > 1)
        std::snprintf(Line + Length, sizeof Line - Length, " x%llu", static_cast<unsigned long long>(Count));
    Emit(Line);
}

void FlushPendingRead()
{
    if (!Pending.Present)
        return;
    EmitAccess(false, Pending.Bits, Pending.Address, Pending.Value, Pending.Count);
    Pending = TPendingRead();
}

} // namespace

void TraceAccess(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value, bool Foldable)
{
    if (!On())
        return;
    if (Pending.Present && !Write && Pending.Address == Address && Pending.Value == Value && Pending.Bits == Bits) {
        ++Pending.Count;
        return;
    }
    FlushPendingRead();
    if (Write || !Foldable)
        EmitAccess(Write, Bits, Address, Value, 1);
    else
        Pending = TPendingRead{true, Bits, Address, Value, 1};
}

void TraceEvent(const char* Format, ...)
{
    if (!On())
        return;
    FlushPendingRead();
    char Line[512];
    std::va_list Arguments;
    va_start(Arguments, Format);
    std::vsnprintf(Line, sizeof Line, Format, Arguments);
    va_end(Arguments);
    Emit(Line);
}

bool SimOpenTrace(const std::string& File)
{
    ResetTrace();
    FileFailed = false;
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
    FlushPendingRead();
    // fclose writes what the buffer holds, so its failure, like an earlier write's, leaves the trace incomplete.
    if (TraceFile != nullptr) {
        const bool Failed = SimTraceFailed();
        FileFailed = std::fclose(TraceFile) != 0 || Failed;
    }
    TraceFile = nullptr;
    ToMemory = false;
}

bool SimTraceFailed()
{
    return FileFailed || (TraceFile != nullptr && std::ferror(TraceFile) != 0);
}

void SimTraceToMemory()
{
    ResetTrace();
    ToMemory = true;
}

std::vector<std::string> SimTakeTrace()
{
    FlushPendingRead();
    return std::exchange(Lines, {});
}

void ResetTrace()
{
    SimCloseTrace();
    Lines.clear();
}
