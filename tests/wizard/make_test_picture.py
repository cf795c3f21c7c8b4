#!/usr/bin/env python3
"""Writes a package picture for the tests: 48 x 48 pixels of one colour, in
one of the forms painting programs write.

    make_test_picture.py OUT.bmp [FORM]

FORM is "info" (the default: 40-byte header, 24 bits, orange), "core" (the
12-byte core header, 8 bits with a colour table of RGBTRIPLEs, green) or "v5"
(the 124-byte header, 16 bits with bit-field masks, rows top-down, magenta).
"""
import struct
import sys

SIZE = 48


def file_header(rest_length, bits_offset):
    return struct.pack("<2sIHHI", b"BM", 14 + rest_length, 0, 0, bits_offset)


def info_picture():
    orange = (255, 128, 0)
    row = bytes([orange[2], orange[1], orange[0]]) * SIZE  # 144 bytes: already 4-aligned
    bits = row * SIZE
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    return file_header(len(info) + len(bits), 54) + info + bits


def core_picture():
    green = (0, 160, 64)
    core = struct.pack("<IHHHH", 12, SIZE, SIZE, 1, 8)
    # Entry 0 black, entry 1 the colour, the rest grey: only entry 1 is used.
    table = bytes([0, 0, 0]) + bytes([green[2], green[1], green[0]]) + bytes([128] * 3) * 254
    bits = bytes([1]) * (SIZE * SIZE)  # 48 bytes a row: already 4-aligned
    rest = core + table + bits
    return file_header(len(rest), 14 + len(core) + len(table)) + rest


def v5_picture():
    magenta = 0xF81F  # 5-6-5: red and blue at full strength
    red, green, blue = 0xF800, 0x07E0, 0x001F
    bits = struct.pack("<H", magenta) * (SIZE * SIZE)  # 96 bytes a row
    header = struct.pack("<IiiHHIIiiII", 124, SIZE, -SIZE, 1, 16, 3, len(bits), 2835, 2835, 0, 0)
    header += struct.pack("<IIII", red, green, blue, 0)
    header += struct.pack("<I", 0x73524742)  # the sRGB colour space: no profile
    header += bytes(36 + 12)  # end points and gamma, unused with sRGB
    header += struct.pack("<IIII", 4, 0, 0, 0)  # intent, no profile, reserved
    assert len(header) == 124
    return file_header(len(header) + len(bits), 14 + len(header)) + header + bits


FORMS = {"info": info_picture, "core": core_picture, "v5": v5_picture}

if __name__ == "__main__":
    form = sys.argv[2] if len(sys.argv) > 2 else "info"
    with open(sys.argv[1], "wb") as f:
        f.write(FORMS[form]())
