#pragma once
// The keyboard and the gamepad of a windowed run, mapped onto the simulated input panel: an input is held while a key
// or the gamepad holds it. Module state (the keys held, the gamepad's), reset by StartKeyboard.

#include <SDL.h>

#include "sim/launcher/key_map.h"

void StartKeyboard();
// Records Key going down or up and sets what it drives in the key map in force: a key of the ring sets the one
// contact that everything held on the ring points to (up and left: the upleft contact alone; opposite ones cancel);
// a button key holds its button while any key or gamepad button of it is held; a fast-forward key keeps fast-forward
// on while held. Returns the key's action, for the window to do the others on the way down.
TKeyAction KeyChanged(SDLKey Key, bool Down);
// The first gamepad's event: its hat and first two axes (past a dead zone) on the ring, its buttons 1 to 10 on
// buttons 1 to 10. False for an event that is not the first gamepad's.
bool GamepadChanged(const SDL_Event& Event);
