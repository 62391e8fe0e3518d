#!/usr/bin/env python3
"""Our editor in the effect dialog of Debian's Audacity 3.2, on a private Xvfb.

  audacity_editor_test.py --plugin SO [--screenshot PNG]
  audacity_editor_test.py --plugin URI --lv2-path DIR --preload SO [--screenshot PNG]

A stereo track of noise, all selected; the effect's dialog opened from the Effect menu with
the keyboard, as a user opens it. Our editor (400x309), from the build, must be embedded in
the dialog. VST: the plug-in file, alone in VST_PATH. LV2: our bundle by URI from LV2_PATH.

LV2 runs through a workaround for the package's fault: its Audacity sets SUIL_MODULE_DIR to
an empty string at start-up, so suil looks for its X11-in-GTK3 wrapper at
/libsuil_x11_in_gtk3.so, fails, and Audacity shows generic sliders instead of our editor,
without a word; users of the package see those sliders. The preload (suil_module_dir.c) turns
that empty value into suil's real module folder and reports what Audacity set: the log says
whether the package still has the fault, and the day it is fixed the test still shows the
editor embedded. Exit status 77 (skipped) when Audacity or a tool it needs is missing.
"""
import argparse
import os
import shutil
import subprocess
import sys

from audacity_desk import AudacityDesk, missing_tools, suil_module_dir

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "qtractor"))
from qtractor_test import SKIP, Failure, log, run_test, wait_for  # noqa: E402

EDITOR_SIZE = "400x309"
LV2_EDITOR_LIBRARY = "krv-tarnwick_ui.so"


def effect_menu_ends_with(menus, registered):
    """Our effect must be the Effect menu's last item, where End takes the keyboard."""
    effect = [i for i, item in enumerate(menus)
              if item["depth"] == 0 and item["label"] == "Effect"]
    if not effect:
        raise Failure("Audacity lists no Effect menu")
    items = []
    for item in menus[effect[0] + 1:]:
        if item["depth"] == 0:
            break
        if item["depth"] == 1 and item["label"] != "----":
            items.append(item)
    last = items[-1] if items else {}
    if not last.get("id", "").endswith("_" + registered):
        raise Failure(f"the Effect menu ends with {last}, not our plug-in")
    log(f"the Effect menu ends with {last['label']!r} ({last['id']})")


def open_our_effect(desk):
    """Effect menu (alt+c), its last item (End), Return: the effect's dialog, once the menu
    has closed. Each key waits for what the one before opened."""
    desk.xdotool("windowfocus", "--sync", desk.window, "key", "alt+c")
    wait_for("the Effect menu to open", lambda: desk.popup("audacity"), 20)
    desk.xdotool("key", "End", "Return")
    found = wait_for("our effect's dialog", lambda: desk.x(
        "xdotool", "search", "--onlyvisible", "--name", "^KRV tarnwick$", check=False).split(),
        60)
    wait_for("the Effect menu to close", lambda: not desk.popup("audacity"), 20)
    return found[0]


def wait_until_drawn(desk, window):
    """The window's pixels the same in two looks: drawn, with nothing left of the menu."""
    if not shutil.which("import"):
        return
    previous = [None]

    def unchanged():
        picture = subprocess.run(["import", "-window", window, "rgb:-"], env=desk.env,
                                 capture_output=True, timeout=30).stdout
        same = bool(picture) and picture == previous[0]
        previous[0] = picture
        return same
    wait_for("the editor's picture to settle", unchanged, 30, interval=0.5)


def embedded_editor(desk, dialog):
    """Our editor's window inside the dialog's window tree, if it is there."""
    tree = desk.x("xwininfo", "-id", dialog, "-tree", check=False)
    windows = [line.split()[0] for line in tree.splitlines() if EDITOR_SIZE + "+" in line]
    return windows[-1] if windows else None


def suil_report(path):
    """What the preload saw Audacity set, for the log: whether the package still has it."""
    try:
        with open(path) as f:
            lines = f.read().splitlines()
    except OSError:
        lines = []
    if not lines:
        log("Audacity set no SUIL_MODULE_DIR: the preload changed nothing (package fixed?)")
    for line in lines:
        log(line + ("  <- the package's fault, worked around" if "corrected" in line else
                    "  (the package may be fixed: the preload kept it)"))


def run(args):
    lv2 = bool(args.lv2_path)
    missing = missing_tools()
    module_dir = suil_module_dir() if lv2 else None
    if lv2 and not module_dir:
        missing.append("suil's libsuil_x11_in_gtk3.so (libsuil-0-0)")
    if missing:
        log("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    if lv2:
        desk = AudacityDesk(lv2_path=args.lv2_path)
        registered = args.plugin
        library = LV2_EDITOR_LIBRARY
        # Where the editor library may come from: the bundles in LV2_PATH.
        sources = {os.path.realpath(os.path.join(args.lv2_path, name))
                   for name in os.listdir(args.lv2_path)}
    else:
        desk = AudacityDesk(vst_plugin=os.path.abspath(args.plugin))
        library = os.path.basename(args.plugin)
        registered = os.path.join(desk.env["VST_PATH"], library) + ";0"
        sources = {os.path.realpath(desk.env["VST_PATH"])}
    passed = False
    try:
        desk.take_lock()
        desk.start_x()
        desk.register(registered)
        if lv2:
            report = os.path.join(desk.root, "suil-module-dir.txt")
            pipe = desk.open(preload=os.path.abspath(args.preload),
                             extra_env={"KRV_SUIL_MODULE_DIR": module_dir,
                                        "KRV_SUIL_REPORT": report})
        else:
            pipe = desk.open()
        pipe.command("NewStereoTrack:")
        pipe.command("SelectTime: Start=0 End=1")
        pipe.command("Noise: Type=Pink Amplitude=0.5")
        pipe.command("SelectAll:")
        effect_menu_ends_with(desk.menus(), registered)

        dialog = open_our_effect(desk)
        editor = wait_for(f"our {EDITOR_SIZE} editor embedded in the effect's dialog",
                          lambda: embedded_editor(desk, dialog), 30)
        log(f"editor window {editor} in the effect's dialog {dialog}")
        mapped = desk.mapped_library(library)
        if not mapped or os.path.dirname(os.path.realpath(mapped)) not in sources:
            raise Failure(f"Audacity runs the editor from {mapped}, not from the build")
        log(f"editor library: {mapped}")
        if lv2:
            suil_report(report)
        if args.screenshot:
            wait_until_drawn(desk, editor)
            desk.screenshot(os.path.abspath(args.screenshot))
        passed = True
        log("PASS")
        return 0
    finally:
        desk.finish(passed)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--plugin", required=True)
    parser.add_argument("--lv2-path")
    parser.add_argument("--preload")
    parser.add_argument("--screenshot")
    args = parser.parse_args()
    if args.lv2_path and not args.preload:
        parser.error("LV2 needs --preload: the correction of Audacity's SUIL_MODULE_DIR")
    return run_test(run, args)


if __name__ == "__main__":
    sys.exit(main())
