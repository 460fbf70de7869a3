"""Reads and writes 32-bit float WAV files exactly (sox would round the samples through 32-bit
integers), for the Ardour check scripts (ardour-vst3-check.sh, ardour-lv2-check.sh)."""
import struct


def read(path):
    """Returns (channels, rate, interleaved samples as a tuple of floats)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a WAV file")
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        chunk, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if chunk == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif chunk == b"data":
            samples = body
        pos += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = fmt
    if bits != 32 or tag not in (3, 0xFFFE):
        raise ValueError(f"{path}: not 32-bit float samples")
    return channels, rate, struct.unpack(f"<{len(samples) // 4}f", samples)


def write(path, channels, rate, samples):
    """Writes interleaved float samples as a 32-bit float WAV file."""
    data = struct.pack(f"<{len(samples)}f", *samples)
    fmt = struct.pack("<HHIIHH", 3, channels, rate, rate * channels * 4, channels * 4, 32)
    fact = struct.pack("<I", len(samples) // channels)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(fact) + 8 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt)
        f.write(b"fact" + struct.pack("<I", len(fact)) + fact)
        f.write(b"data" + struct.pack("<I", len(data)) + data)
