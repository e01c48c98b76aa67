# The simulated device for the main build and the fuzz build alike: its sources, and the SDL entry points it stands
# in front of (a missing video or audio device, the video information, the mode request, the speaker).
# brimlet_simulator(TARGET [MORE_SOURCES...]) makes TARGET an object library of them; objects, so that the seam's
# symbols and SDL's wrapped entry points resolve whatever the link order.
function(brimlet_simulator target)
  get_filename_component(root ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.. ABSOLUTE)
  file(GLOB sources CONFIGURE_DEPENDS ${root}/src/sim/*.cpp)
  add_library(${target} OBJECT ${sources} ${ARGN})
  target_include_directories(${target} PUBLIC ${root}/src)
  foreach(fn SDL_Init Mix_OpenAudio SDL_GetVideoInfo SDL_SetVideoMode)
    target_link_options(${target} INTERFACE "-Wl,--wrap=${fn}")
  endforeach()
endfunction()
