# The simulated device for the main build and the fuzz build alike. brimlet_simulator(TARGET [MORE_SOURCES...]) makes
# TARGET an object library of its sources; objects, so that the seam's symbols and the SDL entry points the simulator
# defines in front of SDL's own are in every executable, whatever the link order. Those entry points must be in the
# executable's dynamic symbol table, so that the SDL libraries' own calls of them reach the simulator too.
# The timeline writes its JSON with nlohmann's library (headers only).
find_package(nlohmann_json 3 REQUIRED)
function(brimlet_simulator target)
  get_filename_component(root ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.. ABSOLUTE)
  # The model, the seam, the device's reset and the captures that need no library of their own; the video is a
  # module apart.
  file(GLOB sources CONFIGURE_DEPENDS ${root}/src/sim/*.cpp ${root}/src/sim/model/*.cpp ${root}/src/sim/seam/*.cpp)
  add_library(${target} OBJECT ${sources} ${root}/src/sim/capture/snapshot.cpp ${root}/src/sim/capture/audio_out.cpp
                               ${root}/src/sim/capture/output_lock.cpp ${root}/src/sim/capture/timeline.cpp
                               ${ARGN})
  target_include_directories(${target} PUBLIC ${root}/src)
  target_link_libraries(${target} PUBLIC ${CMAKE_DL_LIBS} nlohmann_json::nlohmann_json)
  target_link_options(${target} INTERFACE -rdynamic)
endfunction()
