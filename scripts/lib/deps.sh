#!/usr/bin/env bash
# Installs the Debian packages that brimlet needs, where they are missing, by group: "build" (always) for building
# and running (libX11 for the launcher's display check, FFmpeg's libraries for its video recording, nlohmann's JSON
# library for the timeline); "test" for the tests (a virtual X display for the window test, valgrind, the
# formatter, pandoc for the installed manual page); "fuzz" for clang and its libFuzzer and sanitizer run-time
# libraries; "device" for the ARM cross compiler; "arm-tests" for the emulator that runs the ARM build of the tests
# (with the cross compiler's C and C++ run-time libraries), and the debugger and the bridge to its port
# (scripts/device-run --gdb); "package" for the Debian package and its check (pandoc makes the manual page, lintian
# checks the package, man-db reads the page, bash-completion loads the completion).
#
#   scripts/lib/deps.sh [GROUP...]
set -euo pipefail
want=(build-essential cmake pkg-config libsdl1.2-dev libsdl-mixer1.2-dev libsdl-image1.2-dev libpng-dev
      libvorbis-dev libx11-dev libgtest-dev libbenchmark-dev libavformat-dev libavcodec-dev libswscale-dev
      libswresample-dev libavutil-dev nlohmann-json3-dev)
for group in "$@"; do
  case "$group" in
    build) ;;
    test) want+=(xvfb x11-apps xdotool valgrind clang-format pandoc) ;;
    fuzz) want+=(clang-14 libclang-rt-14-dev) ;;
    device) want+=(g++-arm-linux-gnueabihf) ;;
    arm-tests) want+=(g++-arm-linux-gnueabihf qemu-user gdb-multiarch socat) ;;
    package) want+=(pandoc dpkg-dev lintian man-db bash-completion) ;;
    *) echo "deps.sh: no package group $group" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
