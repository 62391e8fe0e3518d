#!/bin/sh
# The LV2 bundle as the LV2 tools read it: Turtle syntax (serdi), every restriction of the
# LV2 vocabularies (lv2_validate, also with the editor described), lilv's reading of it
# (lv2info), and the DSP library's libraries: the C library and libm only.
# Usage: bundle_checks.sh BUNDLE LV2_PATH TTL_GENERATOR "NAME <EMAIL>"
set -eu
bundle=$1 search=$2 generator=$3 maintainer=$4
# The plug-in's URI as the manifest gives it: the subject followed by "a lv2:Plugin".
uri=$(grep -B1 '^ *a lv2:Plugin' "$bundle/manifest.ttl" | sed -n 's/^<\(.*\)>$/\1/p' | head -n 1)
[ -n "$uri" ] || { echo "no plug-in in $bundle/manifest.ttl" >&2; exit 1; }
files="manifest.ttl krv-tarnwick.ttl presets.ttl"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

validate() {
  (cd "$1" && lv2_validate $files) > "$scratch/validate.txt" 2>&1 || {
    cat "$scratch/validate.txt" >&2; echo "lv2_validate failed in $1" >&2; exit 1; }
  grep -q '^Found 0 errors' "$scratch/validate.txt" || {
    cat "$scratch/validate.txt" >&2; exit 1; }
}

for f in $files; do
  serdi -l -i turtle -o ntriples "$bundle/$f" > /dev/null
done
validate "$bundle"
# The editor's lines, written once its library is built, pass the same checks.
mkdir "$scratch/with-ui"
"$generator" "$scratch/with-ui" "$maintainer" --ui
grep -q 'ui:X11UI' "$scratch/with-ui/krv-tarnwick.ttl"
validate "$scratch/with-ui"

LV2_PATH=$search lv2info "$uri" > "$scratch/info.txt" 2> "$scratch/info-errors.txt"
if [ -s "$scratch/info-errors.txt" ]; then cat "$scratch/info-errors.txt" >&2; exit 1; fi
for symbol in in_l in_r out_l out_r process ratio time compression output meter; do
  grep -q "Symbol: *$symbol\$" "$scratch/info.txt" || { echo "lv2info shows no port $symbol" >&2; exit 1; }
done
grep -q '"Valve"' "$scratch/info.txt"
grep -q '"10:1"' "$scratch/info.txt"
presets=$(sed -n '/Presets:/,/^$/p' "$scratch/info.txt" | grep -c '^	  ' || true)
[ "$presets" -eq 32 ] || { echo "lv2info lists $presets presets" >&2; exit 1; }

# The stereo groups hosts keep and build streams from (lv2info does not show them), read back
# as triples: the plug-in's main input and output, their symbols, each channel's place.
serdi -i turtle -o ntriples "$bundle/krv-tarnwick.ttl" > "$scratch/plugin.nt"
lv2=http://lv2plug.in/ns/lv2core# pg=http://lv2plug.in/ns/ext/port-groups#
triple() {
  grep -qxF "$1 <$2> $3 ." "$scratch/plugin.nt" || { echo "no triple: $1 <$2> $3" >&2; exit 1; }
}
triple "<$uri>" "${pg}mainInput" "<$uri#in>"
triple "<$uri>" "${pg}mainOutput" "<$uri#out>"
for group in in out; do
  triple "<$uri#$group>" "${lv2}symbol" "\"$group\""
  triple "<$uri#$group>" http://www.w3.org/1999/02/22-rdf-syntax-ns#type "<${pg}StereoGroup>"
done
for port in "in_l in left" "in_r in right" "out_l out left" "out_r out right"; do
  set -- $port
  node=$(sed -n "s|^\([^ ]*\) <${lv2}symbol> \"$1\" \.\$|\1|p" "$scratch/plugin.nt")
  [ -n "$node" ] || { echo "no port $1 in the triples" >&2; exit 1; }
  triple "$node" "${pg}group" "<$uri#$2>"
  triple "$node" "${lv2}designation" "<${pg}$3>"
done

needed=$(readelf -d "$bundle/krv-tarnwick_dsp.so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for library in $needed; do
  case $library in
    libc.so.*|libm.so.*|libpthread.so.*|libdl.so.*|ld-linux*) ;;
    *) echo "the DSP library needs $library" >&2; exit 1 ;;
  esac
done
