#pragma once
// The window of a windowed run: the shown page presented into the screen surface that the program set up, the
// keyboard, a snapshot key, and the close box. Everything runs in the flip observer, on the program's thread, which
// is the thread that set up SDL's video. Module state, reset by StartWindow.

void StartWindow();
// Right after a flip: at most once per refresh (1/60 s of real time), presents the shown page and handles the
// window's events. Closing the window holds the exit button (button 4).
void WindowAtFlip();
