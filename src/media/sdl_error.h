#pragma once
// SDL's own words for its last failure, as the media layer logs them.

#include <SDL.h>

#include <string>

inline std::string SdlError()
{
    const char* Reason = SDL_GetError();
    return Reason ? Reason : "";
}
