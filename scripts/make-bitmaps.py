#!/usr/bin/env python3
"""Draws the three bitmaps of the resource library and writes them, as 24-bit
BMP files, into resources/bitmaps/:

  109 monitor.bmp        the main dialog's monitor picture (150 x 110)
  111 small_monitor.bmp  one small monitor, shown twice in the gamma and
                         monitor-timings dialogs (64 x 56)
  114 test_picture.bmp   the gamma test picture: grey ramps and colour bars
                         (256 x 160, stretched over the test dialog's picture)

The dialogs paint on white, so the pictures' backgrounds are white.
Reproducible: the same files every run."""
import os
import struct

WHITE = (255, 255, 255)


class Canvas:
    def __init__(self, width, height, colour=WHITE):
        self.width = width
        self.height = height
        self.px = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills x0 <= x < x1, y0 <= y < y1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def rounded_rect(self, x0, y0, x1, y1, radius, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                dx = max(x0 + radius - x - 0.5, 0, x - (x1 - radius) + 0.5)
                dy = max(y0 + radius - y - 0.5, 0, y - (y1 - radius) + 0.5)
                if dx * dx + dy * dy <= radius * radius:
                    self.put(x, y, colour)

    def vertical_gradient(self, x0, y0, x1, y1, top, bottom):
        span = max(y1 - y0 - 1, 1)
        for y in range(y0, y1):
            t = (y - y0) / span
            colour = mix(top, bottom, t)
            for x in range(x0, x1):
                self.put(x, y, colour)

    def bmp(self):
        """A bottom-up 24-bit BMP with rows padded to four bytes."""
        row_size = (self.width * 3 + 3) // 4 * 4
        pixels = bytearray()
        for y in reversed(range(self.height)):
            row = bytearray()
            for (r, g, b) in self.px[y]:
                row += bytes((b, g, r))
            row += bytes(row_size - len(row))
            pixels += row
        info = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24,
                           0, len(pixels), 3780, 3780, 0, 0)
        offset = 14 + len(info)
        header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
        return header + info + bytes(pixels)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def draw_monitor(c, x0, y0, w, h, detail):
    """A workstation monitor filling (x0, y0, w, h): bezel, a desktop with a
    gradient and, when detail is set, a window and a task bar; neck and foot."""
    bezel = (58, 60, 68)
    bezel_light = (92, 95, 106)
    stand = (78, 80, 90)
    screen_h = int(h * 0.78)
    c.rounded_rect(x0, y0, x0 + w, y0 + screen_h, max(2, w // 20), bezel)
    c.rect(x0 + w // 10, y0 + 1, x0 + w - w // 10, y0 + 2, bezel_light)
    border = max(3, w // 14)
    sx0, sy0 = x0 + border, y0 + border
    sx1, sy1 = x0 + w - border, y0 + screen_h - border - max(1, h // 40)
    c.vertical_gradient(sx0, sy0, sx1, sy1, (36, 92, 178), (78, 170, 196))
    # A soft light band across the desktop.
    for x in range(sx0, sx1):
        t = (x - sx0) / max(sx1 - sx0 - 1, 1)
        y = int(sy0 + (sy1 - sy0) * (0.75 - 0.35 * t))
        for k in range(max(2, h // 25)):
            if sy0 <= y + k < sy1:
                c.put(x, y + k, mix(c.px[y + k][x], WHITE, 0.35))
    if detail:
        sw, sh = sx1 - sx0, sy1 - sy0
        wx0, wy0 = sx0 + sw // 6, sy0 + sh // 6
        wx1, wy1 = sx0 + sw * 3 // 5, sy0 + sh * 3 // 5
        c.rect(wx0 + 2, wy0 + 2, wx1 + 2, wy1 + 2, (30, 60, 110))  # shadow
        c.rect(wx0, wy0, wx1, wy1, (236, 236, 240))
        c.rect(wx0, wy0, wx1, wy0 + max(3, sh // 10), (40, 70, 140))
        for i, line in enumerate(range(wy0 + sh // 10 + 4, wy1 - 3, 4)):
            length = (wx1 - wx0 - 8) * (3 + (i * 5) % 4) // 6
            c.rect(wx0 + 4, line, wx0 + 4 + length, line + 1, (150, 150, 160))
        c.rect(sx0, sy1 - max(3, sh // 12), sx1, sy1, (210, 212, 220))
        c.rect(sx0 + 2, sy1 - max(3, sh // 12) + 1, sx0 + 12, sy1 - 1, (60, 140, 70))
    # Power light on the bezel.
    c.rect(x0 + w - border - 3, y0 + screen_h - border + 1,
           x0 + w - border, y0 + screen_h - border + 2, (90, 220, 110))
    neck_w = max(4, w // 6)
    nx0 = x0 + (w - neck_w) // 2
    c.rect(nx0, y0 + screen_h, nx0 + neck_w, y0 + h - max(2, h // 14), stand)
    foot_w = max(10, w * 9 // 20)
    fx0 = x0 + (w - foot_w) // 2
    c.rounded_rect(fx0, y0 + h - max(3, h // 14), fx0 + foot_w, y0 + h, 2, bezel)


def monitor():
    c = Canvas(150, 110)
    draw_monitor(c, 8, 3, 134, 104, True)
    return c


def small_monitor():
    c = Canvas(64, 56)
    draw_monitor(c, 4, 2, 56, 52, False)
    return c


def test_picture():
    """Top: a smooth grey ramp; middle: sixteen grey steps; bottom: eight
    colour bars at full intensity. Gamma changes show in the ramps' middle."""
    w, h = 256, 160
    c = Canvas(w, h, (0, 0, 0))
    for x in range(w):
        v = x * 255 // (w - 1)
        c.rect(x, 0, x + 1, 52, (v, v, v))
    for step in range(16):
        v = step * 255 // 15
        c.rect(step * 16, 54, step * 16 + 16, 106, (v, v, v))
    bars = [(255, 255, 255), (255, 255, 0), (0, 255, 255), (0, 255, 0),
            (255, 0, 255), (255, 0, 0), (0, 0, 255), (0, 0, 0)]
    for i, colour in enumerate(bars):
        c.rect(i * 32, 108, i * 32 + 32, h, colour)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = os.path.join(here, '..', 'resources', 'bitmaps')
    os.makedirs(folder, exist_ok=True)
    for name, canvas in (('monitor.bmp', monitor()),
                         ('small_monitor.bmp', small_monitor()),
                         ('test_picture.bmp', test_picture())):
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(canvas.bmp())


if __name__ == '__main__':
    main()
