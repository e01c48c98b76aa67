#pragma once
// What the machine offers the simulated device: a display for the window and a sound device for SDL's audio.

#include <string>

// A display for a window: SDL_VIDEODRIVER names a driver other than "dummy", or, when it is not set, DISPLAY is.
bool DisplayAvailable();
// Whether that display really opens, checked before SDL starts: with SDL's X11 driver (SDL_VIDEODRIVER unset or
// "x11") the X display is opened and held open until CloseDisplayCheck; another driver the user chose is taken as it
// is. False with Reason ("cannot open the display :5") otherwise.
bool DisplayOpens(std::string& Reason);
// Closes the check's connection, once SDL holds its own: were the check the server's only client, a server that
// resets when its last client leaves would drop SDL's connection in the making.
void CloseDisplayCheck();
// Whether the user chose SDL's X11 driver (SDL_VIDEODRIVER=x11), asking for a window as --window does.
bool X11Chosen();
// A sound device SDL can open: /dev/snd, /dev/dsp or a sound server's socket (PULSE_SERVER, or pulse/native under
// XDG_RUNTIME_DIR or /run/user/UID).
bool SoundDeviceAvailable();
// SDL_VIDEODRIVER=dummy for a run without a window and SDL_AUDIODRIVER=dummy where there is no sound device, so
// that SDL starts as it would on the device; a driver the user chose is left alone.
void ChooseSdlDrivers(bool Window);
