#!/usr/bin/env python3
"""Our editor in jalv.gtk3, as Debian 12 packages it, on a private Xvfb and JACK server.

  jalv_ui_test.py --plugin URI --lv2-path DIR [--screenshot PNG]

jalv embeds the editor (400x309) under its menu. A factory preset chosen from jalv's Presets
menu must become our selected program. A click on the Process switch's Off end must reach the
plug-in through jalv: the meter jalv prints falls back to no reduction, and the state jalv
saves (File > Save) holds Process Off both as the port's value and in the store the core runs,
with the preset's program selected. Exit status 77 (skipped) when jalv.gtk3 or a tool it needs
is missing.
"""
import argparse
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "qtractor"))
from qtractor_test import (SKIP, BLOB_HEADER, Desk, Failure,  # noqa: E402
                           expect_store_runs_off, log, our_blob, run_test, wait_for)

# resources/skin/SkinLayout.h kProcessSwitch: its right end is Off.
PROCESS_OFF = (358, 85)
# jalv.gtk3 1.6.6's menu bar: File, and Save in the menu it opens (window coordinates).
FILE_MENU = (19, 12)
SAVE_ITEM = (46, 37)
# Its Presets menu, and the first preset in it (lilv's order, not ours: whichever it is).
PRESETS_MENU = (70, 12)
FIRST_PRESET = (120, 88)
RECORD = 72  # a program in our saved store: a 24-byte name and 12 floats


def last_meter(desk):
    values = re.findall(r"^meter = ([0-9.]+)$", desk.logtail("jalv.log", 5), re.M)
    return values[-1] if values else None


def run(args):
    missing = [tool for tool in ("jalv.gtk3", "jackd", "jack_wait", "Xvfb", "xdotool",
                                 "xwininfo", "stdbuf") if not shutil.which(tool)]
    if missing:
        log("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    desk = Desk(args)
    desk.env["JACK_DEFAULT_SERVER"] = f"krv-jalv-{os.getpid()}"
    passed = False
    try:
        desk.start_x()
        desk.start_jack()
        # Line-buffered, so that the printed controls can be followed as they come.
        jalv = desk.start(["stdbuf", "-oL", "jalv.gtk3", "--jack-name", "krv-jalv",
                           "--print-controls", args.plugin], "jalv.log")

        def editor():
            if jalv.poll() is not None:
                raise Failure(f"jalv.gtk3 stopped (status {jalv.returncode}):\n"
                              + desk.logtail("jalv.log"))
            return desk.editor_window()
        ours = wait_for("our 400x309 editor inside jalv's window", editor, 30)
        log(f"editor window {ours}")
        desk.window = wait_for("jalv's window", lambda: desk.x(
            "xdotool", "search", "--name", "^KRV tarnwick$", check=False).split(), 10)[0]
        if "process = 2.000000" not in desk.logtail("jalv.log", 200):
            raise Failure("jalv did not start the plug-in on Process Valve:\n"
                          + desk.logtail("jalv.log"))
        # A factory preset from jalv's menu becomes our selected program.
        desk.xdotool("mousemove", "--window", desk.window, "--sync", *map(str, PRESETS_MENU),
                     "click", "1")
        wait_for("jalv's Presets menu", lambda: desk.popup("jalv"), 10)
        desk.xdotool("mousemove", "--window", desk.window, "--sync", *map(str, FIRST_PRESET),
                     "click", "1")
        wait_for("the Presets menu to close", lambda: not desk.popup("jalv"), 10)
        # Valve at rest on silence shows a trace of reduction; Off shows none.
        wait_for("the meter to settle", lambda: float(last_meter(desk) or 1) < 1, 10)
        desk.xdotool("mousemove", "--window", ours, "--sync", *map(str, PROCESS_OFF), "click", "1")
        wait_for("the meter jalv prints to show no reduction",
                 lambda: last_meter(desk) == "1.000000", 10)
        if args.screenshot:
            desk.screenshot(os.path.abspath(args.screenshot))

        saved = os.path.join(desk.root, "saved")
        desk.xdotool("mousemove", "--window", desk.window, "--sync", *map(str, FILE_MENU),
                     "click", "1")
        wait_for("jalv's File menu", lambda: desk.popup("jalv"), 10)
        desk.xdotool("mousemove", "--window", desk.window, "--sync", *map(str, SAVE_ITEM),
                     "click", "1")
        dialog = wait_for("jalv's Save State dialog", lambda: desk.x(
            "xdotool", "search", "--name", "^Save State$", check=False).split(), 10)[0]
        state_file = os.path.join(saved, "state.ttl")

        def state():
            try:
                with open(state_file) as f:
                    text = f.read()
            except OSError:
                return None
            return text if text.rstrip().endswith(".") else None

        def taken():
            return os.path.isdir(saved) or dialog not in desk.x(
                "xdotool", "search", "--name", "^Save State$", check=False).split()

        # On a busy machine GTK's chooser may miss the typing of a dialog just mapped, and
        # ignores Return while it still looks up the typed path: Return again until it
        # takes the path, and type the path anew (over what is there) now and then.
        def path_taken():
            desk.xdotool("windowfocus", "--sync", dialog, "key", "ctrl+a", "type", "--delay",
                         "20", saved)
            for _ in range(5):
                if taken():
                    return True
                desk.xdotool("windowfocus", "--sync", dialog, "key", "Return")
                try:
                    return wait_for("the dialog to take Return", taken, 2)
                except Failure:
                    pass
            return False
        wait_for("jalv's Save State dialog to take the path", path_taken, 90, interval=0)
        turtle = wait_for("the state jalv saves", state, 30)
        port = re.search(r'lv2:symbol "process" ;\s*pset:value ([-0-9.e]+)', turtle)
        if not port or float(port.group(1)) != 0.0:
            raise Failure("jalv saved the process port not as Off:\n" + turtle[:1500])
        expect_store_runs_off(args.plugin, turtle, port.group(1))
        blob = our_blob(args.plugin, turtle)
        selected = int.from_bytes(blob[8:12], "little")

        def name(program):
            at = BLOB_HEADER + program * RECORD
            return blob[at:at + 24].split(b"\0")[0].decode("latin-1")
        log(f"the store has program {selected} selected, running as {name(0)!r}")
        if selected == 0 or name(0) != name(selected):
            raise Failure(f"jalv's preset did not select our program: program {selected} is "
                          f"selected, {name(0)!r} runs")
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
