#pragma once
// SDL start-up for the whole program: audio, video and joystick, the audio device, the mixer level and the
// 320 x 240 video mode. Every failure is logged and raised; it never returns null.

#include <SDL.h>

SDL_Surface* InitSDL();
