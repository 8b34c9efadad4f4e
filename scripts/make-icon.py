#!/usr/bin/env python3
"""Draws the applet's icon MONITR01 (a monitor with a blue screen) and writes
resources/icons/monitor.ico with 16x16 and 32x32 images, 32 bits per pixel.
Reproducible: the same file every run."""
import os
import struct

def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour
    rect(2, 3, 30, 23, (64, 64, 72, 255))      # bezel
    rect(4, 5, 28, 21, (40, 96, 200, 255))     # screen
    rect(6, 7, 18, 10, (120, 170, 240, 255))   # reflection
    rect(13, 23, 19, 26, (96, 96, 104, 255))   # neck
    rect(8, 26, 24, 29, (64, 64, 72, 255))     # foot
    return px

def image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for y in reversed(range(size)):
        for (r, g, b, a) in px[y]:
            rows += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for y in reversed(range(size)):
        bits = 0
        row = bytearray(mask_row)
        for x in range(size):
            if px[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return header + rows + mask

def main():
    sizes = [16, 32]
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    here = os.path.dirname(os.path.abspath(__file__))
    path = os.path.join(here, '..', 'resources', 'icons', 'monitor.ico')
    with open(path, 'wb') as f:
        f.write(out)

if __name__ == '__main__':
    main()
