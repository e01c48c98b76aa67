#pragma once
// Ctrl-C (SIGINT), SIGTERM and SIGHUP press the exit button, so that they end the run through the program's own
// shutdown. Before the frame loop reads the button, they make the program's blocking calls fail instead, so that
// a program waiting in one (an open of a named pipe) leaves by its ordinary failure path.

// Installs the handlers, for the calling thread, which runs the program. Called before SDL starts: SDL then keeps
// them instead of installing its own, which would only queue a quit event that nothing reads in a run without a
// window.
void CatchInterrupts();
// True once an interrupt has arrived. A second one ends the process at once, for a program that no longer reads
// its exit button.
bool Interrupted();
// The program has reached its exit button, or has ended: its calls are left alone from here on.
void StopInterruptingCalls();
