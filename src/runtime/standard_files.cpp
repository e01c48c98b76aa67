#include "runtime/standard_files.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

void OpenClosedStandardFiles()
{
    // In order, so that open() gives the lowest free number, which is the one that is closed.
    for (int Handle = STDIN_FILENO; Handle <= STDERR_FILENO; ++Handle) {
        if (fcntl(Handle, F_GETFD) >= 0 || errno != EBADF)
            continue;
        const int Opened = open("/dev/null", Handle == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        // A number other than the closed one would be a file of ours to give back; the closed one stays closed.
        if (Opened >= 0 && Opened != Handle)
            close(Opened);
    }
}
