#pragma once
// The keyboard of a windowed run, mapped onto the simulated input panel. Module state (the keys held), reset by
// StartKeyboard.

#include <SDL.h>
#include <string>

void StartKeyboard();
// Records Key going down or up and sets the inputs it drives: a key of the ring sets the one contact that the ring
// keys held together point to (up and left: the upleft contact alone; opposite keys cancel); a button key holds its
// button while any key of that button is held. True when Key, going down, asks for a snapshot.
bool KeyChanged(SDLKey Key, bool Down);
// The key map, as printed at the start of a windowed run.
std::string KeyMapText();
