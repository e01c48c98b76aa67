#pragma once
// The simulated device's side of SDL: the entry points it defines in front of SDL's (SDL_Init, Mix_OpenAudio,
// SDL_GetVideoInfo, SDL_SetVideoMode) and the speaker behind SDL_mixer.

// Back to power-on: no video information override, no recorded mode request.
void ResetSdlHooks();
