#!/usr/bin/env python3
"""Writes the wizard's default picture: white lettering on a blue ground.

    make_default_picture.py OUT.bmp          write the picture
    make_default_picture.py --check FILE     exit 1 unless FILE is what we write

The picture is 110 x 44 pixels, 16 colours, 4 bits per pixel, uncompressed,
rows bottom-up and padded to 4 bytes. The letters come from the small pixel
font below, so the file is the same byte for byte on every machine.
"""
import struct
import sys

WIDTH, HEIGHT = 110, 44

# The 16-colour palette (red, green, blue); the picture uses two of them.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
GROUND, LETTER = 4, 15

# 5 x 7 glyphs, one string per row, '#' a set pixel; p and y reach two rows
# below the line.
FONT = {
    "k": ["#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "c": [".....", ".....", ".###.", "#....", "#....", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "y": [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "h": ["#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


def draw_text(pixels, text, top, scale):
    """Draws text centred across the picture, each font pixel scale x scale."""
    advance = 6 * scale
    width = len(text) * advance - scale
    left = (WIDTH - width) // 2
    for n, ch in enumerate(text):
        for row, bits in enumerate(FONT[ch]):
            for col, bit in enumerate(bits):
                if bit != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        pixels[top + row * scale + dy][left + n * advance + col * scale + dx] = LETTER


def picture_pixels():
    pixels = [[GROUND] * WIDTH for _ in range(HEIGHT)]
    draw_text(pixels, "kitpack", 5, 2)
    for x in range(12, WIDTH - 12):
        pixels[25][x] = LETTER
    draw_text(pixels, "Python setup", 29, 1)
    return pixels


def bmp_bytes(pixels):
    stride = ((WIDTH * 4 + 31) // 32) * 4
    rows = []
    for row in reversed(pixels):
        packed = bytearray(stride)
        for x, index in enumerate(row):
            packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows.append(bytes(packed))
    bits = b"".join(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return head + info + palette + bits


def main(argv):
    data = bmp_bytes(picture_pixels())
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], "rb") as f:
            if f.read() != data:
                print(f"{argv[2]} differs from what {argv[0]} writes", file=sys.stderr)
                return 1
        return 0
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
