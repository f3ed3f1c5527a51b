#!/usr/bin/env python3
"""Draws the SOLID test skin: every element frame is one flat colour, or a
1-pixel ring of one colour around a centre of another.

    draw_solid.py SOURCE_DIR OUT_DIR

The JPEG image of section PHOTO is the About window's emblem (tools/images/emblem.jpg).
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
import skinimg as si  # noqa: E402
from tide.draw_tide import parse_elements  # noqa: E402

# Frame colours per element: title buttons are blocks, one colour per state;
# the blue channel counts the element and the red channel the state.
RINGS = {
    ('FORM', 'BORDERSMASK'): [('404040', 'FF0000'), ('202020', 'FF0000')],
    ('BUTTON', 'BORDERSMASK'): [('000000', 'FF00FE'), ('000040', '800080'), ('000080', '400040')],
    ('BUTTON_HUGE', 'BORDERSMASK'): [('000000', 'FF00FE'), ('000040', '800080'), ('000080', '400040')],
    ('EDIT', 'BORDERSMASK'): [('808080', 'FFFFFF'), ('0000FF', 'FFFFFF'), ('C0C0C0', 'FFFFFF')],
    ('KEYCORNER', 'BORDERSMASK'): [('FFFFFF', '2040C0'), ('C0C0C0', '2040C0'), ('808080', '2040C0')],
    ('GROUPBOX', 'BORDERSMASK'): [('603000', 'E0C0A0')],
    ('TABTOP', 'BORDERSMASK'): [('300000', 'D0E0F0'), ('304000', 'D1E0F0'), ('308000', 'D2E0F0')],
    ('PROGRESSH', 'LRGN'): [('FFFFFF', 'FFFFFF')],
    ('OUTERED', 'OUTERMASK'): [('FFFFFF', '2040C0'), ('C0C0C0', '2040C0'), ('808080', '2040C0')],
    ('SPEEDBUTTON', 'BORDERSMASK'): [('100000', 'F0F000'), ('100040', 'F0F040'), ('100080', 'F0F080')],
    ('SPEEDBUTTON_SMALL', 'BORDERSMASK'): [('200000', 'E0E000'), ('200040', 'E0E040'), ('200080', 'E0E080')],
    ('TRACKBAR', 'SLIDERCHANNEL'): [('203040', 'A0B0C0')],
    ('DIVIDER', 'BORDERSMASK'): [('5000A0', '5000A0')],
    ('STATUSPANELS', 'STATUSPANELMASK'): [('0050A0', 'C0D0E0')],
    ('BUTTON4', 'BORDERSMASK'): [('000000', 'FF00FE'), ('000040', '800080'), ('000080', '400040'), ('0000C0', '400040')],
}
# Image blocks of sections ('@' values): one flat colour per frame.
BLOCKS = {
    ('TRACKBAR', 'TICKHORZ'): ['112233', '112299'],
    ('TRACKBAR', 'TICKVERT'): ['332211', '992211'],
    ('TRACKBAR', 'SLIDERMASK'): ['00A0A0', '00A0F0'],
    ('TRACKBAR', 'SLIDERVMASK'): ['A0A000', 'F0A000'],
}
# Blocks with a band of another colour on one side (rows at the bottom, columns at the right), so that a
# mirrored or stretched copy shows.
BANDS = {
    ('TRACKBAR', 'SLIDERMASK'): ('404000', 4, 'rows'),
    ('TRACKBAR', 'SLIDERVMASK'): ('004040', 4, 'columns'),
}
# Borders that are images of their own: file name, frames as (ring, centre), frame size; their corner pixels
# show the parent.
OWN_IMAGES = {('LRGNBUTTON', 'BORDERSMASK'): ('HITBTN.BMP', [('000000', 'FF00FE'), ('000040', '800080'),
                                                             ('000080', '400040')], 6)}
# Rings whose four corner pixels show the parent.
KEY_CORNERS = {('KEYCORNER', 'BORDERSMASK'), ('PROGRESSH', 'LRGN'), ('OUTERED', 'OUTERMASK'), ('FORM', 'BORDERSMASK')}
# Global glyphs of controls: blocks of (0x40 * (state + 1), 0x60, code).
GLYPHS = {'BOXUNCHECKED': 1, 'BOXCHECKED': 2, 'BOXGRAYED': 3, 'RADIOUNCHECKED': 4, 'RADIOCHECKED': 5, 'GRIPIMAGE': 6}
# Texture colour (every texture element is one flat colour; masked ones show it fully).
TEXTURE = 'C04040'
# Glow: a flat colour whose mask lets half of it through on the borders and nothing in the centre.
GLOW = ('FF8000', 0.5, 10)


def parse_textures(text):
    """(left, top, right, bottom, masked) of every '~' value, each place once."""
    places = []
    for line in text.split('\n'):
        line = line.strip()
        if '=~' in line and not line.startswith(';'):
            words = [w for w in line.split('=', 1)[1].split('~') if w]
            place = tuple(int(w) for w in words[:4]) + (len(words) > 5 and words[5] != '0',)
            if place not in places:
                places.append(place)
    return places


def main(argv):
    src, out = argv[1], argv[2]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(src, 'Options.src'), encoding='ascii') as f:
        text = si.render_text(f.read())
    master = si.Image(176, 112)
    blocks = 0
    for section, key, r, count, mtype in parse_elements(text):
        fw = (r[2] - r[0]) // count
        fh = (r[3] - r[1]) // (mtype + 1)
        frames = []
        if (section, key) in RINGS:
            for ring, centre in RINGS[(section, key)]:
                layer = si.Layer(fw, fh)
                layer.fill(si.rect(0, 0, fw, fh), si.hex_rgb(centre))
                layer.fill(si.ring(0, 0, fw, fh, 0, 1.0), si.hex_rgb(ring))
                if (section, key) in KEY_CORNERS:
                    for x, y in ((0, 0), (fw - 1, 0), (0, fh - 1), (fw - 1, fh - 1)):
                        layer.outside[y][x] = True
                frames.append(layer)
        elif (section, key) in BLOCKS:
            for colour in BLOCKS[(section, key)]:
                layer = si.Layer(fw, fh)
                layer.fill(si.rect(0, 0, fw, fh), si.hex_rgb(colour))
                if (section, key) in BANDS:
                    band, size, side = BANDS[(section, key)]
                    area = si.rect(0, fh - size, fw, fh) if side == 'rows' else si.rect(fw - size, 0, fw, fh)
                    layer.fill(area, si.hex_rgb(band))
                frames.append(layer)
        elif key.startswith('GLOW'):
            colour, strength, border = GLOW
            layer = si.Layer(fw, fh)
            layer.fill(si.rect(0, 0, fw, fh), si.hex_rgb(colour), strength)
            layer.px = [[(r, g, b, 0.0) if border <= x < fw - border and border <= y < fh - border else (r, g, b, a)
                         for x, (r, g, b, a) in enumerate(row)] for y, row in enumerate(layer.px)]
            frames.append(layer)
        elif section == 'GLOBALINFO' and key in GLYPHS:
            for state in range(count):
                layer = si.Layer(fw, fh)
                layer.fill(si.rect(0, 0, fw, fh), (0x40 * (state + 1), 0x60, GLYPHS[key]))
                frames.append(layer)
        elif section == 'GLOBALINFO':
            blocks += 1
            for state in range(count):
                layer = si.Layer(fw, fh)
                layer.fill(si.rect(0, 0, fw, fh), (0x40 * (state + 1), 0x20, blocks * 0x10))
                frames.append(layer)
        else:
            raise SystemExit('draw_solid: no colours for %s.%s' % (section, key))
        if len(frames) != count:
            raise SystemExit('draw_solid: %s.%s wants %d frames' % (section, key, count))
        master.place_element(r[0], r[1], frames, mtype > 0)
    for (section, key), (name, rings, size) in OWN_IMAGES.items():
        own = si.Image(size * len(rings), size)
        frames = []
        for ring, centre in rings:
            layer = si.Layer(size, size)
            layer.fill(si.rect(0, 0, size, size), si.hex_rgb(centre))
            layer.fill(si.ring(0, 0, size, size, 0, 1.0), si.hex_rgb(ring))
            for x, y in ((0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)):
                layer.outside[y][x] = True
            frames.append(layer)
        own.place_element(0, 0, frames, False)
        with open(os.path.join(out, name), 'wb') as f:
            f.write(own.bmp24())
    for left, top, right, bottom, masked in parse_textures(text):
        layer = si.Layer(right - left, (bottom - top) // (2 if masked else 1))
        layer.fill(si.rect(0, 0, layer.w, layer.h), si.hex_rgb(TEXTURE))
        master.place_element(left, top, [layer], masked)
    with open(os.path.join(out, 'MASTER.BMP'), 'wb') as f:
        f.write(master.bmp24())
    here = os.path.dirname(os.path.abspath(__file__))
    shutil.copyfile(os.path.join(here, '..', '..', 'images', 'emblem.jpg'), os.path.join(out, 'PHOTO.JPG'))
    with open(os.path.join(out, 'Options.dat'), 'w', encoding='ascii', newline='\r\n') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
