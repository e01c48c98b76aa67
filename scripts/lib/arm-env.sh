# shellcheck shell=bash
# The ARM environment of the device scripts, sourced: how an executable of scripts/device-build's ARM build runs
# under Debian's qemu-user. The emulator's words (qemu-arm, the cross compiler's loader and run-time libraries, the
# library path of the unpacked armhf packages) are those that cmake/arm-linux-gnueabihf.cmake gives CTest, written
# by the configure as arm-tests/arm-emulator; this file adds the device library, preloaded into the device
# executable.
#
#   arm_env BUILD_FOLDER [OPTION...]
#                           BUILD_FOLDER: the folder of scripts/device-build --arm-library; sets arm_run (the
#                           emulator's words, an ARM executable and its arguments to follow) and device_run (the
#                           device executable with the device library preloaded, its arguments to follow), with the
#                           emulator's OPTIONs, if any, in front of the executable (-g for its debugger stub)
#   BRIMLET_DEVICE_EXECUTABLE   the device executable, when not BUILD_FOLDER/brimlet (scripts/device-compare's, from
#                               the archive)
arm_env() {
  local tests=$1/arm-tests
  [ -f "$tests/arm-emulator" ] ||
    { echo "arm-env.sh: $1 holds no ARM build (scripts/device-build --arm-library makes it)" >&2; return 1; }
  mapfile -t arm_run <"$tests/arm-emulator"
  device_run=("${arm_run[@]}" "${@:2}" -E "LD_PRELOAD=$tests/libbrimlet-device.so" "${BRIMLET_DEVICE_EXECUTABLE:-$1/brimlet}")
}
