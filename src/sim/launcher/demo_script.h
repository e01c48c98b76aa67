#pragma once
// The built-in demo, played by a headless run with neither a script nor a frame count: a tour of the picture in
// every direction, V-Sync off and on, the volume down and up, a few snapshots in the working folder, and the exit.

extern const char* const DemoScript;
