#include "sim/launcher/interrupt.h"

#include <csignal>
#include <signal.h>

namespace {

volatile std::sig_atomic_t InterruptCount = 0;

void HandleInterrupt(int Signal)
{
    if (InterruptCount != 0) {
        std::signal(Signal, SIG_DFL);
        std::raise(Signal);
        return;
    }
    InterruptCount = 1;
}

} // namespace

void CatchInterrupts()
{
    InterruptCount = 0;
    struct sigaction Action = {};
    Action.sa_handler = HandleInterrupt;
    sigemptyset(&Action.sa_mask);
    // Restarted system calls keep the program's reads and writes from failing with EINTR.
    Action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &Action, nullptr);
    sigaction(SIGTERM, &Action, nullptr);
}

bool Interrupted()
{
    return InterruptCount != 0;
}
