#!/usr/bin/env python3
"""Draws the skinning library's own images, with the standard library only.

    vkSHDA.png       shadow of an active window (40x40, alpha; nine-part: 20-px corners)
    vkSHDI.png       shadow of an inactive window (the same shape, lighter)
    crvkpipette.cur  the colour dialog's pipette cursor (32x32, hot spot at the tip)
    vkGL.png         the gauge's moving highlight (60x20 white, alpha rising to the middle and falling)
    vkHINT.png       the default hint frame (40x40, alpha; borders 11/10/14/15, shadow 6/5/7/8)
    SF.png .. SC.png the library's small glyph strips (32x16, alpha; two 16x16 frames, the second lighter):
                     SF a folder, SR a circular arrow, SD a down arrow, SE a pencil, SC a cross
    MENUBTN.bmp      the title bar's menu-button face (72x20, three 24x20 frames: normal, hot, pressed), a
                     32-bit bitmap whose alpha byte is stored inverted (0 = opaque), its cut corners 0xFF00FF
    BLUR5.bmp        the soft edge of the generated outline and shadow (11x11 grey, 24-bit): white in the middle,
                     falling to black over the 5 pixels next to each edge; its brightness is how much of the
                     edge colour shows

    python3 tools/images/make_skin_images.py [OUTPUT_FOLDER]   (default: this folder)

The shadows' fully transparent pixels are written white (0x00FFFFFF), as image editors leave them;
the library clears those to 0 when it loads the images.
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_images import Canvas, dib_image, png_bytes, polygon, disc, rounded_rect, vertical_gradient  # noqa: E402


def draw_shadow(size, darkness):
    """A soft dark ring fading outwards from a rounded inner edge, transparent (white) inside and out."""
    c = Canvas(size, size, fill=(255, 255, 255, 0))
    inset, radius, spread = 8, 6, 8
    for y in range(size):
        for x in range(size):
            # distance outside the rounded inner rectangle
            dx = max(inset + radius - (x + 0.5), 0, (x + 0.5) - (size - inset - radius))
            dy = max(inset + radius - (y + 0.5), 0, (y + 0.5) - (size - inset - radius))
            d = math.hypot(dx, dy) - radius
            if d <= 0 or d >= spread:
                continue
            t = 1.0 - d / spread
            a = darkness * t * t
            if a >= 1:
                c.px[y * size + x] = [0, 0, 0, a]
    return c


def draw_pipette(size=32):
    """An eyedropper lying from the top right to the tip at the bottom left."""
    c = Canvas(size, size)
    ux, uy = 1 / math.sqrt(2), -1 / math.sqrt(2)   # along the pipette, tip to bulb
    nx, ny = -uy, ux

    def band(a0, a1, half):
        x0, y0 = 2.0, 29.0
        return polygon([(x0 + ux * a0 + nx * half, y0 + uy * a0 + ny * half),
                        (x0 + ux * a1 + nx * half, y0 + uy * a1 + ny * half),
                        (x0 + ux * a1 - nx * half, y0 + uy * a1 - ny * half),
                        (x0 + ux * a0 - nx * half, y0 + uy * a0 - ny * half)])
    c.shape(band(0, 26, 3.2), (255, 255, 255))          # white outline
    c.shape(band(1, 25, 1.8), (40, 40, 40))             # glass tube
    c.shape(band(17, 22, 4.2), (255, 255, 255))
    c.shape(band(18, 21, 3.0), (40, 40, 40))            # collar
    c.shape(disc(2 + ux * 30, 29 + uy * 30, 4.6), (255, 255, 255))
    c.shape(disc(2 + ux * 30, 29 + uy * 30, 3.4), (40, 40, 40))  # bulb
    return c


def draw_highlight(w=60, h=20):
    """White, transparent at both ends and strongest in the middle, a little stronger towards the top."""
    c = Canvas(w, h, fill=(255, 255, 255, 0))
    for y in range(h):
        for x in range(w):
            across = math.sin(math.pi * (x + 0.5) / w)
            down = 1.0 - 0.35 * (y + 0.5) / h
            c.px[y * w + x] = [255, 255, 255, round(150 * across * across * down)]
    return c


def draw_hint_frame(size=40):
    """A pale rounded frame with a one-pixel border and a soft shadow below and to the right."""
    c = Canvas(size, size, fill=(255, 255, 255, 0))
    # shadow: offset down-right, fading over a few pixels
    for y in range(size):
        for x in range(size):
            dx = max(6 - (x + 0.5), 0, (x + 0.5) - (size - 3))
            dy = max(5 - (y + 0.5), 0, (y + 0.5) - (size - 3))
            d = math.hypot(dx, dy)
            if d < 4:
                c.blend(x, y, (0, 0, 0), 0.22 * (1 - d / 4))
    c.shape(rounded_rect(1, 0, size - 7, size - 8, 4), (96, 96, 96))
    c.shape(rounded_rect(2, 1, size - 8, size - 9, 3), vertical_gradient((255, 255, 240), (244, 244, 214), 1, size - 9))
    return c


def draw_glyph_strip(shapes):
    """Two 16x16 frames side by side: the shapes in dark slate, then the same lighter."""
    c = Canvas(32, 16, fill=(0, 0, 0, 0))
    for frame, colour in enumerate([(52, 64, 84), (96, 128, 168)]):
        for shape in shapes(16 * frame):
            c.shape(shape, colour)
    return c


def glyph_folder(x):
    return [polygon([(x + 1, 4), (x + 6, 4), (x + 7.5, 5.5), (x + 15, 5.5), (x + 15, 14), (x + 1, 14)])]


def glyph_arrow_round(x):
    ring = lambda px, py: 4.0 <= math.hypot(px - (x + 8), py - 8.5) <= 6.0 and not (px > x + 8 and py < 8.5)
    return [ring, polygon([(x + 8, 0.5), (x + 12.5, 3.5), (x + 8, 6.5)])]


def glyph_arrow_down(x):
    return [polygon([(x + 6, 2), (x + 10, 2), (x + 10, 8), (x + 13.5, 8), (x + 8, 14), (x + 2.5, 8), (x + 6, 8)])]


def glyph_pencil(x):
    return [polygon([(x + 11, 1.5), (x + 14.5, 5), (x + 5, 14.5), (x + 1.5, 14.5), (x + 1.5, 11)])]


def glyph_cross(x):
    bar = lambda a, b: polygon([(x + a[0], a[1]), (x + a[2], a[3]), (x + b[0], b[1]), (x + b[2], b[3])])
    return [bar((2, 4, 4, 2), (14, 12, 12, 14)), bar((12, 2, 14, 4), (4, 14, 2, 12))]


MENU_BUTTON_FRAMES = [  # border, top and bottom of the face
    ((118, 130, 150), (238, 242, 248), (212, 220, 232)),
    ((60, 120, 200), (242, 248, 255), (196, 220, 250)),
    ((40, 80, 150), (168, 194, 230), (204, 220, 244)),
]


def menu_button_bmp(frame_w=24, h=20):
    """The three frames side by side as a bottom-up 32-bit BMP: every pixel opaque (stored alpha 0, the loader
    inverts it) except the two key pixels cut from each corner, which are 0xFF00FF."""
    w = 3 * frame_w
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            fx = x % frame_w
            border, top, bottom = MENU_BUTTON_FRAMES[x // frame_w]
            ex, ey = min(fx, frame_w - 1 - fx), min(y, h - 1 - y)
            if ex + ey < 2:
                b, g, r = 0xFF, 0x00, 0xFF
            elif ex == 0 or ey == 0:
                r, g, b = border
            else:
                t = (y - 1) / (h - 3)
                r, g, b = (round(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
            row.extend((b, g, r, 0))
        rows.append(row)
    pixels = b"".join(bytes(r) for r in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def blur_edge_bmp(size=11, ramp=5):
    """A white square blurred over `ramp` pixels at each edge, as a bottom-up 24-bit BMP: each axis rises
    smoothly from the edge to full brightness; the corners take the product of both."""
    def rise(d):
        if d >= ramp:
            return 1.0
        t = (d + 0.5) / ramp
        return t * t * (3 - 2 * t)
    stride = (size * 3 + 3) & ~3
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            v = round(255 * rise(min(x, size - 1 - x)) * rise(min(y, size - 1 - y)))
            row.extend((v, v, v))
        row.extend(b"\0" * (stride - len(row)))
        rows.append(row)
    pixels = b"".join(bytes(r) for r in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def cur_bytes(canvas, hot_x, hot_y):
    data = dib_image(canvas)
    return (struct.pack("<HHH", 0, 2, 1) +
            struct.pack("<BBBBHHII", canvas.w % 256, canvas.h % 256, 0, 0, hot_x, hot_y, len(data), 22) + data)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    outputs = {
        "vkSHDA.png": png_bytes(draw_shadow(40, 110)),
        "vkSHDI.png": png_bytes(draw_shadow(40, 60)),
        "crvkpipette.cur": cur_bytes(draw_pipette(), 2, 29),
        "vkGL.png": png_bytes(draw_highlight()),
        "vkHINT.png": png_bytes(draw_hint_frame()),
        "SF.png": png_bytes(draw_glyph_strip(glyph_folder)),
        "SR.png": png_bytes(draw_glyph_strip(glyph_arrow_round)),
        "SD.png": png_bytes(draw_glyph_strip(glyph_arrow_down)),
        "SE.png": png_bytes(draw_glyph_strip(glyph_pencil)),
        "SC.png": png_bytes(draw_glyph_strip(glyph_cross)),
        "MENUBTN.bmp": menu_button_bmp(),
        "BLUR5.bmp": blur_edge_bmp(),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
