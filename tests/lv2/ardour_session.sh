#!/bin/sh
# Ardour 7, headless on its dummy backend: a session with our plug-in loaded from a factory
# preset and one parameter set is saved, its state file holds our blob, and the session
# loads again with the preset's and the set values. Skipped (77) without ardour7-lua.
# Usage: ardour_session.sh LV2_PATH
set -eu
search=$1
command -v ardour7-lua > /dev/null || { echo "ardour7-lua is not installed: skipped"; exit 77; }
uri=$(grep -B1 '^ *a lv2:Plugin' "$search/krv-tarnwick.lv2/manifest.ttl" | sed -n 's/^<\(.*\)>$/\1/p' | head -n 1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A home of its own: no first-run wizard, the dummy backend offered.
mkdir -p "$scratch/home/.config/ardour7"
touch "$scratch/home/.config/ardour7/.a7"
echo '<Ardour><Config><Option name="hide-dummy-backend" value="0"/></Config></Ardour>' \
  > "$scratch/home/.config/ardour7/config"
session=$scratch/session

cat > "$scratch/save.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
local s = create_session("$session", "s", 48000)
assert(s, "no session")
local t = s:new_audio_track(2, 2, nil, 1, "T", -1, ARDOUR.TrackMode.Normal, true):front()
local p = ARDOUR.LuaAPI.new_plugin(s, "$uri", ARDOUR.PluginType.LV2, "Glue Things Together")
assert(not p:isnil(), "no plug-in")
t:add_processor_by_index(p, 0, nil, true)
ARDOUR.LuaAPI.set_processor_param(p, 4, 0.42)
s:save_state("", false, false, false, false, false)
close_session()
LUA
cat > "$scratch/load.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
local s = load_session("$session", "s")
assert(s, "no session")
local p = s:route_by_name("T"):nth_plugin(0)
assert(not p:isnil(), "no plug-in")
for i = 0, 4 do print(string.format("param %d %.6f", i, ARDOUR.LuaAPI.get_processor_param(p, i))) end
close_session()
LUA

run() {
  HOME=$scratch/home LV2_PATH=$search timeout 60 ardour7-lua "$1" > "$1.log" 2>&1 || {
    cat "$1.log" >&2; echo "ardour7-lua $1 failed" >&2; exit 1; }
}
run "$scratch/save.lua"
state=$(find "$session/plugins" -name state.ttl | head -n 1)
[ -n "$state" ] || { echo "no state.ttl in the saved session" >&2; exit 1; }
# Our key, holding a blob that starts with the magic "KRVS" (base64 "S1JWU").
grep -q "<$uri#state> \"\"\"S1JWU" "$state" || { cat "$state" >&2; echo "our state is missing" >&2; exit 1; }

run "$scratch/load.lua"
# Process Valve (2), Ratio 3:1 (3), Time 0.6 and Compression 0.375 from the preset, Output as set.
expected="param 0 2.000000
param 1 3.000000
param 2 0.600000
param 3 0.375000
param 4 0.420000"
got=$(grep '^param ' "$scratch/load.lua.log")
[ "$got" = "$expected" ] || { echo "after loading: $got" >&2; exit 1; }
