#!/usr/bin/env python3
"""Writes a package picture for the tests: 48 x 48 pixels, 24 bits, all orange.

    make_test_picture.py OUT.bmp
"""
import struct
import sys

SIZE = 48
ORANGE = (255, 128, 0)

row = bytes([ORANGE[2], ORANGE[1], ORANGE[0]]) * SIZE  # 144 bytes: already 4-aligned
bits = row * SIZE
info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
head = struct.pack("<2sIHHI", b"BM", 54 + len(bits), 0, 0, 54)
with open(sys.argv[1], "wb") as f:
    f.write(head + info + bits)
