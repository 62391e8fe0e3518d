#!/usr/bin/env python3
"""The built plug-in in Qtractor, as Debian 12 packages it.

  qtractor_test.py scan    --type VST2|CLAP --plugin FILE --scanner PATH
  qtractor_test.py session --type VST2|CLAP --plugin FILE --seqshim SO [--screenshot PNG]
  qtractor_test.py session --type LV2 --plugin URI --lv2-path DIR --seqshim SO [--screenshot PNG]

scan: Qtractor's plug-in scanner lists the plug-in with its buses, parameters and features.
session: a session with the plug-in on one track, on a private Xvfb and a private JACK server
(dummy driver). The editor is opened from the track's plug-in list, the Output knob dragged
with xdotool and stored in memory A, dragged further and memory A recalled, the session saved
and closed; it is then loaded again and saved again. The saved files must hold the value
memory A took both times, and for CLAP and LV2 the same state block. LV2
plug-ins are found through LV2_PATH (a folder holding only our bundle) and named by URI.

Exit status 77 (skipped) when Qtractor or a tool it needs is missing.
"""
import argparse
import base64
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import struct
import tempfile
import time
import xml.etree.ElementTree as ET
import zlib

SKIP = 77
NAME = "KRV tarnwick"
# Scanner fields: type, name, audio in:out, MIDI in:out, parameters in:out, features.
SCAN_FIELDS = {
    "VST2": ["VST", NAME, "2:2", "0:0", "12:0", "GUI,RT"],
    "CLAP": ["CLAP", NAME, "2:2", "0:0", "5:0", "GUI,EXT,RT"],
}
EDITOR_SIZE = (400, 309)
# The Output knob's centre in the editor (resources/skin/SkinLayout.h), and the drag: 60 pixels
# up from its default 0 moves it well past a tenth of its range.
OUTPUT_KNOB = (315, 200)
DRAG_STEPS = 3
DRAG_STEP = 20
# Where Qtractor 0.9.31 draws, in its main window, the first track's plug-in list entry, its
# mute button and the transport's play button (the window's layout with a fresh
# configuration).
PLUGIN_ENTRY = (180, 179)
MUTE_BUTTON = (75, 207)
PLAY_BUTTON = (240, 77)
# The editor's store A and recall A buttons (SkinLayout.h kStoreA, kRecallA).
STORE_A = (308, 285)
RECALL_A = (333, 285)


class Failure(Exception):
    pass


def log(message):
    print(message, flush=True)


def wait_for(what, predicate, timeout, interval=0.2):
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def scan(args):
    if not os.access(args.scanner, os.X_OK):
        log(f"SKIP: Qtractor's plug-in scanner is not installed ({args.scanner})")
        return SKIP
    plugin = os.path.abspath(args.plugin)
    result = subprocess.run([args.scanner], input=f"{args.type}:{plugin}\n", text=True,
                            capture_output=True, timeout=60)
    log(result.stdout + result.stderr)
    expected = SCAN_FIELDS[args.type] + [plugin, "0"]
    for line in result.stdout.splitlines():
        fields = line.split("|")
        if fields[:len(expected)] == expected:
            log("listed as: " + line)
            return 0
    raise Failure("the scanner did not list the plug-in as " + "|".join(expected) + "|...")


class Desk:
    """Xvfb, JACK and Qtractor, private to this run, stopped whatever happens."""

    def __init__(self, args):
        self.args = args
        self.root = tempfile.mkdtemp(prefix="krv-qtractor-")
        self.processes = []
        home = os.path.join(self.root, "home")
        runtime = os.path.join(self.root, "run")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ)
        # A throwaway home: no user configuration, recent files or plug-in paths leak in.
        self.env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        XDG_RUNTIME_DIR=runtime,
                        JACK_DEFAULT_SERVER=f"krv-qtractor-{os.getpid()}",
                        JACK_NO_AUDIO_RESERVATION="1")
        for name in ("LD_PRELOAD", "CLAP_PATH", "VST_PATH", "LV2_PATH", "SESSION_MANAGER"):
            self.env.pop(name, None)
        if args.lv2_path:
            self.env["LV2_PATH"] = os.path.abspath(args.lv2_path)
        self.qtractor = None

    def start(self, argv, logname, env=None):
        out = open(os.path.join(self.root, logname), "ab")
        process = subprocess.Popen(argv, env=env or self.env, stdout=out,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        out.close()
        self.processes.append(process)
        return process

    def stop(self, process, timeout=10):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def finish(self, passed):
        """Stops everything; a failed test leaves a screenshot and its files for a look."""
        if not passed and "DISPLAY" in self.env:
            self.screenshot(os.path.join(self.root, "failure.png"))
        self.close(keep=not passed)

    def close(self, keep):
        for process in reversed(self.processes):
            self.stop(process)
        if keep:
            log(f"files kept in {self.root}")
        else:
            shutil.rmtree(self.root, ignore_errors=True)

    def logtail(self, logname, lines=30):
        try:
            with open(os.path.join(self.root, logname), errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except OSError:
            return ""

    def start_x(self):
        reader, writer = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(writer), "-screen", "0", "1280x900x24",
                                 "-nolisten", "tcp", "-noreset"], pass_fds=(writer,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(xvfb)
        os.close(writer)
        # Xvfb writes its display number once it accepts clients: no two tests share one.
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            if not select.select([reader], [], [], 0.5)[0]:
                continue
            chunk = os.read(reader, 16)
            if not chunk:
                break
            number += chunk
        os.close(reader)
        if not number.strip():
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def start_jack(self):
        self.start(["jackd", "--no-realtime", "-d", "dummy", "-r", "48000", "-p", "1024"],
                   "jackd.log")
        waited = subprocess.run(["jack_wait", "-w", "-t", "20"], env=self.env,
                                capture_output=True, text=True, timeout=30)
        if waited.returncode != 0:
            raise Failure("the JACK server did not start:\n" + self.logtail("jackd.log"))

    def x(self, *argv, timeout=15, check=True):
        result = subprocess.run(list(argv), env=self.env, capture_output=True, text=True,
                                timeout=timeout)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(argv)} failed: {result.stderr.strip()}")
        return result.stdout

    def xdotool(self, *argv):
        return self.x("xdotool", *argv)

    def open_qtractor(self, session):
        env = dict(self.env, LD_PRELOAD=os.path.abspath(self.args.seqshim))
        self.qtractor = self.start(["qtractor", session], "qtractor.log", env)
        # The main window's name is the session file once that is loaded.
        pattern = re.escape(session) + r"( \[modified\])?$"

        def main_window():
            if self.qtractor.poll() is not None:
                raise Failure(f"Qtractor stopped (status {self.qtractor.returncode}):\n"
                              + self.logtail("qtractor.log"))
            found = self.x("xdotool", "search", "--name", pattern, check=False).split()
            return found[0] if found else None

        self.window = wait_for("Qtractor's window with the session", main_window, 60)

    def click(self, point, count=1):
        self.xdotool("mousemove", "--window", self.window, "--sync", str(point[0]),
                     str(point[1]), "click", "--repeat", str(count), "--delay", "80", "1")

    def popup(self, window_class):
        """A popup menu of the program's shown: a mapped override-redirect window of its
        class."""
        for window in self.x("xdotool", "search", "--onlyvisible", "--class", window_class,
                             check=False).split():
            if "Override Redirect State: yes" in self.x("xwininfo", "-id", window, check=False):
                return window
        return None

    def editor_window(self):
        # The deepest window of the editor's size: ours, inside Qtractor's frame for it.
        tree = self.x("xwininfo", "-root", "-tree")
        size = "%dx%d+" % EDITOR_SIZE
        windows = [line.split()[0] for line in tree.splitlines() if size in line]
        return windows[-1] if windows else None

    def open_editor(self):
        for attempt in range(3):
            self.click(PLUGIN_ENTRY, 2)
            try:
                return wait_for("the plug-in's editor", self.editor_window, 10)
            except Failure:
                log(f"no editor after double-click {attempt + 1}")
        raise Failure("double-clicking the track's plug-in entry did not open a "
                      "%dx%d editor:\n" % EDITOR_SIZE + self.logtail("qtractor.log"))

    def click_editor(self, editor, point):
        self.xdotool("mousemove", "--window", editor, "--sync", str(point[0]), str(point[1]),
                     "click", "1", "sleep", "0.3")

    def drag_output_knob(self, editor):
        steps = []
        for _ in range(DRAG_STEPS):
            steps += ["sleep", "0.1", "mousemove_relative", "--sync", "0", str(-DRAG_STEP)]
        self.xdotool("mousemove", "--window", editor, "--sync", str(OUTPUT_KNOB[0]),
                     str(OUTPUT_KNOB[1]), "mousedown", "1", *steps, "sleep", "0.3",
                     "mouseup", "1")

    def roll(self, seconds=1.0):
        # Qtractor runs a track's plug-ins only while its transport rolls (its play button
        # starts and stops it): until then an LV2 plug-in's core has not seen its ports'
        # new values.
        self.click(PLAY_BUTTON)
        time.sleep(seconds)
        # The pointer is still on the button (a move to where it is would wait forever).
        self.xdotool("click", "1")
        time.sleep(0.3)

    def save(self, session):
        before = os.stat(session).st_mtime_ns

        def saved():
            try:
                return os.stat(session).st_mtime_ns != before and ET.parse(session)
            except (OSError, ET.ParseError):
                return None  # still being written
        # Qtractor saves only a session it holds modified, and takes an LV2 editor's port
        # writes in on its own timer.
        wait_for("Qtractor to hold the session modified", lambda: "[modified]" in self.x(
            "xdotool", "getwindowname", self.window, check=False), 10)
        # A key pressed while Qtractor is still settling after a load can go unheard.
        for attempt in range(3):
            self.xdotool("windowfocus", "--sync", self.window, "key", "ctrl+s")
            try:
                return wait_for("the saved session", saved, 5)
            except Failure:
                log(f"not saved after ctrl+s {attempt + 1}")
        raise Failure("Qtractor did not save the session on ctrl+s (it saves only a session "
                      "it holds modified)")

    def quit(self):
        # File > Exit.
        self.xdotool("windowfocus", "--sync", self.window, "key", "alt+f")
        wait_for("Qtractor's File menu", lambda: self.popup("qtractor"), 10)
        self.xdotool("key", "x")
        try:
            self.qtractor.wait(20)
        except subprocess.TimeoutExpired:
            self.screenshot(os.path.join(self.root, "quit.png"))
            raise Failure("Qtractor did not quit from File > Exit (a question left open?)")

    def screenshot(self, path):
        if not shutil.which("import"):
            return
        # The screen where Qtractor's main window lies, its editor window over it included.
        crop = []
        if getattr(self, "window", None):
            shape = dict(line.split("=", 1) for line in self.x(
                "xdotool", "getwindowgeometry", "--shell", self.window, check=False).split())
            if {"X", "Y", "WIDTH", "HEIGHT"} <= shape.keys():
                crop = ["-crop", "{WIDTH}x{HEIGHT}+{X}+{Y}".format(**shape), "+repage"]
        self.x("import", "-window", "root", *crop, path, timeout=30, check=False)
        log(f"screenshot: {path}")


# Qtractor 0.9.31 keeps an LV2 plug-in's whole state as one config entry: the plug-in's state
# written as Turtle, compressed the Qt way (a big-endian length, then zlib), in base64.
LV2_STATE_KEY = "urn:qtractor:state#key"
# Our own key in it holds the store (presets/StateBlob.h): "KRVS", version, selected program,
# then 33 programs of a 24-byte name and 12 little-endian floats; program 0 is what runs.
BLOB_HEADER = 12
BLOB_NAME = 24
BLOB_PROCESS = 0  # parameters::kProcess; Off is 0 normalised
BLOB_OUTPUT = 6  # parameters::kOutput


def lv2_state_blob(plugin, text):
    packed = base64.b64decode("".join(text.split()), validate=True)
    turtle = zlib.decompress(packed[4:]).decode()
    if len(turtle) != int.from_bytes(packed[:4], "big"):
        raise Failure("Qtractor's LV2 state is not the length it says")
    return our_blob(plugin, turtle)


def our_blob(plugin, turtle):
    """Our store from an LV2 state written as Turtle by lilv."""
    found = re.search(re.escape(f"<{plugin}#state>") + r'\s*"""([^"]*)"""', turtle)
    if not found:
        raise Failure("the LV2 state holds no value under our key:\n" + turtle[:2000])
    blob = base64.b64decode("".join(found.group(1).split()), validate=True)
    if blob[:4] != b"KRVS":
        raise Failure(f"our LV2 state does not start with our magic: {blob[:8]!r}")
    return blob


def running_value(blob, index):
    """A parameter's value (normalised) in the program the plug-in's core ran when saved."""
    return struct.unpack_from("<f", blob, BLOB_HEADER + BLOB_NAME + 4 * index)[0]


def running_output(blob):
    return running_value(blob, BLOB_OUTPUT)


def expect_store_runs_off(plugin, turtle, port):
    """Our LV2 state as a host saved it runs Process Off, as its process port says."""
    running = running_value(our_blob(plugin, turtle), BLOB_PROCESS)
    log(f"saved process port {port}, the store runs Process {running}")
    if running != 0.0:
        raise Failure(f"the plug-in's store runs Process {running}, not Off")


def run_test(test, args):
    """Runs a test: 1 for a failure; a timeout or ^C still stops its servers."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        return test(args)
    except (Failure, subprocess.TimeoutExpired) as error:
        log(f"FAIL: {error}")
        return 1


def plugin_record(session):
    plugins = ET.parse(session).getroot().findall(".//track/plugins/plugin")
    if len(plugins) != 1:
        raise Failure(f"{session} holds {len(plugins)} plug-ins on its track, not one")
    plugin = plugins[0]
    output = [p.text for p in plugin.iter("param") if p.get("name") == "Output"]
    if len(output) != 1:
        raise Failure(f"{session} holds no single Output parameter:\n"
                      + ET.tostring(plugin, encoding="unicode"))
    if plugin.get("type") == "LV2":
        state = [lv2_state_blob(plugin.findtext("filename"), c.text or "")
                 for c in plugin.iter("config") if c.get("key") == LV2_STATE_KEY]
        return float(output[0]), (state[0] if state else None)
    # Base64 in lines.
    state = ["".join((c.text or "").split()) for c in plugin.iter("config")
             if c.get("key") == "state"]
    return float(output[0]), (state[0] if state else None)


def session_xml(name, directory, kind, plugin):
    root = ET.Element("session", name=name)
    properties = ET.SubElement(root, "properties")
    ET.SubElement(properties, "directory").text = directory
    ET.SubElement(properties, "sample-rate").text = "48000"
    track = ET.SubElement(ET.SubElement(root, "tracks"), "track", type="audio", name="T")
    track_properties = ET.SubElement(track, "properties")
    ET.SubElement(track_properties, "input-bus").text = "Master"
    ET.SubElement(track_properties, "output-bus").text = "Master"
    entry = ET.SubElement(ET.SubElement(track, "plugins"), "plugin", type=kind)
    ET.SubElement(entry, "filename").text = plugin
    ET.SubElement(entry, "index").text = "0"
    ET.SubElement(entry, "label").text = NAME
    ET.SubElement(entry, "activated").text = "on"
    return ET.tostring(root, encoding="unicode")


def session(args):
    missing = [tool for tool in ("qtractor", "jackd", "jack_wait", "Xvfb", "xdotool", "xwininfo")
               if not shutil.which(tool)]
    if missing:
        log("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    desk = Desk(args)
    passed = False
    try:
        desk.start_x()
        desk.start_jack()
        directory = os.path.join(desk.root, "session")
        os.makedirs(directory)
        path = os.path.join(directory, "krv.qtr")
        with open(path, "w") as f:
            plugin = args.plugin if args.type == "LV2" else os.path.abspath(args.plugin)
            f.write(session_xml("krv", directory, args.type, plugin))

        # The user's gesture, saved.
        desk.open_qtractor(path)
        editor = desk.open_editor()
        log(f"editor window {editor}")
        desk.drag_output_knob(editor)
        desk.save(path)
        dragged, _ = plugin_record(path)
        log(f"saved Output {dragged} after the drag")
        if not dragged > 0.1:
            raise Failure(f"Output saved as {dragged}: the drag up from 0 did not reach the host")
        # Memory A taken at once, before the host has run the plug-in since the drag; a
        # further drag, and recall A must bring the dragged value back.
        desk.click_editor(editor, STORE_A)
        desk.drag_output_knob(editor)
        desk.save(path)
        further, _ = plugin_record(path)
        log(f"saved Output {further} after the second drag")
        if not further > dragged:
            raise Failure(f"Output saved as {further} after a second drag up from {dragged}")
        desk.click_editor(editor, RECALL_A)
        desk.roll()
        if args.screenshot:
            desk.screenshot(os.path.abspath(args.screenshot))
        desk.save(path)
        output, state = plugin_record(path)
        log(f"saved Output {output} after recall A, state {len(state) if state else 0} "
            "characters")
        if output != dragged:
            raise Failure(f"recall A gave Output {output}, not {dragged} as stored")
        if args.type == "CLAP":
            if not state:
                raise Failure("no <config key=\"state\"> stored for the CLAP plug-in")
            if not base64.b64decode(state, validate=True):
                raise Failure("the stored CLAP state is empty")
        if args.type == "LV2":
            if not state:
                raise Failure("Qtractor stored no LV2 state for the plug-in")
            # The port's value reached the core: the store it saved runs the same Output.
            running = running_output(state)
            log(f"the saved store runs Output {running}")
            if abs(running - output) > 1e-5:
                raise Failure(f"the port saved Output {output}, the plug-in's store {running}")
        desk.quit()

        # Loaded again and saved again: the value and the state come back from the plug-in.
        desk.open_qtractor(path)
        # Loading changes nothing: Qtractor must not hold the session modified.
        time.sleep(2)
        title = desk.x("xdotool", "getwindowname", desk.window, check=False)
        if "[modified]" in title:
            raise Failure(f"the session counts as modified right after loading: {title.strip()}")
        desk.click(MUTE_BUTTON)  # a change of the track's own, so that the session saves
        desk.save(path)
        if ET.parse(path).find(".//track/state/mute").text != "1":
            raise Failure("the second save does not hold the track muted: not saved anew")
        output_again, state_again = plugin_record(path)
        log(f"saved again Output {output_again}")
        if output_again != output:
            raise Failure(f"Output {output} came back as {output_again}")
        if state_again != state:
            raise Failure(f"the {args.type} state changed between loading and saving")
        desk.quit()
        passed = True
        log("PASS")
        return 0
    finally:
        desk.finish(passed)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=("scan", "session"))
    parser.add_argument("--type", choices=("VST2", "CLAP", "LV2"), required=True)
    parser.add_argument("--plugin", required=True)
    parser.add_argument("--scanner")
    parser.add_argument("--seqshim")
    parser.add_argument("--lv2-path")
    parser.add_argument("--screenshot")
    args = parser.parse_args()
    return run_test(scan if args.mode == "scan" else session, args)


if __name__ == "__main__":
    sys.exit(main())
