#include "sim/trace.h"

#include "runtime/write_all.h"
#include "sim/control.h"
#include "sim/probes.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

// Lines go to the file when it is open, else to memory while the memory sink is on. The file's lines gather in a
// buffer of the trace's own, written with write(2), so that a write that a signal interrupts goes on where a stdio
// stream would take it for a failure.
constexpr std::size_t FlushBytes = 65536;
int TraceFile = -1;
std::string Unwritten;
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
    return TraceFile >= 0 || ToMemory;
}

// After a failed write nothing more is written, so that the trace never has a gap inside it.
void WriteUnwritten()
{
    if (!FileFailed && !WriteWhole(TraceFile, Unwritten.data(), Unwritten.size()))
        FileFailed = true;
    Unwritten.clear();
}

void Emit(const char* Line)
{
    if (TraceFile < 0) {
        Lines.emplace_back(Line);
        return;
    }
    Unwritten.append(Line).push_back('\n');
    if (Unwritten.size() >= FlushBytes)
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

bool SimOpenTrace(const std::string& File)
{
    ResetTrace();
    FileFailed = false;
    // The user's name, opened as given.
    TraceFile = open(File.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (TraceFile < 0)
        return false;
    // A program that ends through exit() still gets its last lines written.
    if (!CloseRegistered)
        CloseRegistered = std::atexit(SimCloseTrace) == 0;
    return true;
}

void SimCloseTrace()
{
    FlushPendingRead();
    if (TraceFile >= 0) {
        WriteUnwritten();
        // Linux releases the descriptor even when close is interrupted.
        if (close(TraceFile) != 0 && errno != EINTR)
            FileFailed = true;
    }
    TraceFile = -1;
    ToMemory = false;
}

bool SimTraceFailed()
{
    return FileFailed;
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
