#!/usr/bin/env python3
"""Makes the pictures the programs carry: the program icon (quillon.ico) and the two
payment-code pictures of the Thanks window (pay_spruce.bmp, 301 px a side; pay_egret.bmp,
342 px a side). Standard library only; the output is deterministic and committed, so the
build never runs this. Usage: make_pictures.py [OUTDIR]  (default: this script's folder)."""
import math
import os
import struct
import sys

# 5 x 7 glyphs for the captions, rows top to bottom, "#" = ink.
GLYPHS = {
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "C": [" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "G": [" ####", "#    ", "#    ", "# ###", "#   #", "#   #", " ####"],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "P": ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "U": ["#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "W": ["#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"],
    "Y": ["#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "],
    " ": ["     "] * 7,
}

WHITE, INK, ACCENT, TINT = 0, 1, 2, 3


def lcg(seed):
    state = seed & 0xFFFFFFFF
    while True:
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        yield (state >> 16) & 1


def code_modules(n, seed):
    """An n x n QR-like module grid: three finder squares, timing lines, random data."""
    bits = lcg(seed)
    grid = [[next(bits) for _ in range(n)] for _ in range(n)]

    def finder(r0, c0):
        for r in range(-1, 8):
            for c in range(-1, 8):
                rr, cc = r0 + r, c0 + c
                if 0 <= rr < n and 0 <= cc < n:
                    ring = max(abs(r - 3), abs(c - 3))
                    grid[rr][cc] = 1 if ring in (0, 1, 3) else 0

    finder(0, 0)
    finder(0, n - 7)
    finder(n - 7, 0)
    for i in range(8, n - 8):
        grid[6][i] = grid[i][6] = 1 - (i & 1)
    return grid


def payment_picture(side, modules, caption, seed, accent):
    px = [[WHITE] * side for _ in range(side)]
    frame = 6
    for y in range(side):
        for x in range(side):
            if x < frame or y < frame or x >= side - frame or y >= side - frame:
                px[y][x] = ACCENT
    cell = 9
    size = modules * cell
    left, top = (side - size) // 2, 24
    for r, row in enumerate(code_modules(modules, seed)):
        for c, on in enumerate(row):
            if on:
                for y in range(top + r * cell, top + (r + 1) * cell):
                    for x in range(left + c * cell, left + (c + 1) * cell):
                        px[y][x] = INK
    scale, advance = 3, 6 * 3
    text_left = (side - (len(caption) * advance - scale)) // 2
    text_top = top + size + 14
    for y in range(text_top - 5, text_top + 7 * scale + 5):
        for x in range(frame, side - frame):
            px[y][x] = TINT
    for i, ch in enumerate(caption):
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, mark in enumerate(line):
                if mark == "#":
                    for y in range(text_top + gy * scale, text_top + (gy + 1) * scale):
                        for x in range(text_left + i * advance + gx * scale,
                                       text_left + i * advance + (gx + 1) * scale):
                            px[y][x] = INK
    tint = tuple(255 - (255 - v) // 5 for v in accent)
    return px, [(255, 255, 255), (24, 24, 24), accent, tint]


def bmp_8bit(px, palette):
    """BITMAPFILEHEADER + BITMAPINFOHEADER + palette + bottom-up rows padded to 4 bytes."""
    h, w = len(px), len(px[0])
    stride = (w + 3) & ~3
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    rows = b"".join(bytes(row) + b"\0" * (stride - w) for row in reversed(px))
    offset = 14 + 40 + len(pal)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), 2835, 2835, len(palette), 0)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + pal + rows


def icon_image(size):
    """A white quill-stroked "Q" on a teal rounded square, 32-bit BGRA with an AND mask."""
    samples = 4
    pixels = []
    for y in range(size):
        for x in range(size):
            cover = ink = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    u = (x + (sx + 0.5) / samples) / size
                    v = (y + (sy + 0.5) / samples) / size
                    # rounded square
                    dx, dy = max(abs(u - 0.5) - 0.32, 0), max(abs(v - 0.5) - 0.32, 0)
                    if math.hypot(dx, dy) <= 0.16:
                        cover += 1
                        r = math.hypot(u - 0.47, v - 0.47)
                        ring = 0.19 <= r <= 0.29
                        tail = abs((u - 0.60) - (v - 0.60)) < 0.06 and 0.56 <= u <= 0.84 and 0.56 <= v <= 0.84
                        if ring or tail:
                            ink += 1
            n = samples * samples
            a = cover / n
            t = ink / max(cover, 1)
            r, g, b = (int(0 + t * 255), int(128 + t * 127), int(128 + t * 127))
            pixels.append((b, g, r, int(round(a * 255))))
    rows = []
    for y in reversed(range(size)):
        rows.append(b"".join(struct.pack("<BBBB", *pixels[y * size + x]) for x in range(size)))
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_stride)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def ico(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b"".join(images)


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    files = {
        "quillon.ico": ico([16, 32, 48]),
        "pay_spruce.bmp": bmp_8bit(*payment_picture(301, 25, "SPRUCE WALLET", 301, (32, 128, 72))),
        "pay_egret.bmp": bmp_8bit(*payment_picture(342, 29, "EGRET PAY", 342, (40, 96, 176))),
    }
    for name, data in files.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
