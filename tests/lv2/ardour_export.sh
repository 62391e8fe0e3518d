#!/bin/sh
# Ardour 7, headless on its dummy backend: two seconds of the backend's sine recorded on a
# track, our plug-in added with a factory preset and Output set, the take exported through
# it as 32-bit float; our own render of the same take through the VST library must equal
# the export. Equal means to the last bit but for the noise floor: its generator runs on
# for an instance's whole life, and Ardour's instance ran before the export, so a sample
# may differ in its last bit. Skipped (77) without ardour7-lua.
#
# Ardour 7.3 headless now and then corrupts its own heap while it records and exports on
# the dummy backend, with or without our plug-in on the track (2 to 5 runs in 12 of a
# throwaway script with no plug-in at all aborted so, on a busy machine): a run that dies
# by a signal before its export is done is made again, up to five times.
# Usage: ardour_export.sh LV2_PATH KRV_PROCESS VST_LIBRARY
set -eu
search=$1
process=$2
library=$3
here=$(cd "$(dirname "$0")" && pwd)
command -v ardour7-lua > /dev/null || { echo "ardour7-lua is not installed: skipped"; exit 77; }
uri=$(grep -B1 '^ *a lv2:Plugin' "$search/krv-tarnwick.lv2/manifest.ttl" | sed -n 's/^<\(.*\)>$/\1/p' | head -n 1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A home of its own: no first-run wizard, the dummy backend offered, and an export preset
# of 32-bit float WAV without dither or normalising (Ardour's own format of that kind).
config=$scratch/home/.config/ardour7
mkdir -p "$config/export"
touch "$config/.a7"
echo '<Ardour><Config><Option name="hide-dummy-backend" value="0"/></Config></Ardour>' > "$config/config"
cat > "$config/export/krv-float.preset" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="5d3f7a8e-2b1c-4e59-9a77-0c1f2e3d4b5a" name="krv float">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
  <ExportFilename><Folder relative="1" path="export"/><Field name="timespan" enabled="1"/></ExportFilename>
</ExportPreset>
XML
session=$scratch/session
mkdir -p "$scratch/out"

cat > "$scratch/export.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_device_name("Sine Wave")
AudioEngine:start(false)
local s = create_session("$session", "s", 48000)
assert(s, "no session")
local t = s:new_audio_track(2, 2, nil, 1, "T", -1, ARDOUR.TrackMode.Normal, true):front()
t:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
s:maybe_enable_record(false)
s:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(2000000)
s:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
-- The take is written and becomes a region after the transport has stopped.
for _ = 1, 50 do
  if not s:transport_rolling() and not t:playlist():region_list():empty() then break end
  ARDOUR.LuaAPI.usleep(100000)
end
ARDOUR.LuaAPI.usleep(500000)
t:rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)
-- The take, not the backend's live sine, goes through the plug-in from now on.
t:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorDisk, PBD.GroupControlDisposition.NoGroup)
local take
for region in t:playlist():region_list():iter() do take = region end
assert(take, "nothing recorded")
-- Ardour's region fades would shape the input; our render has none.
take:to_audioregion():set_fade_in_active(false)
take:to_audioregion():set_fade_out_active(false)
local p = ARDOUR.LuaAPI.new_plugin(s, "$uri", ARDOUR.PluginType.LV2, "Glue Things Together")
assert(not p:isnil(), "no plug-in")
t:add_processor_by_index(p, 0, nil, true)
ARDOUR.LuaAPI.set_processor_param(p, 4, 0.42)
ARDOUR.LuaAPI.usleep(300000)
local e = s:simple_export()
assert(e:set_preset("5d3f7a8e-2b1c-4e59-9a77-0c1f2e3d4b5a"), "no export preset")
e:set_folder("$scratch/out")
e:set_name("mix")
e:set_range(take:position():samples(), take:position():samples() + take:length():samples())
assert(e:run_export(), "the export failed")
print("EXPORTED")
close_session()
LUA

for attempt in 1 2 3 4 5; do
  rm -rf "$session" "$scratch/out"
  mkdir -p "$scratch/out"
  status=0
  HOME=$scratch/home LV2_PATH=$search timeout 90 ardour7-lua "$scratch/export.lua" \
    > "$scratch/export.log" 2>&1 || status=$?
  grep -q '^EXPORTED$' "$scratch/export.log" && [ -f "$scratch/out/mix.wav" ] && break
  if [ "$status" -le 128 ] || [ "$attempt" -eq 5 ]; then
    cat "$scratch/export.log" >&2; echo "ardour7-lua failed (status $status)" >&2; exit 1
  fi
  echo "ardour7-lua died by signal $((status - 128)) before exporting; once more"
done
takes=$(find "$session/interchange" -name 'Take1_T-1*.wav' | sort)
left=$(echo "$takes" | grep '%L.wav$')
right=$(echo "$takes" | grep '%R.wav$')
[ -f "$left" ] && [ -f "$right" ] || { echo "no recorded take: $takes" >&2; exit 1; }
[ -f "$scratch/out/mix.wav" ] || { echo "no export in $scratch/out" >&2; ls -l "$scratch/out" >&2; exit 1; }
python3 "$here/float_wavs.py" merge "$left" "$right" "$scratch/take.wav"
"$process" --plugin "$library" --preset "Glue Things Together" --set Output=0.42 --quiet \
  "$scratch/take.wav" "$scratch/ours.wav"
# One step of a float's last bit at the export's level (about 0.5) is 6e-8: on a quiet
# machine no sample differs by more, on a busy one a few by three steps (1.8e-7), spread
# evenly over the take as the noise floor's are; a wrong value or rate differs by far more.
python3 "$here/float_wavs.py" compare "$scratch/out/mix.wav" "$scratch/ours.wav" 2.4e-7 0.5
