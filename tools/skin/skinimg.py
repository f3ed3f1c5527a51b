"""Small raster toolkit for drawing skin images: anti-aliased shapes by
supersampled coverage, 24-bit BMP and RGBA PNG writers, and the split of a
drawn element into image frames plus a mask band."""
import math
import re
import struct
import zlib

KEY = (255, 0, 255)


def hex_rgb(text):
    text = text.lstrip('#')
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


def tcolor(rgb):
    """The skin text's colour number: red in the low byte, blue in the high byte."""
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def render_text(source):
    """Turns "#RRGGBB" colours of a skin source text into the decimal colour
    numbers the loader reads; everything else is kept byte for byte."""
    return re.sub(r'#([0-9A-Fa-f]{6})\b', lambda m: str(tcolor(hex_rgb(m.group(1)))), source)


class Layer:
    """RGBA coverage canvas; 'outside' marks pixels that show the parent
    (written as the key colour)."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0.0) for _ in range(w)] for _ in range(h)]
        self.outside = [[False] * w for _ in range(h)]

    def blend(self, x, y, rgb, a):
        if not (0 <= x < self.w and 0 <= y < self.h) or a <= 0:
            return
        r0, g0, b0, a0 = self.px[y][x]
        a = min(1.0, a)
        na = a + a0 * (1 - a)
        if na <= 0:
            return
        mix = [(c * a + c0 * a0 * (1 - a)) / na for c, c0 in zip(rgb, (r0, g0, b0))]
        self.px[y][x] = (mix[0], mix[1], mix[2], na)

    def coverage(self, inside, x0=0, y0=0, x1=None, y1=None, ss=4):
        """Blends with the area fraction of each pixel for which inside(px, py) holds."""
        x1 = self.w if x1 is None else x1
        y1 = self.h if y1 is None else y1
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                n = 0
                for sy in range(ss):
                    for sx in range(ss):
                        if inside(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss):
                            n += 1
                yield x, y, n / (ss * ss)

    def fill(self, inside, rgb, alpha=1.0, **kw):
        for x, y, c in list(self.coverage(inside, **kw)):
            self.blend(x, y, rgb, c * alpha)

    def mark_outside(self, inside):
        """Pixels with no coverage at all by inside() become 'outside'."""
        for x, y, c in list(self.coverage(inside)):
            if c == 0:
                self.outside[y][x] = True


def rounded_rect(x0, y0, x1, y1, r):
    def inside(px, py):
        if not (x0 <= px <= x1 and y0 <= py <= y1):
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return inside


def ring(x0, y0, x1, y1, r, width=1.0):
    outer = rounded_rect(x0, y0, x1, y1, r)
    inner = rounded_rect(x0 + width, y0 + width, x1 - width, y1 - width, max(0.0, r - width))
    return lambda px, py: outer(px, py) and not inner(px, py)


def segment(ax, ay, bx, by, half):
    def inside(px, py):
        dx, dy = bx - ax, by - ay
        t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
        t = max(0.0, min(1.0, t))
        qx, qy = ax + t * dx - px, ay + t * dy - py
        return qx * qx + qy * qy <= half * half
    return inside


def union(*shapes):
    return lambda px, py: any(s(px, py) for s in shapes)


def rect(x0, y0, x1, y1):
    return lambda px, py: x0 <= px < x1 and y0 <= py < y1


class Image:
    """24-bit RGB image assembled from elements (the master bitmap)."""

    def __init__(self, w, h, rgb=KEY):
        self.w, self.h = w, h
        self.rows = [[rgb] * w for _ in range(h)]

    def put(self, x, y, rgb):
        self.rows[y][x] = tuple(int(round(c)) for c in rgb)

    def place_element(self, left, top, frames, masked):
        """frames: Layers of equal size side by side; with masked, a band below
        holds 255 - alpha (white keeps what lies under the element)."""
        fw, fh = frames[0].w, frames[0].h
        for i, layer in enumerate(frames):
            for y in range(fh):
                for x in range(fw):
                    r, g, b, a = layer.px[y][x]
                    X, Y = left + i * fw + x, top + y
                    if layer.outside[y][x]:
                        self.put(X, Y, KEY)
                        if masked:
                            self.put(X, Y + fh, (255, 255, 255))
                        continue
                    if masked:
                        colour = (r, g, b) if a > 0 else (128, 128, 128)
                        self.put(X, Y, colour)
                        m = 255 - int(round(a * 255))
                        self.put(X, Y + fh, (m, m, m))
                    else:
                        self.put(X, Y, (r, g, b) if a > 0 else KEY)

    def bmp24(self):
        stride = (self.w * 3 + 3) & ~3
        body = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for r, g, b in self.rows[y]:
                row += bytes((b, g, r))
            row += b'\0' * (stride - len(row))
            body += row
        header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        return header + info + bytes(body)


def png_rgba(layer):
    """Straight-alpha RGBA PNG of a Layer."""
    raw = bytearray()
    for y in range(layer.h):
        raw.append(0)
        for x in range(layer.w):
            r, g, b, a = layer.px[y][x]
            raw += bytes((int(round(r)), int(round(g)), int(round(b)), int(round(a * 255))))

    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF)
    ihdr = struct.pack('>IIBBBBB', layer.w, layer.h, 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')


def shadow_layer(frame_w, frame_h, margin, strength, radius):
    """Soft drop shadow around a window rectangle inset by margin: alpha falls
    off with the distance to the rectangle (a smooth step)."""
    layer = Layer(frame_w, frame_h)
    x0, y0, x1, y1 = margin, margin, frame_w - margin, frame_h - margin
    for y in range(frame_h):
        for x in range(frame_w):
            dx = max(x0 - (x + 0.5), 0, (x + 0.5) - x1)
            dy = max(y0 - (y + 0.5), 0, (y + 0.5) - y1)
            d = math.hypot(dx, dy)
            if d == 0:
                continue                      # the window itself covers it
            t = max(0.0, 1.0 - d / radius)
            layer.px[y][x] = (16, 32, 44, strength * t * t * (3 - 2 * t))
    return layer
