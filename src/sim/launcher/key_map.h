#pragma once
// The window's key map: the input of the device that each key holds, or the window's own action that it does.
// Today's map by default; a key map file (--keys FILE, or the per-user file where it exists) changes it key by key.
// Module state, set by UseKeyMap.

#include <SDL.h>
#include <string>
#include <vector>

#include "sim/control.h"

enum class TKeyAction { None, Input, Pause, Step, Snapshot, FullScreen, Help, FastForward };

struct TKeyBinding {
    SDLKey Key;
    TKeyAction Action;
    TSimInput Input; // for TKeyAction::Input
};

struct TKeyMapError {
    int Line; // from 1
    std::string Reason;
};

// The lines of a key map file, "KEY INPUT" (KEY: SDL's name of the key, which may hold spaces; INPUT: an input as
// in a script, an action of the window or "none"), "#" starting a comment: the bindings in the order they stand, or
// false with the first error.
bool ParseKeyMap(const std::string& Text, std::vector<TKeyBinding>& Changes, TKeyMapError& Error);
// The default map with Changes over it from now on; Source names the file they came from in the key map's text.
void UseKeyMap(const std::vector<TKeyBinding>& Changes, const std::string& Source);
// Reads the key map file, File or else the per-user one where it exists, and uses it. False after setting Error to
// the message, naming the file, and for a bad line its line and the reason.
bool LoadKeyMap(const std::string& File, std::string& Error);
// What Key does in the map in force: null for a key of no use.
const TKeyBinding* FindKey(SDLKey Key);
// The key map in force, and the gamepad's, as --help, the F1 overlay and a windowed run's start show them.
std::string KeyMapText();
