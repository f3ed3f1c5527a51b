#!/usr/bin/env python3
"""Draws the TIDE skin's images and writes its skin text.

    draw_tide.py SOURCE_DIR OUT_DIR

The element rectangles are taken from the skin text itself, so the text is the
one place that says where an element lies; every element named there must have
a painter here, and the other way round.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
import skinimg as si  # noqa: E402

C = {k: si.hex_rgb(v) for k, v in {
    'title': '1D5C7D', 'title_off': '7D909C', 'title_line': '164A66', 'title_line_off': '6A7C88',
    'glyph': 'FFFFFF', 'glyph_off': 'E9EEF1', 'hot': '2E7396', 'pressed': '174D69',
    'close_hot': 'C8463D', 'close_pressed': 'A3352E',
    'border': 'B9C3CC', 'border_hot': '2B8FC2', 'border_pressed': '1F6F99',
    'base': 'F3F5F7', 'white': 'FFFFFF', 'text': '1E2A33', 'hint_line': '1A232A',
    'edit_focus': '2B8FC2', 'edit_off': 'D3D9DE', 'chevron': '4A5863', 'chevron_hot': '1F6F99',
}.items()}

MASTER_SIZE = (288, 232)


def parse_elements(text):
    elements = []
    section = None
    for line in text.split('\n'):
        line = line.strip()
        if line.startswith('['):
            section = line[1:-1]
        elif '=' in line and not line.startswith(';'):
            key, value = line.split('=', 1)
            if value[:1] in '@^':
                r = [int(value[p:p + 4]) for p in (1, 6, 11, 16)]
                if value[0] == '@':
                    count, mtype = int(value[21]), int(value[23])
                else:
                    count, mtype = int(value[41]), int(value[43])
                elements.append((section, key, r, count, mtype))
    return elements


# --- title buttons -------------------------------------------------------
def title_frames(w, h, glyph, close=False, small=False):
    backs = [None, C['close_hot'] if close else C['hot'], C['close_pressed'] if close else C['pressed']]
    frames = []
    for state in range(3):
        layer = si.Layer(w, h)
        if backs[state]:
            r = 2 if small else 3
            layer.fill(si.rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, r), backs[state])
        if glyph:
            glyph(layer, w, h, C['glyph'])
        frames.append(layer)
    return frames


def g_close(layer, w, h, col, s=None):
    s = s or min(w, h) * 0.2
    cx, cy = w / 2, h / 2
    layer.fill(si.union(si.segment(cx - s, cy - s, cx + s, cy + s, 0.65),
                        si.segment(cx - s, cy + s, cx + s, cy - s, 0.65)), col)


def g_max(layer, w, h, col):
    s = round(min(w, h) * 0.2)
    cx, cy = w // 2, h // 2
    layer.fill(si.union(si.rect(cx - s, cy - s, cx + s, cy - s + 2), si.rect(cx - s, cy - s, cx - s + 1, cy + s),
                        si.rect(cx + s - 1, cy - s, cx + s, cy + s), si.rect(cx - s, cy + s - 1, cx + s, cy + s)), col)


def g_min(layer, w, h, col):
    s = round(min(w, h) * 0.2)
    cx, cy = w // 2, h // 2
    layer.fill(si.rect(cx - s, cy + s - 2, cx + s, cy + s - 1), col)


def g_norm(layer, w, h, col):
    s = round(min(w, h) * 0.17)
    cx, cy = w // 2, h // 2
    x0, y0 = cx - s - 1, cy - s + 1
    back = si.union(si.rect(x0 + 2, y0 - 2, x0 + 2 * s + 2, y0 - 1), si.rect(x0 + 2 * s + 1, y0 - 2, x0 + 2 * s + 2, y0 + 2 * s - 2))
    front = si.union(si.rect(x0, y0, x0 + 2 * s, y0 + 1), si.rect(x0, y0, x0 + 1, y0 + 2 * s),
                     si.rect(x0 + 2 * s - 1, y0, x0 + 2 * s, y0 + 2 * s), si.rect(x0, y0 + 2 * s - 1, x0 + 2 * s, y0 + 2 * s))
    layer.fill(si.union(back, front), col)


def g_help(layer, w, h, col):
    cx, cy = w / 2, h / 2
    import math
    arc = []
    for i in range(0, 9):
        a = math.pi * (1.1 - i * 0.16)
        arc.append((cx + 3.2 * math.cos(a), cy - 2.2 - 3.2 * math.sin(a)))
    parts = [si.segment(arc[i][0], arc[i][1], arc[i + 1][0], arc[i + 1][1], 0.65) for i in range(len(arc) - 1)]
    parts.append(si.segment(arc[-1][0], arc[-1][1], cx, cy + 2, 0.65))
    parts.append(si.rounded_rect(cx - 0.8, cy + 3.4, cx + 0.8, cy + 5.0, 0.8))
    layer.fill(si.union(*parts), col)


# --- control borders -----------------------------------------------------
def ring_frames(size, radius, colours, fill_inside=None):
    """One frame per colour: a 1-pixel anti-aliased ring; outside the ring
    the parent shows (key), inside the section colour (mask keeps it)."""
    frames = []
    for col in colours:
        layer = si.Layer(size, size)
        layer.fill(si.ring(0, 0, size, size, radius, 1.0), col)
        layer.mark_outside(si.rounded_rect(0, 0, size, size, radius))
        frames.append(layer)
    return frames


def square_frames(size, colours, inner=None):
    frames = []
    for col in colours:
        layer = si.Layer(size, size)
        layer.fill(si.rect(0, 0, size, size), inner or C['white'])
        layer.fill(si.ring(0, 0, size, size, 0, 1.0), col)
        frames.append(layer)
    return frames


def form_frames(w, h):
    frames = []
    for fill, line in ((C['title_off'], C['title_line_off']), (C['title'], C['title_line'])):
        layer = si.Layer(w, h)
        layer.fill(si.rect(0, 0, w, h), fill)
        layer.fill(si.ring(0, 0, w, h, 0, 1.0), line)
        # slightly rounded window corners: the form's region leaves their outer pixels out
        layer.mark_outside(si.rounded_rect(0, 0, w, h, 4))
        frames.append(layer)
    return frames


def chevron_frames(w, h):
    frames = []
    for col in (C['chevron'], C['chevron_hot'], C['border_pressed']):
        layer = si.Layer(w, h)
        cx, cy = w / 2, h / 2
        layer.fill(si.union(si.segment(cx - 3.5, cy - 1.5, cx, cy + 2, 0.7), si.segment(cx, cy + 2, cx + 3.5, cy - 1.5, 0.7)), col)
        frames.append(layer)
    return frames


def painters():
    tb = lambda glyph, close=False: lambda w, h: title_frames(w, h, glyph, close)
    sm = lambda glyph, close=False: lambda w, h: title_frames(w, h, glyph, close, small=True)
    return {
        ('GLOBALINFO', 'BICONCLOSE'): tb(g_close, True),
        ('GLOBALINFO', 'BICLOSEALONE'): tb(g_close, True),
        ('GLOBALINFO', 'BICONMAX'): tb(g_max),
        ('GLOBALINFO', 'BICONMIN'): tb(g_min),
        ('GLOBALINFO', 'BICONNORM'): tb(g_norm),
        ('GLOBALINFO', 'BICONHELP'): tb(g_help),
        ('GLOBALINFO', 'TITLEBUTTON'): tb(None),
        ('GLOBALINFO', 'SICONCLOSE'): sm(lambda l, w, h, c: g_close(l, w, h, c, 3.0), True),
        ('GLOBALINFO', 'SICONMAX'): sm(g_max),
        ('GLOBALINFO', 'SICONMIN'): sm(g_min),
        ('GLOBALINFO', 'SICONNORM'): sm(g_norm),
        ('GLOBALINFO', 'SICONHELP'): sm(g_help),
        ('FORM', 'BORDERSMASK'): form_frames,
        ('BUTTON', 'BORDERSMASK'): lambda w, h: ring_frames(w, 3, [C['border'], C['border_hot'], C['border_pressed']]),
        ('DIALOG', 'BORDERSMASK'): lambda w, h: ring_frames(w, 3, [C['border'], C['border_hot'], C['border_pressed']]),
        ('BAR', 'BORDERSMASK'): lambda w, h: square_frames(w, [C['border']], C['base']),
        ('BUTTON_HUGE', 'BORDERSMASK'): lambda w, h: ring_frames(w, 4, [C['border'], C['border_hot'], C['border_pressed']]),
        ('EDIT', 'BORDERSMASK'): lambda w, h: square_frames(w, [C['border'], C['edit_focus'], C['edit_off']]),
        ('PANEL', 'BORDERSMASK'): lambda w, h: square_frames(w, [C['border']], C['base']),
        ('HINT', 'BORDERSMASK'): lambda w, h: square_frames(w, [C['hint_line']], C['hint_line']),
        ('MAINMENU', 'BORDERSMASK'): lambda w, h: square_frames(w, [C['border']]),
        ('COMBOBOX', 'GLYPHMASK'): chevron_frames,
        ('COMBOBTN', 'GLYPHMASK'): chevron_frames,
    }


def main(argv):
    src, out = argv[1], argv[2]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(src, 'Options.src'), encoding='ascii') as f:
        text = si.render_text(f.read())
    master = si.Image(*MASTER_SIZE)
    table = painters()
    drawn = set()
    for section, key, r, count, mtype in parse_elements(text):
        painter = table.get((section, key))
        if painter is None:
            raise SystemExit('draw_tide: no painter for %s.%s' % (section, key))
        fw = (r[2] - r[0]) // count
        fh = (r[3] - r[1]) // (mtype + 1)
        frames = painter(fw, fh)
        if len(frames) != count or frames[0].w != fw or frames[0].h != fh:
            raise SystemExit('draw_tide: %s.%s drew %d frames of %dx%d, the text wants %d of %dx%d'
                             % (section, key, len(frames), frames[0].w, frames[0].h, count, fw, fh))
        key_of = (tuple(r),)
        if key_of not in drawn:
            master.place_element(r[0], r[1], frames, mtype > 0)
            drawn.add(key_of)
    unused = set(table) - {(s, k) for s, k, *_ in parse_elements(text)}
    if unused:
        raise SystemExit('draw_tide: painters without an element: %s' % sorted(unused))
    with open(os.path.join(out, 'MASTER.BMP'), 'wb') as f:
        f.write(master.bmp24())
    for name, border, margin in (('SHADOW.PNG', 14, 10), ('SHADOW_150.PNG', 21, 15), ('SHADOW_200.PNG', 28, 20)):
        size = 2 * border + 8
        inactive = si.shadow_layer(size, size, margin, 0.22, margin)
        active = si.shadow_layer(size, size, margin, 0.38, margin)
        both = si.Layer(2 * size, size)
        for y in range(size):
            both.px[y] = inactive.px[y] + active.px[y]
        with open(os.path.join(out, name), 'wb') as f:
            f.write(si.png_rgba(both))
    with open(os.path.join(out, 'Options.dat'), 'w', encoding='ascii', newline='\r\n') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
