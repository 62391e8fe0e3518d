#!/bin/sh
# Cross-builds the Windows x64 library (krv-tarnwick.dll), the Windows test host and the
# Windows tests with MinGW-w64. A Linux build (build/, or the folder in KRV_LINUX_BUILD)
# comes first: its generator renders the skin's bitmaps, and its library renders the
# sessions the DLL's output is compared with.
# Usage: scripts/build-windows.sh [BUILD_DIR]   (default build-win)
set -eu
cd "$(dirname "$0")/.."
dir=${1:-build-win}
linux=${KRV_LINUX_BUILD:-build}
if [ ! -f "$linux/build.ninja" ]; then
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$linux" --target krv-skin-gen krv_tarnwick krv-cross-check
mkdir -p "$linux/cross"
"$linux/krv-cross-check" render "$linux/krv-tarnwick.so" "$linux/cross/renders.bin"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$(pwd)/cmake/mingw-w64-x86_64.cmake" \
  -DKRV_SKIN_GENERATOR="$(cd "$linux" && pwd)/krv-skin-gen" \
  -DKRV_LINUX_BUILD_DIR="$(cd "$linux" && pwd)"
cmake --build "$dir"
echo "built $dir/krv-tarnwick.dll"
