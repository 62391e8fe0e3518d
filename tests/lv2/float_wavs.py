#!/usr/bin/env python3
"""32-bit float WAV files for the Ardour export test: two mono takes merged into one stereo
file, and two stereo files compared sample by sample.

  float_wavs.py merge LEFT RIGHT OUT
  float_wavs.py compare A B MAX_DIFFERENCE MIN_IDENTICAL_SHARE
"""
import struct
import sys

def read(path):
    """The rate and the channels of a 32-bit float WAV file."""
    d = open(path, 'rb').read()
    i, fmt, data = 12, None, None
    while i + 8 <= len(d):
        cid, n = d[i:i+4], struct.unpack('<I', d[i+4:i+8])[0]
        if cid == b'fmt ':
            fmt = struct.unpack('<HHIIHH', d[i+8:i+24])
        elif cid == b'data':
            data = d[i+8:i+8+n]
        i += 8 + n + (n & 1)
    tag, channels, rate, _, _, bits = fmt
    assert bits == 32 and tag in (3, 0xFFFE), fmt
    count = len(data) // 4
    values = struct.unpack('<%df' % count, data)
    return rate, [values[c::channels] for c in range(channels)]

def write(path, rate, chans):
    """A 32-bit float WAV file of the channels."""
    frames = len(chans[0])
    inter = [chans[c][f] for f in range(frames) for c in range(len(chans))]
    data = struct.pack('<%df' % len(inter), *inter)
    fmt = struct.pack('<HHIIHH', 3, len(chans), rate, rate * 4 * len(chans), 4 * len(chans), 32)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', 16) + fmt + b'data' + struct.pack('<I', len(data)) + data
    open(path, 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)

def compare(a_path, b_path, most, share):
    _, a = read(a_path)
    _, b = read(b_path)
    if len(a) != len(b) or len(a[0]) != len(b[0]):
        print(f"{a_path} and {b_path} differ in shape")
        return 1
    frames = len(a[0])
    status = 0
    for c in range(len(a)):
        diff = max(abs(x - y) for x, y in zip(a[c], b[c]))
        same = sum(1 for x, y in zip(a[c], b[c]) if x == y)
        peak = max(abs(x) for x in a[c])
        print(f"channel {c}: peak {peak:.4f}, largest difference {diff:.3g}, "
              f"{same} of {frames} samples identical")
        if peak < 0.01 or diff > most or same < share * frames:
            status = 1
    return status


if __name__ == '__main__':
    if sys.argv[1] == 'merge':
        rate, (left,) = read(sys.argv[2])
        _, (right,) = read(sys.argv[3])
        write(sys.argv[4], rate, [left, right])
    else:
        sys.exit(compare(sys.argv[2], sys.argv[3], float(sys.argv[4]), float(sys.argv[5])))
