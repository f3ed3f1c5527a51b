#!/usr/bin/env python3
"""Draws the loader's images and writes them in their file formats, with the standard library only.

    write.png    the write button (64x64, alpha): a chip with an arrow flashing into it
    about.png    the About button (32x32, alpha): an "i" in a blue disc
    krl.ico      the application icon (32x32 and 16x16, 32-bit with alpha)
    emblem.jpg   the About window's emblem (121x89, baseline JPEG)

    python3 tools/images/make_images.py [OUTPUT_FOLDER]   (default: this folder)

Shapes are drawn as signed-distance coverage with 4x4 supersampling; the JPEG is written by a
small baseline encoder (YCbCr without subsampling, the usual tables at quality 90).
"""
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- drawing


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def blend(self, x, y, rgb, alpha):
        if alpha <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        a0 = p[3] / 255.0
        a = alpha + a0 * (1 - alpha)
        for i in range(3):
            p[i] = (rgb[i] * alpha + p[i] * a0 * (1 - alpha)) / a if a > 0 else 0
        p[3] = a * 255

    def shape(self, inside, rgb, opacity=1.0, box=None):
        """Fills the points where inside(x, y) holds, anti-aliased by 4x4 samples per pixel."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                hits = 0
                for sy in range(4):
                    for sx in range(4):
                        if inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4):
                            hits += 1
                if hits:
                    colour = rgb(x, y) if callable(rgb) else rgb
                    self.blend(x, y, colour, opacity * hits / 16.0)

    def rgba_rows(self):
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                row.extend(max(0, min(255, int(round(c)))) for c in self.px[y * self.w + x])
            rows.append(bytes(row))
        return rows


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def vertical_gradient(top, bottom, y0, y1):
    def colour(_x, y):
        t = min(1.0, max(0.0, (y - y0) / float(max(1, y1 - y0))))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return colour


def draw_write_button(size=64):
    c = Canvas(size, size)
    s = size / 64.0
    # Chip body with pins on both sides.
    for i in range(5):
        y = (22 + i * 7) * s
        c.shape(rounded_rect(8 * s, y, 16 * s, y + 3 * s, 0.8 * s), (150, 150, 160))
        c.shape(rounded_rect(48 * s, y, 56 * s, y + 3 * s, 0.8 * s), (150, 150, 160))
    c.shape(rounded_rect(14 * s, 18 * s, 50 * s, 60 * s, 4 * s),
            vertical_gradient((70, 74, 88), (30, 32, 40), 18 * s, 60 * s))
    c.shape(disc(20 * s, 24 * s, 1.8 * s), (200, 200, 210))
    # Arrow flashing down into the chip.
    arrow = [(26, 2), (38, 2), (38, 22), (46, 22), (32, 40), (18, 22), (26, 22)]
    c.shape(polygon([(x * s, y * s) for x, y in arrow]),
            vertical_gradient((255, 196, 60), (214, 90, 20), 2 * s, 40 * s))
    return c


def draw_about_button(size=32):
    c = Canvas(size, size)
    s = size / 32.0
    c.shape(disc(16 * s, 16 * s, 15 * s), vertical_gradient((90, 160, 235), (20, 70, 160), 1 * s, 31 * s))
    c.shape(disc(16 * s, 9 * s, 2.6 * s), (255, 255, 255))
    c.shape(rounded_rect(13.6 * s, 13 * s, 18.4 * s, 25 * s, 1.2 * s), (255, 255, 255))
    return c


def draw_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    c.shape(rounded_rect(1 * s, 1 * s, 31 * s, 31 * s, 6 * s), vertical_gradient((200, 40, 40), (110, 10, 20), 0, size))
    arrow = [(12, 5), (20, 5), (20, 14), (25, 14), (16, 25), (7, 14), (12, 14)]
    c.shape(polygon([(x * s, y * s) for x, y in arrow]), (255, 255, 255))
    c.shape(rounded_rect(7 * s, 26 * s, 25 * s, 28.5 * s, 1 * s), (255, 255, 255))
    return c


def draw_emblem(w=121, h=89):
    c = Canvas(w, h, (255, 255, 255, 255))
    c.shape(lambda x, y: True, vertical_gradient((236, 240, 248), (190, 204, 228), 0, h))
    c.shape(disc(60.5, 44.5, 38), (128, 64, 0))
    c.shape(disc(60.5, 44.5, 33), vertical_gradient((255, 255, 255), (214, 224, 240), 10, 80))
    # A stylised device with a lightning arrow: the loader's emblem.
    c.shape(rounded_rect(40, 28, 81, 62, 4), (60, 66, 84))
    c.shape(rounded_rect(44, 32, 77, 50, 2), (120, 190, 240))
    bolt = [(62, 18), (52, 46), (60, 46), (55, 70), (70, 38), (62, 38), (68, 18)]
    c.shape(polygon(bolt), (255, 170, 30))
    return c

# ---------------------------------------------------------------- PNG and ICO


def png_bytes(canvas):
    raw = b"".join(b"\x00" + row for row in canvas.rgba_rows())

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def dib_image(c):
    """One image of an icon or cursor file: a 32-bit bottom-up BGRA bitmap of double height, then the AND mask
    with the fully transparent pixels set."""
    rows = c.rgba_rows()
    xor = bytearray()
    for row in reversed(rows):  # bottom-up, BGRA
        for x in range(c.w):
            r, g, b, a = row[4 * x:4 * x + 4]
            xor.extend((b, g, r, a))
    mask_stride = ((c.w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(c.w):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask.extend(bits)
    header = struct.pack("<IiiHHIIiiII", 40, c.w, 2 * c.h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    images = [(c.w, c.h, dib_image(c)) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, data in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)

# ---------------------------------------------------------------- baseline JPEG


ZIGZAG = [0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14,
          21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60,
          61, 54, 47, 55, 62, 63]
LUMA_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29,
          51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103, 121,
          120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMA_Q = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99,
            99, 99, 99, 99] + [99] * 32
# Huffman tables: (code-length counts 1..16, symbols).
DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a25262728292a3435363738"
    "393a434445464748494a535455565758595a636465666768696a737475767778797a838485868788898a92939495969798999aa2a3a4a5"
    "a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9fa"))
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f11718191a262728292a353637"
    "38393a434445464748494a535455565758595a636465666768696a737475767778797a82838485868788898a92939495969798999aa2a3"
    "a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9eaf2f3f4f5f6f7f8f9fa"))


def huffman_codes(table):
    counts, symbols = table
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(counts[length - 1]):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc = self.n = 0

    def flush(self):
        while self.n:
            self.put(1, 1)


def scaled_table(base, quality):
    scale = 5000 / quality if quality < 50 else 200 - 2 * quality
    return [max(1, min(255, (q * scale + 50) // 100)) for q in base]


COS = [[math.cos((2 * x + 1) * u * math.pi / 16) * (math.sqrt(0.5) if u == 0 else 1) / 2 for x in range(8)]
       for u in range(8)]


def fdct(block):
    rows = [[sum(COS[u][x] * block[y * 8 + x] for x in range(8)) for u in range(8)] for y in range(8)]
    return [sum(COS[v][y] * rows[y][u] for y in range(8)) for v in range(8) for u in range(8)]


def magnitude(value):
    bits = abs(value).bit_length()
    return bits, (value if value >= 0 else value + (1 << bits) - 1)


def jpeg_bytes(canvas, quality=90):
    w, h = canvas.w, canvas.h
    rows = canvas.rgba_rows()
    planes = [[0.0] * (w * h) for _ in range(3)]
    for y in range(h):
        for x in range(w):
            r, g, b = rows[y][4 * x:4 * x + 3]
            planes[0][y * w + x] = 0.299 * r + 0.587 * g + 0.114 * b - 128
            planes[1][y * w + x] = -0.168736 * r - 0.331264 * g + 0.5 * b
            planes[2][y * w + x] = 0.5 * r - 0.418688 * g - 0.081312 * b
    qtables = [scaled_table(LUMA_Q, quality), scaled_table(CHROMA_Q, quality)]
    dc_codes = [huffman_codes(DC_LUMA), huffman_codes(DC_CHROMA)]
    ac_codes = [huffman_codes(AC_LUMA), huffman_codes(AC_CHROMA)]
    bits = BitWriter()
    previous_dc = [0, 0, 0]
    for by in range(0, h, 8):
        for bx in range(0, w, 8):
            for comp in range(3):
                t = 0 if comp == 0 else 1
                block = [planes[comp][min(h - 1, by + y) * w + min(w - 1, bx + x)] for y in range(8) for x in range(8)]
                coeffs = fdct(block)
                q = [int(round(coeffs[ZIGZAG[i]] / qtables[t][ZIGZAG[i]])) for i in range(64)]
                diff = q[0] - previous_dc[comp]
                previous_dc[comp] = q[0]
                size, value = magnitude(diff)
                bits.put(*dc_codes[t][size])
                bits.put(value, size)
                run = 0
                for i in range(1, 64):
                    if q[i] == 0:
                        run += 1
                        continue
                    while run > 15:
                        bits.put(*ac_codes[t][0xF0])
                        run -= 16
                    size, value = magnitude(q[i])
                    bits.put(*ac_codes[t][(run << 4) | size])
                    bits.put(value, size)
                    run = 0
                if run:
                    bits.put(*ac_codes[t][0x00])
    bits.flush()

    def segment(marker, data):
        return struct.pack(">BBH", 0xFF, marker, len(data) + 2) + data
    out = b"\xff\xd8"
    out += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    for i, table in enumerate(qtables):
        out += segment(0xDB, bytes([i]) + bytes(table[ZIGZAG[k]] for k in range(64)))
    out += segment(0xC0, struct.pack(">BHHB", 8, h, w, 3) + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    for cls_id, table in ((0x00, DC_LUMA), (0x10, AC_LUMA), (0x01, DC_CHROMA), (0x11, AC_CHROMA)):
        out += segment(0xC4, bytes([cls_id]) + bytes(table[0]) + bytes(table[1]))
    out += segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    return out + bytes(bits.out) + b"\xff\xd9"

# ---------------------------------------------------------------- main


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    outputs = {
        "write.png": png_bytes(draw_write_button()),
        "about.png": png_bytes(draw_about_button()),
        "krl.ico": ico_bytes([draw_icon(32), draw_icon(16)]),
        "emblem.jpg": jpeg_bytes(draw_emblem()),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
