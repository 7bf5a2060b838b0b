#!/usr/bin/env python3
"""Draws Varnelo's icon and writes resources/varnelo.ico: 32 x 32 pixels,
16 colours (4 bits a pixel, the standard VGA palette), with a mask.

The picture: a white speech bubble with a navy outline, holding three lines
of "text" in red, green and blue, with a small colour swatch at its tail.
Run it again after changing the drawing; the .ico is committed."""
import struct
import sys
from pathlib import Path

PALETTE = [  # the 16 standard Windows colours, as (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
NAVY, GREY, SILVER, RED, GREEN, BLUE, WHITE, BLACK = 4, 8, 7, 9, 2, 12, 15, 0
SIZE = 32
CLEAR = None


def draw():
    img = [[CLEAR] * SIZE for _ in range(SIZE)]

    def box(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                img[y][x] = colour

    # Bubble: rounded rectangle from (1,2) to (30,22), navy outline.
    box(2, 2, 29, 22, NAVY)
    box(1, 3, 30, 21, NAVY)
    box(3, 3, 28, 21, WHITE)
    box(2, 4, 29, 20, WHITE)
    # Tail down-left.
    for i in range(6):
        box(6, 22 + i, 6 + (5 - i), 22 + i, NAVY)
        if i < 4:
            box(7, 22 + i, 6 + (4 - i), 22 + i, WHITE)
    # Three lines of message text in the three primaries.
    for y, colour, length in ((6, RED, 20), (11, GREEN, 16), (16, BLUE, 22)):
        box(5, y, 5 + length, y + 2, colour)
    # Swatch: the colour being chosen, bottom right.
    box(19, 24, 30, 30, BLACK)
    box(20, 25, 29, 29, BLUE)
    box(20, 25, 24, 29, RED)
    return img


def ico_bytes(img):
    rows_xor = []
    rows_and = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = img[y]
        nibbles = [(c if c is not None else 0) for c in row]
        rows_xor.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
        bits = 0
        for x, c in enumerate(row):
            if c is None:
                bits |= 1 << (31 - x)
        rows_and.append(struct.pack(">I", bits))
    xor = b"".join(rows_xor)
    mask = b"".join(rows_and)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + image


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources" / "varnelo.ico"
    out.write_bytes(ico_bytes(draw()))
    print(out)
