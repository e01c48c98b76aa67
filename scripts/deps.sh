#!/usr/bin/env bash
# Installs the Debian packages that brimlet needs, where they are missing: "build" for building and running,
# "test" adds what the tests need (a virtual X display for the window test).
set -euo pipefail
want=(build-essential cmake pkg-config libsdl1.2-dev libsdl-mixer1.2-dev libsdl-image1.2-dev libpng-dev
      libvorbis-dev libgtest-dev libbenchmark-dev)
case "${1:-build}" in
  test) want+=(xvfb x11-apps xdotool valgrind clang-14 libclang-rt-14-dev) ;;
esac
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
