#include "sim/capture/output_lock.h"

#include <sys/file.h>

bool LockOutput(int Handle, const struct stat& Status)
{
    return !S_ISREG(Status.st_mode) || flock(Handle, LOCK_EX | LOCK_NB) == 0;
}
