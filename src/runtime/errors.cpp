#include "runtime/errors.h"

#include <cstring>
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>
#include <utility>

namespace {

constexpr int MaxFrames = 32;

// Where the executable lies in memory: its load bias and its executable segments.
struct TExecutableImage {
    std::uintptr_t Bias = 0;
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> Code; // [start, end) of each executable segment
};

int ReadFirstObject(dl_phdr_info* Info, std::size_t, void* Data)
{
    auto* Image = static_cast<TExecutableImage*>(Data);
    Image->Bias = Info->dlpi_addr;
    for (int Index = 0; Index < Info->dlpi_phnum; ++Index) {
        const ElfW(Phdr)& Segment = Info->dlpi_phdr[Index];
        if (Segment.p_type == PT_LOAD && (Segment.p_flags & PF_X) != 0) {
            const std::uintptr_t Start = Image->Bias + Segment.p_vaddr;
            Image->Code.emplace_back(Start, Start + Segment.p_memsz);
        }
    }
    return 1; // the first object listed is the executable itself
}

bool InImage(const TExecutableImage& Image, std::uintptr_t Address)
{
    for (const auto& Segment : Image.Code)
        if (Address >= Segment.first && Address < Segment.second)
            return true;
    return false;
}

// The constructors of the error classes and RaiseInOutError are not where an error was raised: their frames are
// left out, so that the first frame kept is the raising site. They are known by their exported (mangled) names.
bool IsRaisingMachinery(std::uintptr_t Address)
{
    static const char* const Prefixes[] = {"_ZN9ExceptionC", "_ZN11EInOutErrorC", "_ZN13EConvertErrorC",
                                           "_Z15RaiseInOutErrori"};
    Dl_info Info;
    if (dladdr(reinterpret_cast<void*>(Address), &Info) == 0 || Info.dli_sname == nullptr)
        return false;
    for (const char* Prefix : Prefixes)
        if (std::strncmp(Info.dli_sname, Prefix, std::strlen(Prefix)) == 0)
            return true;
    return false;
}

// Of the return addresses Addresses of a backtrace, those that lie in the executable, innermost first, from the
// raising site on, as offsets from the executable's load bias: the addresses addr2line resolves against the
// executable file.
std::vector<std::uintptr_t> RaisingFrames(void* const* Addresses, int Count)
{
    TExecutableImage Image;
    dl_iterate_phdr(ReadFirstObject, &Image);

    std::vector<std::uintptr_t> Frames;
    bool AtSite = false;
    for (int Index = 0; Index < Count; ++Index) {
        const auto Address = reinterpret_cast<std::uintptr_t>(Addresses[Index]);
        if (!InImage(Image, Address))
            continue;
        if (!AtSite && IsRaisingMachinery(Address))
            continue;
        AtSite = true;
        Frames.push_back(Address - Image.Bias);
    }
    return Frames;
}

} // namespace

Exception::Exception(std::string Message) : Message(std::move(Message))
{
    // The backtrace is taken here rather than in a helper, so that its innermost frames are all named ones that
    // RaisingFrames knows to leave out.
    void* Addresses[MaxFrames];
    const int Count = backtrace(Addresses, MaxFrames);
    Frames = RaisingFrames(Addresses, Count);
}

EInOutError::EInOutError(std::string Message, int ErrorCode) : Exception(std::move(Message)), ErrorCode(ErrorCode)
{}

void RaiseInOutError(int ErrorCode)
{
    char Buffer[256];
    throw EInOutError(strerror_r(ErrorCode, Buffer, sizeof Buffer), ErrorCode);
}
