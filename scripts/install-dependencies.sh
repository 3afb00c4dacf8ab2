#!/usr/bin/env bash
# Installs the Debian packages Kelvane needs, skipping those already present.
#
#   scripts/install-dependencies.sh build   # compiler, CMake, JUCE, the codec libraries, FFTW
#                                           # and libebur128 (kelvane-render's loudness meter)
#   scripts/install-dependencies.sh test    # the above plus GoogleTest, Google Benchmark,
#                                           # lilv's tools, a virtual X server and clang
#                                           # with libFuzzer
#
# Runs as root, or through sudo for a normal user.
set -euo pipefail

build_packages=(
    build-essential cmake pkg-config
    juce-modules-source
    libflac-dev libpng-dev libjpeg-dev zlib1g-dev
    libfftw3-dev libebur128-dev
)

test_packages=(
    googletest libgtest-dev libbenchmark-dev
    lilv-utils
    xvfb xauth
    clang libclang-rt-14-dev
)

packages=("${build_packages[@]}")

case "${1:-build}" in
    build) ;;
    test) packages+=("${test_packages[@]}") ;;
    *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "All ${#packages[@]} required packages are installed."
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "Missing packages (${missing[*]}): run this script as root or install sudo." >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
