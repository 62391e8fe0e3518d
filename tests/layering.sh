#!/bin/sh
# The layers of docs/architecture.md, checked on the sources: each folder of src/ (and the
# front ends beside it) may include only the folders listed for it. Prints every include
# that crosses the line.
# Usage: layering.sh SOURCE_ROOT
set -eu
root=$1
status=0
check() {
  folder=$1
  allowed=$2
  for file in $(find "$root/${3:-src}/$folder" ${4:+-maxdepth $4} \( -name '*.h' -o -name '*.cpp' \) | sort); do
    for included in $(sed -n 's/^#include "\([a-z_]*\)\/.*/\1/p' "$file" | sort -u); do
      case " $allowed " in
        *" $included "*) ;;
        *) echo "${file#$root/} includes $included/, which $folder/ may not use"; status=1 ;;
      esac
    done
  done
}
check host "host"
check presets "presets host platform"
check effect "effect presets host"
check platform "platform skin"
check gui "gui platform host"
check editor "editor gui platform effect presets host skin"
check clap "clap"
# The CLAP front end: the core, the editor it makes, and its platform's event descriptor.
check clap-plugin "clap editor effect presets host platform" .
# The LV2 DSP front end and the tool writing its Turtle files: the core and the forwarding
# message box; no editor, no window. Its editor's library (ui/) is checked on its own.
check lv2-plugin "lv2-plugin effect presets host platform" . 1
check lv2-plugin/ttl "lv2-plugin effect presets host platform" .
# The LV2 editor's library: the editor over the host's ports, never the core's classes
# (the compressor may live in another process).
check lv2-plugin/ui "editor gui platform effect host" .
if grep -lE '#include "(effect/AutoComp|effect/CoreEditController|presets/)' "$root"/lv2-plugin/ui/*; then
  echo "the LV2 editor files above include the core's classes: the core may be in another process"
  status=1
fi
# The editor reaches what it edits only through effect/EditController.h: only its VST
# constructor, where the VST front end makes its editor, names the plug-in's classes.
plugin_classes='host/AudioEffect|host/AudioEffectX|effect/AutoComp|effect/CoreEditController|effect/VstEditController|presets/CPresetSystemEffect'
if grep -lE "#include \"($plugin_classes)\.h\"" "$root"/src/editor/* | grep -v '/AEffGUIEditor\.cpp$'; then
  echo "the editor files above include the plug-in's classes instead of EditController"
  status=1
fi
# Only the platform layer talks to the system's windowing and drawing libraries.
system_headers='X11/|cairo|windows\.h|commdlg\.h|commctrl\.h|ole2\.h|oleidl\.h|objbase\.h|shellapi\.h'
if grep -rlE "#include <($system_headers)" "$root/src" | grep -v "^$root/src/platform/"; then
  echo "the files above include X11, cairo or Win32 headers outside src/platform/"
  status=1
fi
exit $status
