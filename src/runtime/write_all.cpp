#include "runtime/write_all.h"

#include <cerrno>
#include <unistd.h>

#include "runtime/errors.h"

void WriteAll(int Handle, const std::string& Text)
{
    const char* Rest = Text.data();
    std::size_t Left = Text.size();
    while (Left > 0) {
        const ssize_t Written = write(Handle, Rest, Left);
        if (Written < 0) {
            if (errno == EINTR)
                continue;
            RaiseInOutError(errno);
        }
        // A write that takes nothing without an error would loop for ever; the file cannot take more.
        if (Written == 0)
            RaiseInOutError(EIO);
        Rest += Written;
        Left -= static_cast<std::size_t>(Written);
    }
}
