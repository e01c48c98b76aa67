#include "sim/launcher/interrupt.h"

#include <csignal>
#include <ctime>
#include <signal.h>
#include <unistd.h>

namespace {

// While an interrupt waits for the frame loop, the program's thread is interrupted again this often.
constexpr long NudgeNanoseconds = 100'000'000;
constexpr int NudgeSignal = SIGALRM;

volatile std::sig_atomic_t InterruptCount = 0;
timer_t Nudger;
volatile std::sig_atomic_t NudgerMade = 0;

void Nudge(long Nanoseconds)
{
    if (NudgerMade == 0)
        return;
    const itimerspec Every{{0, Nanoseconds}, {0, Nanoseconds}};
    timer_settime(Nudger, 0, &Every, nullptr);
}

// Its only work is to be caught without SA_RESTART, which makes the call under way fail with EINTR.
void HandleNudge(int)
{}

void HandleInterrupt(int Signal)
{
    if (InterruptCount != 0) {
        std::signal(Signal, SIG_DFL);
        std::raise(Signal);
        return;
    }
    InterruptCount = 1;
    // The signal may have reached another thread, or the program may enter a blocking call (an open of a named
    // pipe) only after it: until its frame loop reads the exit button, each such call fails, so that the step under
    // way fails and the program leaves by its own failure path.
    Nudge(NudgeNanoseconds);
}

} // namespace

void CatchInterrupts()
{
    InterruptCount = 0;
    struct sigaction Action = {};
    sigemptyset(&Action.sa_mask);
    // No SA_RESTART: a call the program is blocked in fails with EINTR instead of waiting on for ever.
    Action.sa_handler = HandleNudge;
    sigaction(NudgeSignal, &Action, nullptr);
    sigevent Event = {};
    Event.sigev_notify = SIGEV_THREAD_ID;
    Event.sigev_signo = NudgeSignal;
    Event._sigev_un._tid = gettid(); // sigev_notify_thread_id, which glibc names only from 2.38
    NudgerMade = NudgerMade != 0 || timer_create(CLOCK_MONOTONIC, &Event, &Nudger) == 0;
    Action.sa_handler = HandleInterrupt;
    sigaction(SIGINT, &Action, nullptr);
    sigaction(SIGTERM, &Action, nullptr);
    sigaction(SIGHUP, &Action, nullptr);
}

bool Interrupted()
{
    return InterruptCount != 0;
}

void StopInterruptingCalls()
{
    Nudge(0);
}
