# Cross build for the device: 32-bit ARM Linux (hard float) with Debian's cross compiler, g++-arm-linux-gnueabihf.
#
#   cmake -S . -B build-device -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake -DBRIMLET_DEVICE=ON \
#         [-DBRIMLET_ARMHF_ROOT=FOLDER]
#
# BRIMLET_ARMHF_ROOT is a folder into which Debian's armhf packages of SDL, SDL_mixer and SDL_image (the -dev
# packages and their libraries) were unpacked, as scripts/device-build does: their headers, libraries and
# pkg-config files are taken from there. Without it, pkg-config looks in the armhf multiarch folders of the host.
#
# Without -DBRIMLET_DEVICE=ON the build makes brimlet-sim, the data generators and the tests as ARM executables,
# which it runs under Debian's qemu-user (scripts/device-build --arm-tests); the root then holds every library they
# link, and what those need in turn.
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
# GCC notes each function whose way of passing an argument on ARM changed in GCC 7.1, which matters only beside
# code built by an older GCC; nothing linked here is.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# Try-compile projects see the same root.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRIMLET_ARMHF_ROOT)

set(BRIMLET_ARMHF_LIBDIR lib/${BRIMLET_CROSS})
if(BRIMLET_ARMHF_ROOT)
  # The libraries that pkg-config names lie under the root, where the search for them may look.
  list(APPEND CMAKE_FIND_ROOT_PATH ${BRIMLET_ARMHF_ROOT})
  set(ENV{PKG_CONFIG_SYSROOT_DIR} ${BRIMLET_ARMHF_ROOT})
  set(ENV{PKG_CONFIG_LIBDIR}
      ${BRIMLET_ARMHF_ROOT}/usr/${BRIMLET_ARMHF_LIBDIR}/pkgconfig:${BRIMLET_ARMHF_ROOT}/usr/share/pkgconfig)
  # For the device the root holds SDL's own libraries only; what they need in turn (ALSA, PulseAudio, X11, the
  # image and music codecs) is found on the device at run time, so the link does not look for it here.
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
         " -Wl,-rpath-link,${BRIMLET_ARMHF_ROOT}/usr/${BRIMLET_ARMHF_LIBDIR} -Wl,--allow-shlib-undefined")
else()
  set(ENV{PKG_CONFIG_LIBDIR} /usr/${BRIMLET_ARMHF_LIBDIR}/pkgconfig:/usr/share/pkgconfig)
endif()

# The build runs its own executables (the data generators while building, the tests under CTest, and brimlet-sim
# and the generators that the tests start) under qemu-arm, which finds the ARM loader and the cross compiler's C and
# C++ run-time libraries under /usr/${BRIMLET_CROSS}, and the root's libraries on their library path. The device
# scripts run them with the same words, which the build writes for them (scripts/lib/arm-env.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -L /usr/${BRIMLET_CROSS})
if(BRIMLET_ARMHF_ROOT)
  set(BRIMLET_ARMHF_LIBS ${BRIMLET_ARMHF_ROOT}/usr/${BRIMLET_ARMHF_LIBDIR})
  # PulseAudio keeps a library of its own in a folder of its own; some packages put theirs under lib/.
  string(APPEND BRIMLET_ARMHF_LIBS ":${BRIMLET_ARMHF_LIBS}/pulseaudio:${BRIMLET_ARMHF_ROOT}/${BRIMLET_ARMHF_LIBDIR}")
  list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -E LD_LIBRARY_PATH=${BRIMLET_ARMHF_LIBS})
endif()
