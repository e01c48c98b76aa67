# Cross build for the device: 32-bit ARM Linux (hard float) with Debian's cross compiler, g++-arm-linux-gnueabihf.
#
#   cmake -S . -B build-device -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake -DBRIMLET_DEVICE=ON \
#         [-DBRIMLET_ARMHF_ROOT=FOLDER]
#
# BRIMLET_ARMHF_ROOT is a folder into which Debian's armhf packages of SDL, SDL_mixer and SDL_image (the -dev
# packages and their libraries) were unpacked, as scripts/device-build does: their headers, libraries and
# pkg-config files are taken from there. Without it, pkg-config looks in the armhf multiarch folders of the host.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(BRIMLET_CROSS arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${BRIMLET_CROSS}-gcc)
set(CMAKE_CXX_COMPILER ${BRIMLET_CROSS}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${BRIMLET_CROSS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Try-compile projects see the same root.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRIMLET_ARMHF_ROOT)

set(BRIMLET_ARMHF_LIBDIR lib/${BRIMLET_CROSS})
if(BRIMLET_ARMHF_ROOT)
  # The libraries that pkg-config names lie under the root, where the search for them may look.
  list(APPEND CMAKE_FIND_ROOT_PATH ${BRIMLET_ARMHF_ROOT})
  set(ENV{PKG_CONFIG_SYSROOT_DIR} ${BRIMLET_ARMHF_ROOT})
  set(ENV{PKG_CONFIG_LIBDIR}
      ${BRIMLET_ARMHF_ROOT}/usr/${BRIMLET_ARMHF_LIBDIR}/pkgconfig:${BRIMLET_ARMHF_ROOT}/usr/share/pkgconfig)
  # SDL's own libraries come from the unpacked packages; what they need in turn (ALSA, PulseAudio, X11, the image
  # and music codecs) is found on the device at run time, so the link does not look for it here.
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
         " -Wl,-rpath-link,${BRIMLET_ARMHF_ROOT}/usr/${BRIMLET_ARMHF_LIBDIR} -Wl,--allow-shlib-undefined")
else()
  set(ENV{PKG_CONFIG_LIBDIR} /usr/${BRIMLET_ARMHF_LIBDIR}/pkgconfig:/usr/share/pkgconfig)
endif()
