# A 32-bit x86 build on a 64-bit x86 host, made so that the tests of the arithmetic that depends on the word size
# (addresses, pitches, the image copy's place, the printed addresses) run with 32-bit pointers as on the device,
# natively and at full speed.
#
#   cmake -S . -B build-32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-linux-gnu.cmake -DBRIMLET_I386_ROOT=FOLDER
#
# The compiler is the host's g++ with -m32 and Debian's 32-bit C and C++ libraries (libc6-dev-i386,
# lib32stdc++-12-dev); g++-multilib itself does not install beside the ARM cross compiler. BRIMLET_I386_ROOT is a
# folder into which Debian's i386 packages of the libraries the tests link (SDL, SDL_mixer, SDL_image, libpng,
# libvorbis, GoogleTest) and of what they need in turn were unpacked, as scripts/device-build does: headers,
# libraries and pkg-config files are taken from there, and the executables run with its libraries on their path.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRIMLET_I386_ROOT)

# The kernel's asm headers are the same for both word sizes; g++-multilib would link them into /usr/include,
# the root holds a link to them instead.
set(BRIMLET_32_FLAGS "-m32")
if(BRIMLET_I386_ROOT)
  string(APPEND BRIMLET_32_FLAGS " -isystem ${BRIMLET_I386_ROOT}/asm-include")
endif()
set(CMAKE_C_FLAGS_INIT "${BRIMLET_32_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${BRIMLET_32_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")

if(BRIMLET_I386_ROOT)
  set(CMAKE_FIND_ROOT_PATH ${BRIMLET_I386_ROOT})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
  set(ENV{PKG_CONFIG_SYSROOT_DIR} ${BRIMLET_I386_ROOT})
  set(ENV{PKG_CONFIG_LIBDIR}
      ${BRIMLET_I386_ROOT}/usr/lib/i386-linux-gnu/pkgconfig:${BRIMLET_I386_ROOT}/usr/share/pkgconfig)
  set(BRIMLET_I386_LIBS ${BRIMLET_I386_ROOT}/usr/lib/i386-linux-gnu:${BRIMLET_I386_ROOT}/lib/i386-linux-gnu)
  # PulseAudio keeps a library of its own in a folder of its own.
  string(APPEND BRIMLET_I386_LIBS ":${BRIMLET_I386_ROOT}/usr/lib/i386-linux-gnu/pulseaudio")
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${BRIMLET_I386_LIBS}")
endif()

# The host runs 32-bit x86 executables itself. An "emulator" that only starts them, with the root's libraries on
# the library path, lets the build run the data generators and CTest the tests (and what they start in turn),
# which a cross build otherwise leaves alone.
if(BRIMLET_I386_ROOT)
  set(CMAKE_CROSSCOMPILING_EMULATOR env LD_LIBRARY_PATH=${BRIMLET_I386_LIBS})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR env)
endif()
