#pragma once
// The start-up after the register window is acquired: SDL, the memory window and its test frame, the music, and the
// image copied into the window. The caller holds the outer clean-up scope around it.

// False when a step failed and has said so on standard output; raised errors pass through.
bool StartUp();
