#!/usr/bin/env bash
# The main job: installs what the build needs, builds Kelvane in Release, installs the VST3 into
# ~/.vst3 and the LV2 into ~/.lv2, shows what a host sees of them, and masters a generated demo
# piece with kelvane-render.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KELVANE_BUILD_DIR:-$root/build}"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/install-dependencies.sh" build

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
      -DKELVANE_BUILD_TESTS=OFF -DKELVANE_BUILD_BENCHMARKS=OFF
cmake --build "$build" --parallel "$jobs" --target Kelvane_VST3 Kelvane_LV2 Kelvane_Standalone kelvane-plugininfo \
      kelvane-render

artefacts="$build/Kelvane_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Kelvane.vst3" "$HOME/.lv2/Kelvane.lv2"
cp -R "$artefacts/VST3/Kelvane.vst3" "$HOME/.vst3/"
cp -R "$artefacts/LV2/Kelvane.lv2" "$HOME/.lv2/"

echo
echo "Installed $HOME/.vst3/Kelvane.vst3 and $HOME/.lv2/Kelvane.lv2"
echo "Standalone application: $artefacts/Standalone/Kelvane"
echo
echo "What a host sees:"
"$build/tools/kelvane-plugininfo"

# A short stereo test piece that kelvane-render synthesises itself, mastered with "Eisbock".
demo="$build/demo"
mkdir -p "$demo"
"$build/tools/kelvane-render" --make-demo "$demo/kelvane-demo.wav" --quiet

echo
echo "Demo render (kelvane-render, factory program \"Eisbock\"):"
"$build/tools/kelvane-render" "$demo/kelvane-demo.wav" "$demo/kelvane-demo-eisbock.wav" --program Eisbock \
      --report-json "$demo/kelvane-demo-eisbock.json"
echo "Report as JSON: $demo/kelvane-demo-eisbock.json"
