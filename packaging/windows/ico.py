#!/usr/bin/env python3
"""Writes a Windows icon file holding the given PNG pictures as they are.

  ico.py OUT.ico PICTURE.png...

Windows Vista and later read PNG pictures inside an icon, so the program's
own PNGs go in unchanged, one entry per size.
"""
import struct
import sys


def main():
    out, pictures = sys.argv[1], sys.argv[2:]
    blobs = [open(p, "rb").read() for p in pictures]
    entries, offset = [], 6 + 16 * len(blobs)
    for path, blob in zip(pictures, blobs):
        if blob[:8] != b"\x89PNG\r\n\x1a\n" or blob[12:16] != b"IHDR":
            sys.exit(f"{path}: not a PNG picture")
        width, height = struct.unpack(">II", blob[16:24])
        if width > 256 or height > 256:
            sys.exit(f"{path}: {width}x{height} is larger than an icon holds")
        # 256 is written as 0, the format's way of saying it.
        entries.append(struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(blobs)))
        f.write(b"".join(entries))
        f.write(b"".join(blobs))


if __name__ == "__main__":
    main()
