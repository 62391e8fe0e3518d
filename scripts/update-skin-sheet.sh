#!/bin/sh
# Renders the contact sheet (the editor at its default settings, and the about picture)
# from the embedded skin and copies it into docs/.
set -eu
cd "$(dirname "$0")/.."
[ -d build ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target krv-skin-sheet
build/krv-skin-sheet docs/skin-editor.png docs/skin-about.png
echo "wrote docs/skin-editor.png and docs/skin-about.png"
