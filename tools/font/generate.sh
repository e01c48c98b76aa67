#!/usr/bin/env bash
# Regenerates src/device/font6x13_table.cpp from the 6 x 13 fixed font of Debian's xfonts-base. Needs the packages
# xfonts-base and pcf2bdf (apt-get install xfonts-base pcf2bdf) and python3; the build itself needs none of them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(cd "$here/../.." && pwd)/src/device/font6x13_table.cpp
source_font=/usr/share/fonts/X11/misc/6x13.pcf.gz
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
zcat "$source_font" >"$tmp/6x13.pcf"
pcf2bdf -o "$tmp/6x13.bdf" "$tmp/6x13.pcf"
# Written beside the result first, so that a failed run leaves the committed table as it was.
python3 "$here/make_font_table.py" "$tmp/6x13.bdf" >"$tmp/font6x13_table.cpp"
mv "$tmp/font6x13_table.cpp" "$out"
echo "wrote $out" >&2
