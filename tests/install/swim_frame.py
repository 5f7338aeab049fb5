#!/usr/bin/env python3
"""Tells whether PNG frames of kra-capture show the swim scene by day: a bright frame, blue
sky at the top, the sun's warm glow on the horizon and blue sea at the bottom (a black
frame, the underwater intro or the night all fail). Exit status 0 when every frame does."""
import struct
import sys
import zlib


def read_png(path):
    """Width, height, channels and rows of an 8-bit RGB or RGBA PNG, not interlaced."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("not an 8-bit RGB or RGBA PNG")
    channels = 3 if colour == 2 else 4
    raw, stride, rows, previous = zlib.decompress(idat), width * channels, [], bytearray(width * channels)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up, corner = previous[x], previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def band_mean(png, top, bottom):
    """Mean red, green and blue of the rows top to bottom (fractions of the height)."""
    width, height, channels, rows = png
    sums, count = [0, 0, 0], 0
    for line in rows[int(top * height):int(bottom * height)]:
        for x in range(0, width * channels, channels):
            for c in range(3):
                sums[c] += line[x + c]
        count += 1
    return [s / (count * width) for s in sums]


def swim_by_day(path):
    png = read_png(path)
    sky, horizon, sea = band_mean(png, 0.0, 0.1), band_mean(png, 0.55, 0.68), band_mean(png, 0.85, 1.0)
    whole = band_mean(png, 0.0, 1.0)
    checks = {
        "bright": sum(whole) / 3 > 90,
        "blue sky": sky[2] > sky[0] + 30,
        "warm horizon": horizon[0] > horizon[2],
        "blue sea": sea[2] > sea[0] + 60,
    }
    failed = [name for name, ok in checks.items() if not ok]
    if failed:
        print(f"{path}: not the swim scene by day: no {', no '.join(failed)} "
              f"(sky {sky}, horizon {horizon}, sea {sea})", file=sys.stderr)
    return not failed


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit("usage: swim_frame.py FRAME.png...")
    sys.exit(0 if all([swim_by_day(p) for p in sys.argv[1:]]) else 1)
