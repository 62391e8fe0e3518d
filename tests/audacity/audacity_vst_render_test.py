#!/usr/bin/env python3
"""Debian's Audacity 3.2 renders a 96 kHz track through our VST plug-in as krv-process does.

  audacity_vst_render_test.py --plugin SO --process KRV_PROCESS

The demo pattern (krv-process --demo), raised to 96 kHz, as a 32-bit float stereo WAV file,
is imported into Audacity, all of it processed by the plug-in at its default settings (the
effect's script command) and exported as a 32-bit float WAV file without dither. Every sample
must equal krv-process's render of the same file. Audacity sets the sample rate while the
effect is running (44100 Hz at resume, the track's rate just before processing): an effect
that keeps the rate it had at resume renders with the wrong time constants. Exit status 77
(skipped) when Audacity or a tool it needs is missing.
"""
import argparse
import math
import os
import subprocess
import sys

from audacity_desk import AudacityDesk, missing_tools

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "qtractor"))
sys.path.insert(0, os.path.join(here, "..", "lv2"))
import float_wavs  # noqa: E402
from qtractor_test import SKIP, Failure, log, run_test  # noqa: E402

RATE = 96000
# Audacity's own rate for an effect before it learns the track's.
FIRST_RATE = 44100


def pcm_wav(path):
    """The rate and channels of an integer PCM WAV file, as floats from -1 to 1."""
    with open(path, "rb") as f:
        data = f.read()
    position, fmt, samples = 12, None, None
    while position + 8 <= len(data):
        kind = data[position:position + 4]
        size = int.from_bytes(data[position + 4:position + 8], "little")
        if kind == b"fmt ":
            fmt = data[position + 8:position + 24]
        elif kind == b"data":
            samples = data[position + 8:position + 8 + size]
        position += 8 + size + (size & 1)
    channels = int.from_bytes(fmt[2:4], "little")
    rate = int.from_bytes(fmt[4:8], "little")
    width = int.from_bytes(fmt[14:16], "little") // 8
    scale = float(1 << (8 * width - 1))
    values = [int.from_bytes(samples[i:i + width], "little", signed=True) / scale
              for i in range(0, len(samples) - width + 1, width)]
    return rate, [values[c::channels] for c in range(channels)]


def doubled_rate(channels):
    """Each channel at twice its rate: every sample, then the mean of it and the next."""
    raised = []
    for samples in channels:
        out = []
        for sample, following in zip(samples, list(samples[1:]) + [0.0]):
            out += [sample, (sample + following) * 0.5]
        raised.append(out)
    return raised


def make_input(process, plugin, folder):
    """The demo pattern (48 kHz) at 96 kHz, 32-bit float stereo: the file both hosts render."""
    subprocess.run([process, "--plugin", plugin, "--quiet", "--demo", folder], check=True,
                   capture_output=True, timeout=120)
    rate, channels = pcm_wav(os.path.join(folder, "demo.wav"))
    if rate * 2 != RATE or len(channels) != 2:
        raise Failure(f"the demo pattern is {len(channels)} channels at {rate} Hz, not stereo "
                      f"at {RATE // 2} Hz")
    path = os.path.join(folder, "input-96k.wav")
    float_wavs.write(path, RATE, doubled_rate(channels))
    return path


def render(process, plugin, source, target, rate=None):
    """krv-process's render; at another rate, of the same samples said to be at that rate."""
    if rate:
        _, channels = float_wavs.read(source)
        source = target + ".input.wav"
        float_wavs.write(source, rate, channels)
    subprocess.run([process, "--plugin", plugin, "--quiet", source, target], check=True,
                   capture_output=True, timeout=120)
    return float_wavs.read(target)


def rms_dbfs(channels):
    total = sum(x * x for samples in channels for x in samples)
    count = sum(len(samples) for samples in channels)
    return 10 * math.log10(total / count) if total else float("-inf")


def differences(ours, theirs):
    """The first differing frame (or None) and the number of differing samples."""
    first, count = None, 0
    for channel, (a, b) in enumerate(zip(ours, theirs)):
        for frame, (x, y) in enumerate(zip(a, b)):
            if x != y:
                count += 1
                if first is None or frame < first[0]:
                    first = (frame, channel, x, y)
    return first, count


def run(args):
    missing = missing_tools()
    if missing:
        log("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    plugin = os.path.abspath(args.plugin)
    desk = AudacityDesk(vst_plugin=plugin)
    passed = False
    try:
        desk.take_lock()
        source = make_input(args.process, plugin, os.path.join(desk.root, "demo"))
        ours = os.path.join(desk.root, "krv-process.wav")
        _, expected = render(args.process, plugin, source, ours)

        desk.start_x()
        registered = os.path.join(desk.env["VST_PATH"], os.path.basename(plugin)) + ";0"
        desk.register(registered)
        pipe = desk.open()
        exported = os.path.join(desk.root, "audacity.wav")
        pipe.command(f'Import2: Filename="{source}"')
        tracks = pipe.command("GetInfo: Type=Tracks")
        log(tracks)
        pipe.command("SelectAll:")
        pipe.command("KrvTarnwick:", timeout=300)
        pipe.command(f'Export2: Filename="{exported}" NumChannels=2', timeout=300)

        rate, rendered = float_wavs.read(exported)
        log(f"Audacity's export: {len(rendered)} channels at {rate} Hz, "
            f"{len(rendered[0])} frames; RMS {rms_dbfs(rendered):.2f} dBFS, "
            f"krv-process's {rms_dbfs(expected):.2f} dBFS")
        if rate != RATE or len(rendered) != 2 or len(rendered[0]) != len(expected[0]):
            raise Failure(f"Audacity exported {len(rendered)} channels of {len(rendered[0])} "
                          f"frames at {rate} Hz, not 2 of {len(expected[0])} at {RATE} Hz")
        first, count = differences(expected, rendered)
        if first:
            frame, channel, x, y = first
            _, at_first_rate = render(args.process, plugin, source,
                                      os.path.join(desk.root, "krv-process-44k.wav"),
                                      FIRST_RATE)
            same_as_first_rate = not differences(at_first_rate, rendered)[0]
            raise Failure(
                f"{count} samples differ; the first at frame {frame} ({frame / RATE:.6f} s), "
                f"channel {channel}: krv-process {x!r}, Audacity {y!r}"
                + (f". Audacity's render equals krv-process's of the same samples at "
                   f"{FIRST_RATE} Hz: the effect ran at the rate it had at resume"
                   if same_as_first_rate else ""))
        log(f"all {2 * len(expected[0])} samples equal")
        passed = True
        log("PASS")
        return 0
    finally:
        desk.finish(passed)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--plugin", required=True)
    parser.add_argument("--process", required=True)
    return run_test(run, parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
