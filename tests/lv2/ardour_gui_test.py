#!/usr/bin/env python3
"""Our editor in Ardour 7's GUI, as Debian 12 packages it, on a private Xvfb.

  ardour_gui_test.py --plugin URI --lv2-path DIR [--screenshot PNG]

A session with the plug-in on one track is made headless (ardour7-lua), then opened in Ardour
on its dummy backend. The plug-in's window is opened from the mixer strip; it must show our
editor (400x309). Then, as a user would:
- the factory preset "Kick" chosen in Ardour's preset bar becomes our selected program;
- a click on the Process switch's Off end reaches Ardour;
- a file our store refuses (loaded through the editor's file dialog, a stub zenity here)
  shows our error box over the editor; the box leaves when Ardour hides the plug-in's
  window and comes back with it;
- a name typed into the name field while Ardour hides the window is kept.
The session Ardour saves must hold Process Off as the port's value and in the store the
core runs, with "Kick" selected and renamed as typed.
Exit status 77 (skipped) when Ardour or a tool it needs is missing.
"""
import argparse
import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "qtractor"))
from qtractor_test import (SKIP, BLOB_HEADER, BLOB_NAME, Desk, Failure,  # noqa: E402
                           expect_store_runs_off, log, our_blob, run_test, wait_for)

# resources/skin/SkinLayout.h kProcessSwitch: its right end is Off.
PROCESS_OFF = (358, 85)
# Where Ardour 7.3 draws, in its mixer with a fresh configuration, the track's plug-in entry.
PLUGIN_ENTRY = (334, 206)
# In Ardour's plug-in window: the preset bar's list, and "Kick" in the menu it opens (the
# factory presets sorted by name).
PRESET_LIST = (149, 16)
KICK_ITEM = (137, 308)
KICK = 16  # src/presets/FactoryPresets.cpp
# In our editor (resources/skin/SkinLayout.h): the name field and the load-preset button.
NAME_FIELD = (194, 292)
LOAD_PRESET = (125, 285)
TYPED_NAME = "Kept while hidden"
# No first-run wizard; the dummy backend offered and started without asking.
CONFIG = """<Ardour><Config><Option name="hide-dummy-backend" value="0"/>
<Option name="try-autostart-engine" value="1"/></Config>
<Extra><AudioMIDISetup><EngineStates><State backend="None (Dummy)" driver="Normal Speed"
 device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024"
 n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1"
 use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1"><MIDIDevices/></State>
</EngineStates></AudioMIDISetup></Extra></Ardour>
"""
MAKE_SESSION = """AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
local s = create_session("{session}", "s", 48000)
assert(s, "no session")
local t = s:new_audio_track(2, 2, nil, 1, "T", -1, ARDOUR.TrackMode.Normal, true):front()
local p = ARDOUR.LuaAPI.new_plugin(s, "{uri}", ARDOUR.PluginType.LV2, "")
assert(not p:isnil(), "no plug-in")
t:add_processor_by_index(p, 0, nil, true)
s:save_state("", false, false, false, false, false)
close_session()
"""


def saved_process(session):
    """The process port's value and the saved store's Process, once Ardour has saved."""
    try:
        with open(os.path.join(session, "s.ardour")) as f:
            text = f.read()
    except OSError:
        return None
    port = re.search(r'<Port symbol="process" value="([^"]*)"/>', text)
    state_dir = re.search(r'<lv2 [^>]*state-dir="([^"]*)"', text)
    if not port or not state_dir:
        return None
    states = glob.glob(os.path.join(session, "plugins", "*", state_dir.group(1), "state.ttl"))
    if not states:
        return None
    with open(states[0]) as f:
        return float(port.group(1)), f.read()


def selected_program(blob):
    """The selected program and the name of the one running, in our saved store."""
    selected = struct.unpack_from("<I", blob, 8)[0]
    name = blob[BLOB_HEADER:BLOB_HEADER + BLOB_NAME].split(b"\0")[0].decode("latin-1")
    return selected, name


def error_box(desk):
    found = desk.x("xdotool", "search", "--onlyvisible", "--name", r"^Error\.\.\.$",
                   check=False).split()
    return found[0] if found else None


def edit_box_open(desk, editor):
    return "1 child" in desk.x("xwininfo", "-children", "-id", editor, check=False)


def run(args):
    missing = [tool for tool in ("ardour", "ardour7-lua", "Xvfb", "xdotool", "xwininfo")
               if not shutil.which(tool)]
    if missing:
        log("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    desk = Desk(args)
    passed = False
    try:
        config = os.path.join(desk.env["XDG_CONFIG_HOME"], "ardour7")
        os.makedirs(config)
        open(os.path.join(config, ".a7"), "w").close()
        with open(os.path.join(config, "config"), "w") as f:
            f.write(CONFIG)
        # The editor's file dialog runs zenity: a stub that chooses a file our store refuses.
        stubs = os.path.join(desk.root, "bin")
        os.makedirs(stubs)
        refused = os.path.join(desk.root, "refused.krv")
        with open(refused, "wb") as f:
            f.write(b"not a preset of ours" * 4)
        zenity = os.path.join(stubs, "zenity")
        with open(zenity, "w") as f:
            f.write(f"#!/bin/sh\necho '{refused}'\n")
        os.chmod(zenity, 0o755)
        desk.env["PATH"] = stubs + os.pathsep + desk.env["PATH"]
        session = os.path.join(desk.root, "session")
        script = os.path.join(desk.root, "make.lua")
        with open(script, "w") as f:
            f.write(MAKE_SESSION.format(session=session, uri=args.plugin))
        made = subprocess.run(["ardour7-lua", script], env=desk.env, capture_output=True,
                              text=True, timeout=60)
        if made.returncode != 0 or not os.path.exists(os.path.join(session, "s.ardour")):
            raise Failure("ardour7-lua did not make the session:\n" + made.stdout + made.stderr)
        first = saved_process(session)
        if not first or first[0] != 2.0:
            raise Failure("the new session does not hold Process Valve")

        desk.start_x()
        ardour = desk.start(["ardour", "-a", "-n", os.path.join(session, "s.ardour")],
                            "ardour.log")

        def main_window():
            if ardour.poll() is not None:
                raise Failure(f"Ardour stopped (status {ardour.returncode}):\n"
                              + desk.logtail("ardour.log"))
            found = desk.x("xdotool", "search", "--name", "^s - Ardour$", check=False).split()
            return found[0] if found else None
        desk.window = wait_for("Ardour's window with the session", main_window, 90)
        time.sleep(2)  # the window fills in after it is mapped
        desk.xdotool("windowfocus", "--sync", desk.window, "key", "alt+m")
        editor = None
        for attempt in range(3):
            time.sleep(1)
            desk.xdotool("mousemove", "--sync", *map(str, PLUGIN_ENTRY), "click", "--repeat",
                         "2", "--delay", "80", "1")
            try:
                editor = wait_for("our editor in Ardour's plug-in window", desk.editor_window, 10)
                break
            except Failure:
                log(f"no editor after double-click {attempt + 1}")
        if not editor:
            raise Failure("double-clicking the mixer's plug-in entry did not open our editor")
        log(f"editor window {editor}")
        plugin_window = wait_for("Ardour's plug-in window", lambda: desk.x(
            "xdotool", "search", "--name", "^T: KRV tarnwick", check=False).split(), 10)[0]

        # The preset bar: "Kick".
        desk.xdotool("mousemove", "--window", plugin_window, "--sync", *map(str, PRESET_LIST),
                     "click", "1")
        wait_for("the preset bar's menu", lambda: desk.popup("ardour"), 10)
        desk.xdotool("mousemove", "--window", plugin_window, "--sync", *map(str, KICK_ITEM),
                     "click", "1")
        desk.xdotool("mousemove", "--window", editor, "--sync", *map(str, PROCESS_OFF),
                     "click", "1")

        # A refused file: our box over the editor, hidden and shown with Ardour's window.
        desk.xdotool("mousemove", "--window", editor, "--sync", *map(str, LOAD_PRESET),
                     "click", "1")
        box = wait_for("our error box over the editor", lambda: error_box(desk), 20)
        if args.screenshot:
            desk.screenshot(os.path.abspath(args.screenshot))
        desk.xdotool("windowunmap", "--sync", plugin_window)
        wait_for("the error box to leave with the hidden editor", lambda: not error_box(desk), 10)
        desk.xdotool("windowmap", "--sync", plugin_window)
        wait_for("the error box back with the editor", lambda: error_box(desk) == box, 10)
        desk.xdotool("windowfocus", "--sync", box, "key", "Return")
        wait_for("the error box to close", lambda: not error_box(desk), 10)

        # A rename under way when Ardour hides the window.
        desk.xdotool("mousemove", "--window", editor, "--sync", *map(str, NAME_FIELD),
                     "click", "1")
        wait_for("the name field's edit box", lambda: edit_box_open(desk, editor), 10)
        desk.xdotool("type", "--delay", "20", TYPED_NAME)
        desk.xdotool("windowunmap", "--sync", plugin_window)
        wait_for("the edit to end with the hidden editor",
                 lambda: not edit_box_open(desk, editor), 10)
        desk.xdotool("windowmap", "--sync", plugin_window)

        def saved_off():
            found = saved_process(session)
            return found if found and found[0] == 0.0 else None
        for attempt in range(3):
            desk.xdotool("windowfocus", "--sync", desk.window, "key", "ctrl+s")
            try:
                port, turtle = wait_for("the session saved with Process Off", saved_off, 5)
                break
            except Failure:
                log(f"not saved with Process Off after ctrl+s {attempt + 1}")
        else:
            found = saved_process(session)
            raise Failure("Ardour did not save Process Off: the port holds "
                          + (str(found[0]) if found else "nothing"))
        expect_store_runs_off(args.plugin, turtle, port)
        selected, name = selected_program(our_blob(args.plugin, turtle))
        log(f"the store has program {selected} selected, named {name!r}")
        if (selected, name) != (KICK, TYPED_NAME):
            raise Failure(f"the store saved program {selected} named {name!r}, not Kick "
                          f"({KICK}) renamed {TYPED_NAME!r}")
        passed = True
        log("PASS")
        return 0
    finally:
        desk.finish(passed)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--plugin", required=True)
    parser.add_argument("--lv2-path", required=True)
    parser.add_argument("--screenshot")
    return run_test(run, parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
