#include "runtime/write_all.h"

#include <cerrno>
#include <unistd.h>

#include "runtime/errors.h"

bool WriteWhole(int Handle, const void* Bytes, std::size_t Count, off_t Offset)
{
    const char* Rest = static_cast<const char*>(Bytes);
    while (Count > 0) {
        const ssize_t Written = Offset < 0 ? write(Handle, Rest, Count) : pwrite(Handle, Rest, Count, Offset);
        if (Written < 0 && errno == EINTR)
            continue;
        // A write that takes nothing without an error would loop for ever: the file cannot take more.
        if (Written <= 0) {
            if (Written == 0)
                errno = ENOSPC;
            return false;
        }
        Rest += Written;
        Count -= static_cast<std::size_t>(Written);
        if (Offset >= 0)
            Offset += Written;
    }
    return true;
}

void WriteAll(int Handle, const std::string& Text)
{
    if (!WriteWhole(Handle, Text.data(), Text.size()))
        RaiseInOutError(errno);
}
