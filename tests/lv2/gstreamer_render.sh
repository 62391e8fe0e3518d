#!/bin/sh
# GStreamer's LV2 wrapper (gst-plugins-bad) offers the bundle as an audio filter, and a
# gst-launch pipeline through it renders the demo pattern, as 32-bit float, to the same bits
# as our own render through the VST library: with the ports at their defaults, and with
# Process, Ratio (lists) and Output (a number) set as properties. GStreamer reads the bundle
# through LV2_PATH alone, into a registry, home and data folders of the test's own.
# Skipped (77) without gst-launch-1.0, gst-inspect-1.0 or GStreamer's lv2 plug-in.
# Usage: gstreamer_render.sh LV2_PATH KRV_PROCESS VST_LIBRARY
set -eu
search=$1
process=$2
library=$3
for tool in gst-inspect-1.0 gst-launch-1.0; do
  command -v $tool > /dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CACHE_HOME=$scratch/cache XDG_CONFIG_HOME=$scratch/config
export XDG_DATA_HOME=$scratch/data GST_REGISTRY=$scratch/registry.bin LV2_PATH=$search
mkdir -p "$HOME"

inspected=0
timeout 120 gst-inspect-1.0 lv2 > "$scratch/lv2.txt" 2>&1 || inspected=$?
# A plug-in that crashes while the registry is made is left out of it as if it were missing.
if [ $inspected -eq 124 ] || grep -q '^ERROR: Caught' "$scratch/lv2.txt"; then
  cat "$scratch/lv2.txt" >&2; echo "gst-inspect-1.0 lv2 failed" >&2; exit 1
fi
[ $inspected -eq 0 ] || { echo "GStreamer's lv2 plug-in is not installed: skipped"; exit 77; }
# The wrapper names an element after the plug-in's URI; its long name is our doap:name.
element=$(sed -n 's/^  \([^ :]*\): KRV tarnwick$/\1/p' "$scratch/lv2.txt")
if [ -z "$element" ]; then
  cat "$scratch/lv2.txt" >&2
  # Its log says why it passed a plug-in over.
  GST_REGISTRY=$scratch/registry-debug.bin GST_DEBUG=lv2:4 GST_DEBUG_NO_COLOR=1 \
    timeout 120 gst-inspect-1.0 lv2 2>&1 | grep -i tarnwick >&2 || true
  echo "gst-inspect-1.0 lists no element of ours in the lv2 plug-in" >&2
  exit 1
fi
echo "element: $element"

# Eight seconds of drums, 24-bit, made 32-bit float without rounding.
"$process" --plugin "$library" --quiet --demo "$scratch/demo"
python3 "$here/float_wavs.py" float "$scratch/demo/demo.wav" "$scratch/in.wav"

float=audio/x-raw,format=F32LE
render() {  # OUTPUT PROPERTY=VALUE...
  out=$1
  shift
  timeout 120 gst-launch-1.0 -q filesrc location="$scratch/in.wav" ! wavparse ! audioconvert \
    ! $float ! "$element" "$@" ! audioconvert ! $float ! wavenc ! filesink location="$out" \
    > "$scratch/launch.txt" 2>&1 || { cat "$scratch/launch.txt" >&2; exit 1; }
  [ -s "$out" ] || { echo "gst-launch-1.0 wrote no $out" >&2; exit 1; }
}
status=0
render "$scratch/gst-default.wav"
"$process" --plugin "$library" --quiet "$scratch/in.wav" "$scratch/ours-default.wav"
echo "defaults, GStreamer against ours:"
python3 "$here/float_wavs.py" same "$scratch/gst-default.wav" "$scratch/ours-default.wav" ||
  status=1

# The lists are enumerations named by their texts; Output's port carries our normalised value:
# 0 to 30 dB in 60 half-decibel steps (effect/Parameters.h), so 6 dB is 12/60.
render "$scratch/gst-set.wav" process=Clear ratio=10:1 output=0.2
"$process" --plugin "$library" --quiet --set Process=Clear --set Ratio=10:1 --set Output=6 \
  "$scratch/in.wav" "$scratch/ours-set.wav"
echo "Process Clear, Ratio 10:1, Output 6 dB, GStreamer against ours:"
python3 "$here/float_wavs.py" same "$scratch/gst-set.wav" "$scratch/ours-set.wav" || status=1
echo "GStreamer, the values set against the defaults:"
python3 "$here/float_wavs.py" differ "$scratch/gst-set.wav" "$scratch/gst-default.wav" ||
  status=1
exit $status
