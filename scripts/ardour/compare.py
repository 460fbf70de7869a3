#!/usr/bin/env python3
"""Compares two 32-bit float WAV renders sample by sample.
usage: compare.py [--within DB] LABEL A.wav B.wav
Prints one line: the same samples, or the largest difference in dB below B's peak and where it is.
Exits 0 when the samples are the same (with --within, also when the largest difference lies at
least DB below B's peak), 1 otherwise."""
import math
import sys

import wav

args = sys.argv[1:]
within = None
if args[:1] == ["--within"]:
    within = float(args[1])
    args = args[2:]
label, path_a, path_b = args[:3]
ch_a, rate_a, a = wav.read(path_a)
ch_b, rate_b, b = wav.read(path_b)
if (ch_a, rate_a) != (ch_b, rate_b):
    print(f"{label}: formats differ ({ch_a} ch {rate_a} Hz against {ch_b} ch {rate_b} Hz)")
    sys.exit(1)
frames = min(len(a), len(b)) // ch_a
if len(a) != len(b):
    print(f"{label}: lengths differ ({len(a) // ch_a} against {len(b) // ch_b} frames); "
          f"comparing the first {frames}")
worst, where, count = 0.0, 0, 0
for i in range(frames * ch_a):
    d = abs(a[i] - b[i])
    if d:
        count += 1
        if d > worst:
            worst, where = d, i
peak = max(abs(x) for x in b[:frames * ch_a]) or 1.0
if count == 0 and len(a) == len(b):
    print(f"{label}: the same samples ({frames} frames x {ch_a} channels, peak "
          f"{20 * math.log10(peak):.1f} dBFS)")
    sys.exit(0)
if count == 0:
    sys.exit(1)
below = 20 * math.log10(worst / peak)
print(f"{label}: {count} of {frames * ch_a} samples differ; largest difference {worst:.3g} "
      f"({below:.1f} dB below the peak), at frame {where // ch_a} "
      f"channel {where % ch_a}; first at frame {next(i for i in range(frames * ch_a) if a[i] != b[i]) // ch_a}")
sys.exit(0 if within is not None and len(a) == len(b) and below <= -within else 1)
