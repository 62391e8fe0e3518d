#!/bin/sh
# Renders the contact sheet from the embedded skin into docs/: the editor at its default
# settings, the about picture, and every control's states.
set -eu
cd "$(dirname "$0")/.."
[ -d build ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target krv-skin-sheet
build/krv-skin-sheet docs/skin-editor.png docs/skin-about.png docs/skin-states.png
echo "wrote docs/skin-editor.png, docs/skin-about.png and docs/skin-states.png"
