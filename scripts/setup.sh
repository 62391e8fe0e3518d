#!/bin/sh
# Fresh Debian 12 machine to a working plug-in: dependencies, build, install into
# ~/.vst, ~/.clap and ~/.lv2, then the main job: the demo pattern through the compressor; last, the Windows DLL.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
mkdir -p "$HOME/.vst"
install -m 644 build/krv-tarnwick.so "$HOME/.vst/krv-tarnwick.so"
echo "installed $HOME/.vst/krv-tarnwick.so"
mkdir -p "$HOME/.clap"
install -m 644 build/krv-tarnwick.clap "$HOME/.clap/krv-tarnwick.clap"
echo "installed $HOME/.clap/krv-tarnwick.clap"
# LV2 hosts find a bundle folder in ~/.lv2; a fresh copy, so no file of an older build stays.
rm -rf "$HOME/.lv2/krv-tarnwick.lv2"
mkdir -p "$HOME/.lv2/krv-tarnwick.lv2"
install -m 644 build/krv-tarnwick.lv2/* "$HOME/.lv2/krv-tarnwick.lv2/"
echo "installed $HOME/.lv2/krv-tarnwick.lv2"
build/krv-process --plugin "$HOME/.vst/krv-tarnwick.so" --list
# The main job: a drum pattern through the compressor, both files side by side.
build/krv-process --plugin "$HOME/.vst/krv-tarnwick.so" --demo build/demo
# The same plug-in for Windows hosts, from the same sources.
scripts/build-windows.sh
