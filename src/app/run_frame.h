#pragma once
// The frame of every run: the modules' start-up steps (the device layer's, then the logger's), the main program,
// the modules' shut-down steps, the report of an error that nothing handled, and the exit status.

// The exit statuses of the frame. A failed start-up (the log file cannot be created) has a status of its own, so
// that it is told apart from an error raised by the main program.
constexpr int ExitOrdinary = 0;
constexpr int ExitUnhandledError = 217;
constexpr int ExitStartupFailed = 1;

// Runs MainProgram inside the frame and returns the exit status: 0 for every ordinary end, 217 after an unhandled
// error (reported on standard output first). When the log cannot be created the error is reported and the status
// is non-zero, without running MainProgram.
int RunApplication(int ArgumentCount, char** Arguments, void (*MainProgram)());
