#!/usr/bin/env bash
# Builds the screenshot tool if needed and draws the editor under a virtual X server.
#
#   scripts/screenshot.sh [output.png]
#
# Writes the full panel, with a loud test signal playing through the processor so the meters
# show it, to output.png (default build/screenshots/editor.png) and the About panel beside it
# (editor-about.png). KELVANE_BUILD_DIR picks another build folder;
# KELVANE_SCREENSHOT_SCALE=2 draws at the density of a high-density screen.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KELVANE_BUILD_DIR:-$root/build}"
jobs="$(nproc 2>/dev/null || echo 2)"
output="$(realpath -m "${1:-$build/screenshots/editor.png}")"
scale="${KELVANE_SCREENSHOT_SCALE:-1}"

"$root/scripts/install-dependencies.sh" test

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --parallel "$jobs" --target kelvane_screenshot

tool="$build/tools/kelvane_screenshot/kelvane_screenshot"
mkdir -p "$(dirname "$output")"
xvfb-run -a "$tool" "$output" --scale "$scale"
xvfb-run -a "$tool" "${output%.png}-about.png" --about --scale "$scale"
