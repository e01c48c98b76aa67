# What `cmake --install` puts under the prefix, laid out as the Debian package has it: brimlet-sim in bin/, its
# video module in lib/brimlet-sim/ and the data files in share/brimlet-sim/ (both found from the executable's folder,
# src/sim/launcher/installed_folders.h), the manual page, the bash completion, and the README and the manual under
# share/doc/brimlet-sim/. The tests, benchmarks and generators stay in the build folder.
install(TARGETS brimlet-sim RUNTIME DESTINATION bin)
if(BRIMLET_VIDEO)
  install(TARGETS brimlet_video LIBRARY DESTINATION lib/brimlet-sim)
endif()
install(FILES ${CMAKE_BINARY_DIR}/data/galaxy.bmp ${CMAKE_BINARY_DIR}/data/music.ogg DESTINATION share/brimlet-sim)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/brimlet-sim.bash-completion DESTINATION share/bash-completion/completions
        RENAME brimlet-sim)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/brimlet-sim)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs DESTINATION share/doc/brimlet-sim)

# The manual page is made from the manual's docs/brimlet-sim.md by pandoc at build time, so the two cannot differ;
# gzip -n keeps the bytes the same from build to build. A machine without pandoc builds and installs no page.
find_program(BRIMLET_PANDOC pandoc)
if(BRIMLET_PANDOC)
  set(man_page ${CMAKE_BINARY_DIR}/man/brimlet-sim.1)
  add_custom_command(
    OUTPUT ${man_page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${BRIMLET_PANDOC} --standalone --from gfm --to man --lua-filter ${CMAKE_SOURCE_DIR}/cmake/man-page.lua
            --output ${man_page} ${CMAKE_SOURCE_DIR}/docs/brimlet-sim.md
    COMMAND gzip -9nf ${man_page}
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/brimlet-sim.md ${CMAKE_SOURCE_DIR}/cmake/man-page.lua
    COMMENT "Making the manual page brimlet-sim.1 from docs/brimlet-sim.md")
  add_custom_target(brimlet_man ALL DEPENDS ${man_page}.gz)
  install(FILES ${man_page}.gz DESTINATION share/man/man1)
else()
  message(STATUS "pandoc not found: no manual page (scripts/lib/deps.sh package installs it)")
endif()
