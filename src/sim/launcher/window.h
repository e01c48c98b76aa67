#pragma once
// The window of a windowed run: the shown page presented into the window's surface at an integer scale, centred
// between black bars, with the key map over it on F1; the keyboard and the gamepad, full screen on F11 and
// Alt+Enter, pause and single steps, fast-forward, a snapshot key, and the close box. Everything runs on the program's
// thread, which is the thread that set up SDL's video: in the flip observer, and in the pause observer while the device
// is paused. Module state, reset by StartWindow.

// The window's pixels per device pixel: Asked, or when it is 0 the largest that fits three quarters of a Width x
// Height screen, from 2 to 8.
int WindowScale(int Asked, int Width, int Height);
// Scale: the window's pixels per device pixel, or 0 for the largest that fits about three quarters of the screen.
// UseGamepad: the first gamepad found drives the input panel too. Answers the program's mode request from now on
// (SimSetWindowed) and tends the window while the device is paused.
void StartWindow(int Scale, bool UseGamepad);
// Right after a flip: at most once per refresh (1/60 s of real time), presents the shown page and handles the
// window's events. Closing the window holds the exit button (button 4).
void WindowAtFlip();
