#!/usr/bin/env python3
"""Packs PNG images into one .ico file, each stored as PNG.

Usage: pack-icon.py out.ico frame.png...

Windows (since Vista) and Wine read PNG-compressed images of every size in
an icon; stored so, the programs' icons take a fraction of the room of
uncompressed bitmaps, pixel for pixel the same.
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("pack-icon: not a PNG file")
    return struct.unpack(">II", data[16:24])


def main(out, frames):
    images = [open(path, "rb").read() for path in frames]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, body = b"", b""
    for data in images:
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit("pack-icon: an icon image is at most 256 pixels a side")
        # 256 is written as 0; 32 bits a pixel, as the PNGs are RGBA.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                               offset + len(body))
        body += data
    with open(out, "wb") as ico:
        ico.write(header + entries + body)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2:])
