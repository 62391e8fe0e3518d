#!/usr/bin/env python3
"""32-bit float WAV files for the host tests: two mono takes merged into one stereo file, an
integer WAV file made float, and two files compared sample by sample (to a tolerance, or bit
for bit).

  float_wavs.py merge LEFT RIGHT OUT
  float_wavs.py float INTEGER_WAV OUT
  float_wavs.py compare A B MAX_DIFFERENCE MIN_IDENTICAL_SHARE
  float_wavs.py same A B      (exit 0 when every sample's bits are equal)
  float_wavs.py differ A B    (exit 0 when the shapes are equal and some sample is not)
"""
import struct
import sys
import wave

def read(path, as_bits=False):
    """The rate and the channels of a 32-bit float WAV file; as_bits, each sample's 32 bits as
    an integer, so that equal means equal to the bit (-0 is not 0, a NaN is itself)."""
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
    values = struct.unpack('<%d%s' % (count, 'I' if as_bits else 'f'), data)
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

def make_float(in_path, out_path):
    """A 16- or 24-bit WAV file as 32-bit float, exactly: each sample over 2^(bits - 1)."""
    with wave.open(in_path) as source:
        width, channels = source.getsampwidth(), source.getnchannels()
        rate, raw = source.getframerate(), source.readframes(source.getnframes())
    assert width in (2, 3), f"{in_path}: {8 * width}-bit samples"
    scale = float(1 << (8 * width - 1))
    values = [int.from_bytes(raw[i:i+width], 'little', signed=True) / scale
              for i in range(0, len(raw), width)]
    write(out_path, rate, [values[c::channels] for c in range(channels)])


def bit_compare(a_path, b_path, want_same):
    """Whether A and B hold the same samples to the bit (want_same) or differ in some sample;
    files of different shapes are neither."""
    a_rate, a = read(a_path, as_bits=True)
    b_rate, b = read(b_path, as_bits=True)
    _, a_values = read(a_path)
    if a_rate != b_rate or len(a) != len(b) or len(a[0]) != len(b[0]):
        print(f"{a_path} and {b_path} differ in shape: {len(a)} channels of {len(a[0])} frames "
              f"at {a_rate} Hz, {len(b)} of {len(b[0])} at {b_rate} Hz")
        return 1
    differing = 0
    for c in range(len(a)):
        unequal = [f for f, (x, y) in enumerate(zip(a[c], b[c])) if x != y]
        differing += len(unequal)
        where = f", the first at frame {unequal[0]}" if unequal else ""
        peak = max(abs(x) for x in a_values[c])
        print(f"channel {c}: peak {peak:.4f} in {a_path.split('/')[-1]}, "
              f"{len(unequal)} of {len(a[c])} samples differ{where}")
    return 0 if (differing == 0) == want_same else 1


if __name__ == '__main__':
    if sys.argv[1] == 'merge':
        rate, (left,) = read(sys.argv[2])
        _, (right,) = read(sys.argv[3])
        write(sys.argv[4], rate, [left, right])
    elif sys.argv[1] == 'float':
        make_float(sys.argv[2], sys.argv[3])
    elif sys.argv[1] in ('same', 'differ'):
        sys.exit(bit_compare(sys.argv[2], sys.argv[3], sys.argv[1] == 'same'))
    else:
        sys.exit(compare(sys.argv[2], sys.argv[3], float(sys.argv[4]), float(sys.argv[5])))
