#pragma once
// The releases of the shutdown, each run from the scope whose acquisition it undoes.

// The outer clean-up: the music (halted if it plays), SDL when it was started, and the start-up's reference on the
// register window. It runs however the start-up or the frame loop was left.
void ReleaseStartUp();
// Gives the memory window back; only the ordinary end does this, the process ends right after the others.
void UnmapMemoryWindow();
