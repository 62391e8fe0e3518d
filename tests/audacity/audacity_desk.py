"""Debian's Audacity 3.2, private to one test run: its own configuration, our plug-in the only
one it finds in VST_PATH and LV2_PATH, and commands through its mod-script-pipe module.

Audacity registers new plug-ins at start-up in a helper process (`audacity --host PORT`)
that loads the enabled modules too: its copy of mod-script-pipe replaces the pipes, and the
main process's copy is left waiting on pipes nobody can reach. So a first run, with the
module off, registers the plug-ins (new ones are enabled without asking) and is stopped once
the registry lists ours; the run under test finds nothing new and owns the pipes.

The pipes are named by user (/tmp/audacity_script_pipe.to.UID and .from.UID): two Audacity
runs at once would answer each other's commands, so a lock file keeps the runs of one user
apart whatever starts them (CTest runs these tests serially as well).
"""
import datetime
import errno
import fcntl
import glob
import json
import os
import re
import select
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "qtractor"))
from qtractor_test import Desk, Failure, log, wait_for  # noqa: E402

MODULE_DIRS = ("/usr/lib/audacity/modules", "/usr/lib/x86_64-linux-gnu/audacity/modules",
               "/usr/local/lib/audacity/modules")
TOOLS = ("audacity", "dpkg-query", "Xvfb", "xdotool", "xwininfo")
LOCK = f"/tmp/krv-audacity-script-pipe.{os.getuid()}.lock"
PIPE_TO = f"/tmp/audacity_script_pipe.to.{os.getuid()}"
PIPE_FROM = f"/tmp/audacity_script_pipe.from.{os.getuid()}"
FINISHED = b"BatchCommand finished: "
# Audacity 3.2 starting on a machine busy with other work.
START_TIMEOUT = 120


def script_pipe_module():
    for folder in MODULE_DIRS:
        path = os.path.join(folder, "mod-script-pipe.so")
        if os.path.exists(path):
            return path
    return None


def missing_tools():
    """What this machine lacks to run Audacity here, for a skip message."""
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if not script_pipe_module():
        missing.append("mod-script-pipe.so (in audacity's package)")
    return missing


def audacity_version():
    """Major, minor and micro of the installed package, which its configuration must name."""
    version = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", "audacity"],
                             capture_output=True, text=True).stdout
    numbers = version.split(":")[-1].split("+")[0].split("-")[0].split(".")
    if len(numbers) < 3 or not all(n.isdigit() for n in numbers[:3]):
        raise Failure(f"cannot read Audacity's version from its package: {version!r}")
    return numbers[:3]


def configuration(temp_dir, module, module_enabled):
    """audacity.cfg: no welcome dialog, unsaved projects in the run's own folder (never in
    /var/tmp, where a project left by another run would bring up crash recovery), no
    dither, 32-bit float WAV export, and mod-script-pipe on or off. The version and the
    module's date are Audacity's own, else it resets the settings or asks about the module."""
    major, minor, micro = audacity_version()
    stamp = datetime.datetime.fromtimestamp(os.stat(module).st_mtime)
    return f"""PrefsVersion=1.1.1r1
[Version]
Major={major}
Minor={minor}
Micro={micro}
[GUI]
ShowSplashScreen=0
[Directories]
TempDir={temp_dir}
[Quality]
DitherAlgorithmChoice=None
HQDitherAlgorithmChoice=None
[FileFormats]
[FileFormats/ExportFormat_SF1_Type]
WAV_10000=6
[Module]
mod-script-pipe={1 if module_enabled else 0}
[ModulePath]
mod-script-pipe={module}
[ModuleDateTime]
mod-script-pipe={stamp.strftime('%Y-%m-%dT%H:%M:%S')}
"""


def registry_sections(text):
    """pluginregistry.cfg as its lines before the first section, then its sections (header
    line and key=value lines)."""
    head, sections = [], []
    for line in text.splitlines():
        if line.startswith("["):
            sections.append([line])
        elif sections:
            sections[-1].append(line)
        else:
            head.append(line)
    return head, sections


def entry_value(section, key):
    for line in section[1:]:
        if line.startswith(key + "="):
            return line[len(key) + 1:]
    return None


class ScriptPipe:
    """A connection to mod-script-pipe: one command a line; the answer is the command's lines,
    then 'BatchCommand finished: OK' (or 'Failed!') and an empty line."""

    def __init__(self, audacity, logtail, timeout=START_TIMEOUT):
        self.audacity = audacity
        self.logtail = logtail

        def connect():
            self.expect_running()
            # Opened for writing only once Audacity reads it: a pipe left by an earlier run
            # has no reader, and would otherwise hold the open for ever.
            try:
                return os.open(PIPE_TO, os.O_WRONLY | os.O_NONBLOCK)
            except OSError as error:
                if error.errno in (errno.ENXIO, errno.ENOENT):
                    return None
                raise
        self.to = wait_for("Audacity's script pipe to take a command", connect, timeout)
        # Closing it again would end the session and make Audacity lay new pipes: the reader
        # must be ours, or the commands go to another Audacity of this user.
        wait_for("our Audacity to be the one reading the script pipe (another Audacity of "
                 "this user, started without the lock?)", lambda: self.holds(self.to), 10)
        os.set_blocking(self.to, True)
        self.reader = os.open(PIPE_FROM, os.O_RDONLY | os.O_NONBLOCK)
        self.pending = b""

    def holds(self, end):
        """Whether our Audacity has this pipe open."""
        pipe = os.fstat(end)
        folder = f"/proc/{self.audacity.pid}/fd"
        for fd in os.listdir(folder):
            try:
                held = os.stat(os.path.join(folder, fd))
            except OSError:
                continue
            if (held.st_dev, held.st_ino) == (pipe.st_dev, pipe.st_ino):
                return True
        return False

    def expect_running(self):
        if self.audacity.poll() is not None:
            raise Failure(f"Audacity stopped (status {self.audacity.returncode}):\n"
                          + self.logtail())

    def send(self, command):
        os.write(self.to, (command + "\n").encode())

    def answer(self, timeout):
        """The next answer: an empty line, the command's lines, 'BatchCommand finished: OK'
        (or 'Failed!') and an empty line."""
        deadline = time.monotonic() + timeout
        while True:
            finished = self.pending.find(FINISHED)
            end = self.pending.find(b"\n\n", finished) if finished >= 0 else -1
            if end >= 0:
                text, self.pending = self.pending[:end].decode(), self.pending[end + 2:]
                return text.strip("\n")
            self.expect_running()
            left = deadline - time.monotonic()
            if left <= 0:
                raise Failure(f"no answer from Audacity within {timeout} s; so far:\n"
                              + self.pending.decode(errors="replace"))
            if select.select([self.reader], [], [], min(left, 1.0))[0]:
                chunk = os.read(self.reader, 65536)
                if not chunk:
                    raise Failure("Audacity closed its script pipe:\n" + self.logtail())
                self.pending += chunk

    def command(self, command, timeout=120):
        """Runs a command; its answer without the closing line. A failed command fails."""
        log(f"> {command}")
        self.send(command)
        body, _, status = self.answer(timeout).rpartition(FINISHED.decode())
        if status.strip() != "OK":
            raise Failure(f"Audacity answered {command!r} with {status.strip()!r}:\n{body}")
        return body.strip()

    def close(self):
        os.close(self.to)
        os.close(self.reader)


class AudacityDesk(Desk):
    """Xvfb and Audacity with a throwaway home; plug-ins from the given folders only, as far
    as Audacity lets (it adds the system's LV2 folders to LV2_PATH: those plug-ins are
    disabled once registered)."""

    def __init__(self, vst_plugin=None, lv2_path=None):
        class Args:
            pass
        args = Args()
        args.lv2_path = lv2_path
        super().__init__(args)
        self.module = script_pipe_module()
        self.config_dir = os.path.join(self.env["XDG_CONFIG_HOME"], "audacity")
        os.makedirs(self.config_dir)
        # An empty VST folder unless a plug-in is given: no system VST plug-in is scanned.
        vst_dir = os.path.join(self.root, "vst")
        os.makedirs(vst_dir)
        self.env["VST_PATH"] = vst_dir
        if vst_plugin:
            shutil.copy(vst_plugin, vst_dir)
        if not lv2_path:
            self.env["LV2_PATH"] = os.path.join(self.root, "no-lv2")
            os.makedirs(self.env["LV2_PATH"])
        self.audacity = None
        self.pipe = None
        self.runs = 0
        self.lock = None

    def take_lock(self, timeout=600):
        self.lock = open(LOCK, "w")

        def taken():
            try:
                fcntl.flock(self.lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                return True
            except BlockingIOError:
                return False
        wait_for(f"another Audacity run of this user to end (lock {LOCK})", taken, timeout,
                 interval=1)

    def close(self, keep):
        if self.pipe:
            self.pipe.close()
        super().close(keep)
        if self.lock:
            self.lock.close()

    def registry_path(self):
        return os.path.join(self.config_dir, "pluginregistry.cfg")

    def write_configuration(self, module_enabled):
        self.runs += 1
        temp_dir = os.path.join(self.root, f"projects-{self.runs}")
        os.makedirs(temp_dir)
        with open(os.path.join(self.config_dir, "audacity.cfg"), "w") as f:
            f.write(configuration(temp_dir, self.module, module_enabled))

    def launch(self, env):
        self.audacity = self.start(["audacity"], "audacity.log", env)

    def log_of_audacity(self):
        return self.logtail("audacity.log")

    def register(self, plugin_path):
        """The first run: Audacity registers what it finds and is stopped once the registry
        lists our plug-in (by its registry path) as valid and enabled. Every other plug-in
        of a plug-in family is then disabled, so menus hold ours alone."""
        self.write_configuration(module_enabled=False)
        self.launch(self.env)

        def ours_registered():
            if self.audacity.poll() is not None:
                raise Failure(f"Audacity stopped while registering plug-ins (status "
                              f"{self.audacity.returncode}):\n" + self.log_of_audacity())
            try:
                with open(self.registry_path()) as f:
                    _, sections = registry_sections(f.read())
            except OSError:
                return None
            for section in sections:
                if entry_value(section, "Path") == plugin_path:
                    return section if (entry_value(section, "Valid") == "1" and
                                       entry_value(section, "Enabled") == "1") else None
            return None
        section = wait_for(f"Audacity to register {plugin_path}", ours_registered,
                           START_TIMEOUT, interval=0.5)
        log(f"Audacity registered {entry_value(section, 'EffectFamily')} "
            f"{entry_value(section, 'Name')!r} from {plugin_path}")
        self.stop(self.audacity)
        self.keep_only(plugin_path)

    def keep_only(self, plugin_path):
        with open(self.registry_path()) as f:
            head, sections = registry_sections(f.read())
        disabled = []
        for section in sections:
            if (entry_value(section, "EffectFamily") in ("LV2", "VST", "LADSPA", "Vamp")
                    and entry_value(section, "Path") != plugin_path):
                section[:] = ["Enabled=0" if line.startswith("Enabled=") else line
                              for line in section]
                disabled.append(entry_value(section, "Path"))
        if disabled:
            log(f"disabled {len(disabled)} other plug-ins: " + ", ".join(disabled))
        with open(self.registry_path(), "w") as f:
            f.write("\n".join(head + [line for s in sections for line in s]) + "\n")

    def open(self, preload=None, extra_env=None):
        """The run under test: the script pipe on, nothing new to register."""
        self.write_configuration(module_enabled=True)
        env = dict(self.env, **(extra_env or {}))
        if preload:
            env["LD_PRELOAD"] = preload
        self.launch(env)

        def main_window():
            self.expect_running()
            found = self.x("xdotool", "search", "--onlyvisible", "--name", "^Audacity$",
                           check=False).split()
            return found[0] if found else None
        # The module answers from the start, but runs commands (and ends its answers with
        # their status) only once the project window is there.
        self.window = wait_for("Audacity's main window", main_window, START_TIMEOUT)
        self.pipe = ScriptPipe(self.audacity, self.log_of_audacity)
        self.pipe.command("Help: Command=Help", timeout=START_TIMEOUT)
        return self.pipe

    def expect_running(self):
        if self.audacity.poll() is not None:
            raise Failure(f"Audacity stopped (status {self.audacity.returncode}):\n"
                          + self.log_of_audacity())

    def menus(self):
        """Every menu item as Audacity lists it: depth, label and command id."""
        text = self.pipe.command("GetInfo: Type=Menus Format=JSON")
        # Audacity escapes more than JSON allows: an underscore of a path comes as "\_".
        text = re.sub(r'\\(\\|[^"\\/bfnrtu])',
                      lambda m: m.group(0) if m.group(1) == "\\" else m.group(1), text)
        try:
            return json.loads(text)
        except json.JSONDecodeError as error:
            raise Failure(f"Audacity's menu list does not read as JSON ({error}): "
                          f"{text[max(0, error.pos - 300):error.pos + 100]!r}")

    def mapped_library(self, name):
        """The path of a library of that file name mapped into Audacity, if any."""
        with open(f"/proc/{self.audacity.pid}/maps") as f:
            for line in f:
                path = line.split(None, 5)[-1].strip()
                if os.path.basename(path) == name:
                    return path
        return None


def suil_module_dir():
    """The folder holding suil's X11-in-GTK3 wrapper, as the package installed it."""
    listed = subprocess.run(["dpkg-query", "-L", "libsuil-0-0"], capture_output=True,
                            text=True).stdout.split() if shutil.which("dpkg-query") else []
    found = [p for p in listed if os.path.basename(p) == "libsuil_x11_in_gtk3.so"]
    found += glob.glob("/usr/lib/*/suil-0/libsuil_x11_in_gtk3.so")
    return os.path.dirname(found[0]) if found else None
