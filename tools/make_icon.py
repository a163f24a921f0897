#!/usr/bin/env python3
"""Draws the programs' application icon (a small network printer) as a 16-colour .ico with a
32x32 and a 16x16 image. The .ico files in the resource folders were made with it:
    python3 tools/make_icon.py config_tool/res/kvrconfig.ico
    python3 tools/make_icon.py installer/res/kvrlancom_installer.ico install
    python3 tools/make_icon.py uninstaller/res/kvrlancom_uninstaller.ico uninstall
The optional badge marks the installer (a green plus) and the uninstaller (a red cross).
"""
import struct
import sys

# The standard 16-colour palette (BGR0 order in the file).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREY, SILVER, BLUE, CYAN, WHITE, GREEN = 0, 8, 7, 12, 14, 15, 10
RED, DARK_GREEN = 9, 2


def draw(size, badge=None):
    """Returns rows (top first) of palette indexes, None for transparent."""
    s = size / 32.0
    px = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    rect(8, 2, 24, 11, WHITE)       # paper
    rect(8, 2, 24, 3, GREY)
    rect(3, 10, 29, 24, SILVER)     # body
    rect(3, 10, 29, 11, GREY)
    rect(3, 23, 29, 24, GREY)
    rect(22, 13, 26, 15, GREEN)     # status light
    rect(7, 20, 25, 22, BLACK)      # paper slot
    rect(6, 24, 26, 30, WHITE)      # receipt
    rect(9, 26, 23, 27, BLUE)
    rect(13, 14, 19, 17, BLUE)      # network jack
    rect(14, 17, 18, 19, CYAN)
    if badge == 'install':          # a plus in the lower right corner
        rect(18, 18, 32, 32, DARK_GREEN)
        rect(20, 23, 30, 27, WHITE)
        rect(23, 20, 27, 30, WHITE)
    elif badge == 'uninstall':      # a cross in the lower right corner
        rect(18, 18, 32, 32, RED)
        for i in range(8):
            rect(21 + i, 21 + i, 23 + i, 23 + i, WHITE)
            rect(27 - i, 21 + i, 29 - i, 23 + i, WHITE)
    return px


def image(size, badge=None):
    px = draw(size, badge)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up
        line = bytearray(xor_row)
        bits = bytearray(and_row)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                c = 0
            line[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main(path, badge=None):
    images = [image(32, badge), image(16, badge)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None)
