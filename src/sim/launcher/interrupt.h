#pragma once
// Ctrl-C (SIGINT) and SIGTERM press the exit button, so that they end the run through the program's own shutdown.

// Installs the handlers. Called before SDL starts: SDL then keeps them instead of installing its own, which would
// only queue a quit event that nothing reads in a run without a window.
void CatchInterrupts();
// True once an interrupt has arrived. A second one ends the process at once, for a program that no longer reads
// its exit button.
bool Interrupted();
