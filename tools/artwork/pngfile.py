"""Minimal PNG reading and deterministic writing for 8-bit RGBA images.

An image is (width, height, pixels) with pixels a bytearray of straight-alpha
RGBA rows, top to bottom. The writer emits only IHDR, IDAT and IEND, so the
same pixels always give the same bytes (no time stamps, no text chunks).
"""

import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _unfilter(kind, row, prev, bpp):
    if kind == 0:
        return row
    out = bytearray(row)
    n = len(out)
    if kind == 1:
        for i in range(bpp, n):
            out[i] = (out[i] + out[i - bpp]) & 0xFF
    elif kind == 2:
        for i in range(n):
            out[i] = (out[i] + prev[i]) & 0xFF
    elif kind == 3:
        for i in range(n):
            left = out[i - bpp] if i >= bpp else 0
            out[i] = (out[i] + ((left + prev[i]) >> 1)) & 0xFF
    elif kind == 4:
        for i in range(n):
            left = out[i - bpp] if i >= bpp else 0
            upleft = prev[i - bpp] if i >= bpp else 0
            out[i] = (out[i] + _paeth(left, prev[i], upleft)) & 0xFF
    else:
        raise ValueError("unknown PNG filter %d" % kind)
    return out


def read_rgba(path):
    """Reads an 8-bit RGB or RGBA, non-interlaced PNG; answers RGBA pixels."""
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(SIGNATURE):
        raise ValueError("%s is not a PNG file" % path)
    pos = len(SIGNATURE)
    idat = bytearray()
    header = None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos : pos + 4])
        kind = data[pos + 4 : pos + 8]
        body = data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError("%s: unsupported PNG format" % path)
    channels = 4 if colour == 6 else 3
    stride = width * channels
    raw = zlib.decompress(bytes(idat))
    pixels = bytearray()
    prev = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        row = _unfilter(raw[start], raw[start + 1 : start + 1 + stride], prev, channels)
        prev = row
        if channels == 4:
            pixels += row
        else:
            for x in range(width):
                pixels += row[3 * x : 3 * x + 3] + b"\xff"
    return width, height, pixels


def _filtered_rows(width, height, pixels):
    """Filters each row with the filter of the smallest absolute sum."""
    stride = width * 4
    prev = bytes(stride)
    out = bytearray()
    for y in range(height):
        row = pixels[y * stride : (y + 1) * stride]
        candidates = []
        sub = bytearray(stride)
        up = bytearray(stride)
        avg = bytearray(stride)
        paeth = bytearray(stride)
        for i in range(stride):
            left = row[i - 4] if i >= 4 else 0
            upleft = prev[i - 4] if i >= 4 else 0
            sub[i] = (row[i] - left) & 0xFF
            up[i] = (row[i] - prev[i]) & 0xFF
            avg[i] = (row[i] - ((left + prev[i]) >> 1)) & 0xFF
            paeth[i] = (row[i] - _paeth(left, prev[i], upleft)) & 0xFF
        for kind, filtered in enumerate((row, sub, up, avg, paeth)):
            cost = sum(v if v < 128 else 256 - v for v in filtered)
            candidates.append((cost, kind, filtered))
        _, kind, filtered = min(candidates, key=lambda c: (c[0], c[1]))
        out.append(kind)
        out += filtered
        prev = row
    return bytes(out)


def _chunk(kind, body):
    crc = zlib.crc32(kind + body) & 0xFFFFFFFF
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)


def write_rgba(path, width, height, pixels):
    """Writes 8-bit RGBA (colour type 6), not interlaced, without metadata."""
    if len(pixels) != width * height * 4:
        raise ValueError("pixel buffer does not match %dx%d" % (width, height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    compressed = zlib.compress(_filtered_rows(width, height, pixels), 9)
    with open(path, "wb") as f:
        f.write(SIGNATURE + _chunk(b"IHDR", header) + _chunk(b"IDAT", compressed) + _chunk(b"IEND", b""))
