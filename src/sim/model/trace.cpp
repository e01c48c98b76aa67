#include "sim/model/trace.h"

#include "runtime/write_all.h"
#include "sim/control.h"
#include "sim/model/device_time.h"
#include "sim/probes.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

// Lines go to the file when it is open, else to memory while the memory sink is on. The file's lines gather in a
// buffer of the trace's own, written with write(2), so that a write that a signal interrupts goes on where a stdio
// stream would take it for a failure. The buffer is written when it is full or its oldest line is a second old, so
// that a killed run loses at most about its last second.
constexpr std::size_t FlushBytes = 65536;
constexpr std::int64_t DefaultFlushAge = 1000000000;
int TraceFile = -1;
std::string Unwritten;
// The host's time of the oldest line in the buffer, in nanoseconds, and the age at which it is written.
std::int64_t Oldest = 0;
std::int64_t FlushAge = DefaultFlushAge;
// Why a write to the file failed; "" while none did.
std::string Failure;
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
    return TraceFile >= 0 || ToMemory;
}

// After a failed write nothing more is written, so that the trace never has a gap inside it.
void WriteUnwritten()
{
    if (Failure.empty() && !WriteWhole(TraceFile, Unwritten.data(), Unwritten.size()))
        Failure = std::strerror(errno);
    Unwritten.clear();
}

void Emit(const char* Line)
{
    if (TraceFile < 0) {
        Lines.emplace_back(Line);
        return;
    }
    // The coarse clock is read without a system call, cheaply enough for every line.
    const std::int64_t Now = HostNow(true);
    if (Unwritten.empty())
        Oldest = Now;
    Unwritten.append(Line).push_back('\n');
    if (Unwritten.size() >= FlushBytes || Now - Oldest >= FlushAge)
        WriteUnwritten();
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

void SimOpenTrace(int Handle)
{
    ResetTrace();
    Failure.clear();
    TraceFile = Handle;
    // A program that ends through exit() still gets its last lines written.
    if (!CloseRegistered)
        CloseRegistered = std::atexit(SimCloseTrace) == 0;
}

void SimFlushTrace()
{
    if (TraceFile >= 0 && !Unwritten.empty())
        WriteUnwritten();
}

void SimCloseTrace()
{
    FlushPendingRead();
    if (TraceFile >= 0) {
        WriteUnwritten();
        // Linux releases the descriptor even when close is interrupted.
        if (close(TraceFile) != 0 && errno != EINTR && Failure.empty())
            Failure = std::strerror(errno);
    }
    TraceFile = -1;
    ToMemory = false;
}

std::string SimTraceFailure()
{
    return Failure;
}

void SimSetTraceFlushAge(std::int64_t Nanoseconds)
{
    FlushAge = Nanoseconds;
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
    FlushAge = DefaultFlushAge;
}
