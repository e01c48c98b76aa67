#pragma once
// Standard input, output and error as the process found them, kept apart from the files it opens itself.

// Opens each of descriptors 0 to 2 that is closed on /dev/null, so that no file the process opens later (its log,
// a trace) takes that number and receives what is written to standard output or error. Called first in main.
void OpenClosedStandardFiles();
