#!/usr/bin/env python3
"""Draws the windowed program's icon (quarnw.ico) and its row images (rowimg.bmp).

Run from anywhere: python3 res/mkimages.py. The outputs are committed beside this
script; rerun it after changing a drawing.
Row images, 16x16 each, magenta is transparent: 0 error, 1 file, 2 directory.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)


def canvas(w, h, fill):
    return [[fill for _ in range(w)] for _ in range(h)]


def rect(px, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            px[y][x] = c


def frame(px, x0, y0, x1, y1, c):
    for x in range(x0, x1 + 1):
        px[y0][x] = px[y1][x] = c
    for y in range(y0, y1 + 1):
        px[y][x0] = px[y][x1] = c


def disc(px, cx, cy, r, c):
    for y in range(len(px)):
        for x in range(len(px[0])):
            if (x - cx + 0.5) ** 2 + (y - cy + 0.5) ** 2 <= r * r:
                px[y][x] = c


def ring(px, cx, cy, r0, r1, c):
    for y in range(len(px)):
        for x in range(len(px[0])):
            d = (x - cx + 0.5) ** 2 + (y - cy + 0.5) ** 2
            if r0 * r0 <= d <= r1 * r1:
                px[y][x] = c


def error_img():
    px = canvas(16, 16, MAGENTA)
    disc(px, 8, 8, 7, (200, 30, 30))
    for i in range(4, 12):  # a white cross
        px[i][i] = px[i][i + 1 if i < 15 else i] = (255, 255, 255)
        px[i][15 - i] = px[i][14 - i] = (255, 255, 255)
    return px


def file_img():
    px = canvas(16, 16, MAGENTA)
    rect(px, 3, 1, 12, 14, (255, 255, 255))
    frame(px, 3, 1, 12, 14, (80, 80, 80))
    for y in (4, 6, 8, 10, 12):
        rect(px, 5, y, 10, y, (120, 140, 180))
    return px


def dir_img():
    px = canvas(16, 16, MAGENTA)
    rect(px, 1, 3, 6, 4, (200, 160, 40))
    rect(px, 1, 5, 14, 13, (240, 200, 80))
    frame(px, 1, 5, 14, 13, (150, 110, 20))
    return px


def icon_img(n):
    """A magnifier over a page: the search program."""
    s = n / 32.0
    px = canvas(n, n, None)
    rect(px, int(4 * s), int(2 * s), int(22 * s), int(29 * s), (250, 250, 250))
    frame(px, int(4 * s), int(2 * s), int(22 * s), int(29 * s), (90, 90, 90))
    for y in range(int(7 * s), int(26 * s), max(2, int(4 * s))):
        rect(px, int(7 * s), y, int(18 * s), y, (150, 170, 200))
    ring(px, int(19 * s), int(17 * s), 5.5 * s, 8 * s, (30, 60, 160))
    for i in range(int(6 * s)):
        x, y = int(24 * s) + i, int(22 * s) + i
        if x < n - 1 and y < n - 1:
            rect(px, x, y, min(n - 1, x + max(1, int(2 * s))), min(n - 1, y + max(1, int(2 * s))), (60, 40, 20))
    return px


def bmp24(px):
    h, w = len(px), len(px[0])
    row = (w * 3 + 3) & ~3
    data = b""
    for y in range(h - 1, -1, -1):
        line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in px[y])
        data += line + b"\0" * (row - len(line))
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return head + info + data


def ico_entry(px):
    n = len(px)
    xor = b""
    for y in range(n - 1, -1, -1):
        for c in px[y]:
            xor += struct.pack("BBBB", 0, 0, 0, 0) if c is None else struct.pack("BBBB", c[2], c[1], c[0], 255)
    mrow = ((n + 31) // 32) * 4
    mask = b""
    for y in range(n - 1, -1, -1):
        line = bytearray(mrow)
        for x, c in enumerate(px[y]):
            if c is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    info = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def ico(sizes):
    imgs = [ico_entry(icon_img(n)) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(imgs))
    off = 6 + 16 * len(imgs)
    for n, d in zip(sizes, imgs):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(d), off)
        off += len(d)
    return out + b"".join(imgs)


def main():
    strip = canvas(48, 16, MAGENTA)
    for i, img in enumerate((error_img(), file_img(), dir_img())):
        for y in range(16):
            for x in range(16):
                strip[y][16 * i + x] = img[y][x]
    with open(os.path.join(HERE, "rowimg.bmp"), "wb") as f:
        f.write(bmp24(strip))
    with open(os.path.join(HERE, "quarnw.ico"), "wb") as f:
        f.write(ico([16, 32]))


if __name__ == "__main__":
    main()
