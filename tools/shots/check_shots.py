#!/usr/bin/env python3
"""Starts the loader, takes its six pictures with krl_shots.exe and checks them against the stored forms
and the carried TIDE skin's section colours.

    check_shots.py WINE_RUN LOADER_EXE SHOTS_EXE OUT_DIR TIDE_OPTIONS MAIN_FORM ABOUT_FORM DEVSIM

The loader runs with a simulated device (DEVSIM, listed as its port; WINE_RUN is the runner with the modem-line
shim): once the pictures are taken it writes the device, and closed, it must end within 2 s of its main window
closing (krl_shots.exe --quit).

Checked in every picture where a control is visible: a skinned control (gauge, progress bar, panel, button,
combo box) shows one of its section's state colours at points inside it and, outside its children, nowhere the
system's button face; a button with a caption and a label have text pixels; a PNG button shows its image; the
About window's web label shows the skin's link colour. Every window's frame is the skin's: its caption band in
the title section's colour with text on it, and neither it nor a border strip mostly in the system's caption or
border colour. The main window with the pointer resting on its close button: as the main window, and the close
button in the skin's hot close look (check_hover). The message window after Ctrl+R: its OK button as any button,
its text above. The system menu: see check_menu.
"""
import os
import re
import struct
import subprocess
import sys
import time
import zlib


# ---------------------------------------------------------------- pictures

def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB or RGBA PNG."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise SystemExit('%s: not a PNG' % path)
    pos, idat, width = 8, b'', 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, ctype = struct.unpack('>IIBB', body[:10])
            if depth != 8 or ctype not in (2, 6):
                raise SystemExit('%s: only 8-bit RGB(A) is read' % path)
            bpp = 3 if ctype == 2 else 4
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[k * bpp:k * bpp + 3]) for k in range(width)])
        prev = line
    return width, height, rows


# ---------------------------------------------------------------- sources

def section_colours(options_path):
    """{section: [(r, g, b) of COLOR, HOTCOLOR, COLOR2 as given]}, and TCBOTTOM and TCTOP of GLOBALINFO."""
    colours, section = {}, None
    with open(options_path, encoding='ascii') as f:
        for line in f:
            line = line.strip()
            if line.startswith('['):
                section = line.strip('[]')
                continue
            m = re.match(r'(COLOR|HOTCOLOR|COLOR2|TCBOTTOM|TCTOP)=#([0-9A-Fa-f]{6})', line)
            if not section or not m:
                continue
            v = m.group(2)
            rgb = (int(v[0:2], 16), int(v[2:4], 16), int(v[4:6], 16))
            if section == 'GLOBALINFO' and m.group(1) in ('TCBOTTOM', 'TCTOP'):
                colours[m.group(1)] = rgb
            elif section != 'GLOBALINFO' and m.group(1) in ('COLOR', 'HOTCOLOR', 'COLOR2'):
                colours.setdefault(section, []).append(rgb)
    return colours


class Control:
    def __init__(self, name, cls, parent):
        self.name, self.cls, self.parent = name, cls, parent
        self.props = {}
        self.children = []

    def prop(self, key, default=0):
        return self.props.get(key, default)

    def origin(self):
        """Top-left in the form's client area."""
        x, y, p = int(self.prop('Left')), int(self.prop('Top')), self.parent
        while p is not None and p.parent is not None:
            x, y, p = x + int(p.prop('Left')), y + int(p.prop('Top')), p.parent
        return x, y

    def rect(self):
        x, y = self.origin()
        return x, y, x + int(self.prop('Width')), y + int(self.prop('Height'))


def read_form(path):
    """The controls of a stored form description, the form itself first."""
    stack, everything = [], []
    with open(path, encoding='utf-8') as f:
        for line in f:
            s = line.strip()
            m = re.match(r'object (\w+): (\w+)', s)
            if m:
                c = Control(m.group(1), m.group(2), stack[-1] if stack else None)
                if stack:
                    stack[-1].children.append(c)
                stack.append(c)
                everything.append(c)
            elif s == 'end' and stack:
                stack.pop()
            elif stack:
                m = re.match(r"([\w.]+) = (-?\d+|'[^']*'|\[[\w, ]*\]|\w+)$", s)
                if m:
                    v = m.group(2)
                    if v.startswith("'"):
                        v = v.strip("'")
                    elif v.startswith('['):
                        v = frozenset(w.strip() for w in v.strip('[]').split(',') if w.strip())
                    elif re.match(r'-?\d+$', v):
                        v = int(v)
                    stack[-1].props[m.group(1)] = v
    return everything


# ---------------------------------------------------------------- checks

class Picture:
    def __init__(self, path, cx, cy, cw, ch):
        self.w, self.h, self.rows = read_png(path)
        self.cx, self.cy, self.cw, self.ch = cx, cy, cw, ch
        self.name = os.path.basename(path)
        self.controls = []  # (class, x0, y0, x1, y1, text) of the window's child windows

    def at(self, x, y):
        """The pixel at client point (x, y)."""
        return self.rows[self.cy + y][self.cx + x]

    def shows(self, rect):
        x0, y0, x1, y1 = rect
        return x0 >= 0 and y0 >= 0 and x1 <= self.cw and y1 <= self.ch

    def pixels(self, rect):
        x0, y0, x1, y1 = rect
        return [self.at(x, y) for y in range(y0, y1) for x in range(x0, x1)]


def hexrgb(c):
    return '#%02X%02X%02X' % c


def mask_edges(tide_dir):
    """{section: [(r, g, b) of the middle of each state's left edge]} as the skin's painter draws the sections'
    border masks (the skin is drawn from these painters, so a skinned control's edge shows one of them)."""
    sys.path.insert(0, tide_dir)
    import draw_tide
    edges = {}
    for (section, key), paint in draw_tide.painters().items():
        if key == 'BORDERSMASK':
            edges[section] = [tuple(int(round(c)) for c in frame.px[6][0][:3]) for frame in paint(12, 12)]
    return edges


def hot_close(tide_dir):
    """(r, g, b) of the skin's hot close button block, as its painter draws it."""
    sys.path.insert(0, tide_dir)
    import draw_tide
    return tuple(draw_tide.C['close_hot'])


# Classes drawn from a skin section: the section when the form names none, and the points inside the
# control (offsets from its left and right edges, at half its height) that show the section's colour clear of
# border, caption, selected item and drop-down glyph.
SKINNED = {'TsGauge': ('GAUGE', 4, 5), 'TsProgressBar': ('GAUGE', 4, 5), 'TsPanel': ('PANEL', 4, 5),
           'TsButton': ('BUTTON', 8, 9), 'TButton': ('BUTTON', 8, 9), 'TsComboBox': ('COMBOBOX', 2, 5)}
BUTTONS = ('TsButton', 'TButton')
LABELS = ('TsLabel', 'TLabel', 'TsWebLabel')


def inside(rect, x, y):
    return rect[0] <= x < rect[2] and rect[1] <= y < rect[3]


def ink(pixels, background, least):
    """Whether at least `least` pixels stand clearly off the background (text or glyph strokes)."""
    return sum(1 for p in pixels if max(abs(p[k] - background[k]) for k in range(3)) > 80) >= least


def check(picture, controls, colours, faults):
    def fault(text):
        faults.append('%s: %s' % (picture.name, text))

    for c in controls[1:]:
        r = c.rect()
        if not picture.shows(r):
            continue
        x0, y0, x1, y1 = r
        if c.cls in SKINNED:
            default, left, right = SKINNED[c.cls]
            section = c.prop('SkinData.SkinSection', default)
            # any state's colour: the focused or default control looks hot
            want = colours[section]
            for x, y in ((x0 + left, (y0 + y1) // 2), (x1 - right, (y0 + y1) // 2)):
                if picture.at(x, y) not in want:
                    fault('%s (%s) shows %s at %d,%d, not its section %s colour %s'
                          % (c.name, c.cls, hexrgb(picture.at(x, y)), x, y, section,
                             ' or '.join(hexrgb(w) for w in want)))
            face = colours.get('@btnface')
            kids = [k.rect() for k in c.children]
            own = [picture.at(x, y) for y in range(y0, y1) for x in range(x0, x1)
                   if not any(inside(k, x, y) for k in kids)]
            if face is not None and face not in want and face in own:
                fault('%s (%s) shows the system button face' % (c.name, c.cls))
            if c.cls in BUTTONS and c.prop('Caption', '') and not ink(own, picture.at(x0 + left, (y0 + y1) // 2), 8):
                fault('%s (%s) shows no caption text' % (c.name, c.cls))
            # a system button can share a face colour with the skin; its edge tells them apart
            edges = colours['@edges'].get(section, [])
            for x in (x0, x1 - 1) if c.cls in BUTTONS else ():
                if picture.at(x, (y0 + y1) // 2) not in edges:
                    fault('%s (%s) edge at %d,%d is %s, not its section %s frame %s'
                          % (c.name, c.cls, x, (y0 + y1) // 2, hexrgb(picture.at(x, (y0 + y1) // 2)), section,
                             ' or '.join(hexrgb(e) for e in edges)))
        elif c.cls in LABELS:
            pixels = picture.pixels(r)
            if not ink(pixels, max(set(pixels), key=pixels.count), 8):
                fault('%s (%s) shows no text' % (c.name, c.cls))
            if c.cls == 'TsWebLabel' and colours['TCBOTTOM'] not in pixels:
                fault('%s shows no pixel of the link colour %s' % (c.name, hexrgb(colours['TCBOTTOM'])))
        elif c.cls == 'TPNGButton':
            pixels = picture.pixels(r)
            background = max(set(pixels), key=pixels.count)
            if sum(1 for p in pixels if p != background) < len(pixels) // 8:
                fault('%s shows no image' % c.name)


def check_frame(picture, colours, faults, minimise):
    """The skinned frame: the caption band in the title section's colour beside text and buttons, text pixels in
    it, border strips that are not mostly the system's own frame colours, corners cut by the region and the title
    buttons' glyphs."""
    def fault(text):
        faults.append('%s: %s' % (picture.name, text))

    cx, cy, cw, ch = picture.cx, picture.cy, picture.cw, picture.ch
    if cy < 8 or cx < 1:
        fault('no frame around the client (client at %d,%d)' % (cx, cy))
        return
    title = colours['FORMTITLE']
    band = [picture.rows[y][x] for y in range(cy // 3, cy - 2) for x in range(cx, cx + cw)]
    common = max(set(band), key=band.count)
    if common not in title:
        fault('caption band is %s, not the title colour %s' % (hexrgb(common), ' or '.join(hexrgb(t) for t in title)))
    if not ink(band, common, 20):
        fault('caption shows no text')
    strips = {'left': [(x, y) for x in range(cx) for y in range(cy, cy + ch)],
              'right': [(x, y) for x in range(cx + cw, picture.w) for y in range(cy, cy + ch)],
              'bottom': [(x, y) for y in range(cy + ch, picture.h) for x in range(cx, cx + cw)]}
    for side, points in strips.items():
        if not points:
            fault('no %s border strip' % side)
    system = [colours[k] for k in ('@activecaption', '@activeborder') if k in colours]
    if common in system:
        fault('caption band shows the system colour %s' % hexrgb(common))
    for side, points in strips.items():
        if not points:
            continue
        values = [picture.rows[y][x] for x, y in points]
        main = max(set(values), key=values.count)
        if main in system and main not in title:
            fault('%s border strip shows the system colour %s' % (side, hexrgb(main)))
    check_corners(picture, fault)
    check_title_buttons(picture, minimise, fault)


# The shot tool puts a window of this colour right behind the window it takes.
BACKDROP = (0x00, 0xFF, 0x00)


def check_corners(picture, fault):
    """The form's region cuts its corner pixels away, so the backdrop behind the window shows there and only
    there."""
    w, h = picture.w, picture.h
    for (x, y), (ix, iy) in (((0, 0), (1, 1)), ((w - 1, 0), (w - 2, 1)), ((0, h - 1), (1, h - 2)),
                             ((w - 1, h - 1), (w - 2, h - 2))):
        if picture.rows[y][x] != BACKDROP:
            fault('corner %d,%d is %s, not cut by the region' % (x, y, hexrgb(picture.rows[y][x])))
        if picture.rows[iy][ix] == BACKDROP:
            fault('the region cuts more than the corner at %d,%d' % (ix, iy))


def glyph_shapes(picture):
    """Groups of near-white pixels in the caption band, from the right edge leftwards: (width, height, pixels)."""
    band = range(1, picture.cy - 1)
    white = getattr(picture, 'glyph_white', 0xFA)
    columns = [[y for y in band if min(picture.rows[y][x]) >= white] for x in range(picture.w)]
    groups, current, gap = [], [], 0
    for x in range(picture.w - 1, -1, -1):
        if columns[x]:
            current += [(x, y) for y in columns[x]]
            gap = 0
        elif current:
            gap += 1
            if gap >= 3:
                groups.append(current)
                current, gap = [], 0
    if current:
        groups.append(current)
    shapes = []
    for points in groups:
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        shapes.append((max(xs) - min(xs) + 1, max(ys) - min(ys) + 1, set(points), min(xs), min(ys)))
    return shapes


def is_cross(shape):
    w, h, points, x0, y0 = shape
    near = lambda cx, cy: any((cx + dx, cy + dy) in points for dx in (-1, 0, 1) for dy in (-1, 0, 1))
    return w >= 5 and h >= 5 and all(near(x, y) for x, y in ((x0, y0), (x0 + w - 1, y0), (x0, y0 + h - 1),
                                                              (x0 + w - 1, y0 + h - 1), (x0 + w // 2, y0 + h // 2)))


def is_bar(shape):
    return shape[0] >= 5 and shape[1] <= 2


def check_title_buttons(picture, minimise, fault):
    """The title buttons' glyphs from the skin's masks: the close cross at the right end of the caption, the
    minimise bar beside it on the main window, none on windows that have only the close button."""
    shapes = glyph_shapes(picture)
    if not shapes or not is_cross(shapes[0]):
        fault('no close button glyph at the right of the caption')
        return
    beside = len(shapes) > 1 and is_bar(shapes[1])
    if beside != minimise:
        fault('minimise button glyph %s' % ('missing beside the close button' if minimise else 'shown, not wanted'))


def check_hover(picture, colours, faults):
    """The close button with the pointer resting on it: around its glyph, the skin's hot close colour fills most of
    the button (TIDE's rounded block; the fade window may show it premultiplied, a step darker)."""
    shapes = glyph_shapes(picture)
    if not shapes or not is_cross(shapes[0]):
        faults.append('%s: no close button glyph to look at' % picture.name)
        return
    w, h, points, x0, y0 = shapes[0]
    hot = colours['@close_hot']
    around = [picture.rows[y][x] for y in range(max(y0 - 3, 0), min(y0 + h + 3, picture.h))
              for x in range(max(x0 - 3, 0), min(x0 + w + 3, picture.w)) if (x, y) not in points]
    if sum(1 for p in around if near(p, hot)) < len(around) // 2:
        faults.append('%s: the close button is not in the hot look %s (mostly %s)'
                      % (picture.name, hexrgb(hot), hexrgb(max(set(around), key=around.count))))


def check_message(picture, colours, faults):
    """The message window: its OK button skinned like any button, and the message's text above it."""
    found = [c for c in picture.controls if c[-1] == 'OK']
    if not found:
        faults.append('%s: no OK button among %s' % (picture.name, picture.controls))
        return
    x0, y0, x1, y1 = found[0][1:5]
    form = Control('MessageForm', 'TMessageForm', None)
    button = Control('OK', 'TButton', form)
    button.props = {'Left': x0, 'Top': y0, 'Width': x1 - x0, 'Height': y1 - y0, 'Caption': 'OK'}
    check(picture, [form, button], colours, faults)
    text = picture.pixels((8, 8, picture.cw - 8, y0 - 8))
    if not text or not ink(text, max(set(text), key=text.count), 20):
        faults.append('%s: the message shows no text' % picture.name)


RESTORE, MOVE, SIZE, MINIMIZE, MAXIMIZE, CLOSE = 0xF120, 0xF010, 0xF000, 0xF020, 0xF030, 0xF060
GLYPHED = (RESTORE, MINIMIZE, MAXIMIZE, CLOSE)


def system_menu_items(form):
    """The skinned system menu of a form at rest (neither minimised nor maximised) as the program builds it from
    the window's own menu: [(command, enabled)], None for the dividing line."""
    icons, style = form.prop('BorderIcons', frozenset()), form.prop('BorderStyle', 'bsSizeable')
    if 'biSystemMenu' not in icons:
        return []
    framed = style in ('bsSingle', 'bsSizeable')
    items = [(RESTORE, False)] if framed else []
    items.append((MOVE, True))
    if style not in ('bsNone', 'bsDialog', 'bsToolWindow'):
        items.append((SIZE, style != 'bsSingle'))
    for command, icon in ((MINIMIZE, 'biMinimize'), (MAXIMIZE, 'biMaximize')):
        if framed and icon in icons:
            items.append((command, True))
    return items + [None, (CLOSE, True)]


def near(p, q, d=3):
    return max(abs(p[k] - q[k]) for k in range(3)) <= d


def check_menu(picture, form, colours, faults):
    """The system menu with its first enabled item selected: frame, background, selected face, icon column and
    the command glyphs beside the items, all from the skin, and nowhere the system's menu colour. Item rows are
    found from the selected face's height and the menu's known items."""
    def fault(text):
        faults.append('%s: %s' % (picture.name, text))

    rows, w, h = picture.rows, picture.w, picture.h
    frame = colours['@edges']['MAINMENU'][0]
    ring = rows[0][1:-1] + rows[-1][1:-1] + [rows[y][x] for y in range(1, h - 1) for x in (0, w - 1)]
    if sum(1 for p in ring if p != frame) > len(ring) // 50:
        fault('frame is not the MAINMENU frame colour %s (found %s)'
              % (hexrgb(frame), hexrgb(max(set(ring), key=ring.count))))
    inner = [rows[y][x] for y in range(1, h - 1) for x in range(1, w - 1)]
    menu = colours.get('@menu')
    own = [colours[k][0] for k in ('MAINMENU', 'ICOLINE')] + colours['MENUITEM']
    if menu in own:
        # Wine's menu colour is white like TIDE's popup: the frame, column and face checks tell the two apart
        print('%s: the system menu colour %s is one of the skin\'s, not looked for' % (picture.name, hexrgb(menu)))
    elif menu is not None and menu in inner:
        fault('shows the system menu colour %s' % hexrgb(menu))
    hot = colours['MENUITEM'][1]
    hot_rows = [y for y in range(h) if rows[y].count(hot) > w // 2]
    items = system_menu_items(form)
    chosen = next((i for i, item in enumerate(items) if item and item[1]), None)
    if not hot_rows or chosen is None or any(item is None for item in items[:chosen]):
        fault('no item shows the selected face %s' % hexrgb(hot))
        return
    height = len(hot_rows)
    top = hot_rows[0] - height * chosen
    lines = items.count(None)
    spare = h - 2 * top - (len(items) - lines) * height
    if hot_rows[-1] - hot_rows[0] + 1 != height or not 1 <= top <= 4 or spare < lines or spare % lines:
        fault('item rows do not add up: selected face on rows %d..%d' % (hot_rows[0], hot_rows[-1]))
        return
    left = rows[hot_rows[0]].index(hot)
    # the icon column: as wide as the skin's text offset, seen in the popup's top margin
    column = next((x for x in range(1, w) if rows[1][x] != colours['ICOLINE'][0]), 1) - 1
    if column < 16:
        fault('no icon column of ICOLINE %s (%d px)' % (hexrgb(colours['ICOLINE'][0]), column))
        return
    # every item takes its background from its own place in the popup: the icon column runs straight from the top
    # margin to the bottom one, and no frame line shows inside the items
    if any(not near(rows[y][column], colours['ICOLINE'][0]) for y in range(top, h - top) if y not in hot_rows):
        fault('the icon column is not %d px wide down the whole popup' % column)
    inside = [rows[y][w - left - 1] for y in range(top, h - top)] + rows[h - top - 1][left:w - left]
    if inside.count(frame) > len(inside) // 4:
        fault('the frame colour %s shows inside the items' % hexrgb(frame))
    y = top
    for i, item in enumerate(items):
        y0, y = y, y + (spare // lines if item is None else height)
        if item is None or i == chosen:
            continue
        command, enabled = item
        band = [rows[yy][x] for yy in range(y0, y) for x in range(1, left + 16)]
        if sum(1 for p in band if near(p, colours['ICOLINE'][0])) < len(band) // 2:
            fault('item %d has no icon column of ICOLINE' % i)
        face = [rows[yy][x] for yy in range(y0, y) for x in range(column + 2, w - left)]
        # a disabled item is blended over the background, a step off at most
        if not near(max(set(face), key=face.count), colours['MAINMENU'][0]):
            fault('item %d lies on %s, not the MAINMENU background' % (i, hexrgb(max(set(face), key=face.count))))
        strokes = sum(1 for p in band if max(abs(p[k] - colours['ICOLINE'][0][k]) for k in range(3)) > 80)
        if command in GLYPHED and enabled and strokes < 3:
            fault('no glyph beside item %d (command %04X)' % (i, command))
        elif command not in GLYPHED and strokes:
            fault('a glyph beside item %d (command %04X), which has none' % (i, command))


def main(argv):
    wine_run, loader, shots, out, tide, main_form, about_form, devsim = argv[1:9]
    os.makedirs(out, exist_ok=True)
    for name in ('main.png', 'hover.png', 'service.png', 'about.png', 'message.png', 'sysmenu.png'):
        if os.path.exists(os.path.join(out, name)):
            os.remove(os.path.join(out, name))
    prefix = os.environ.get('KRL_WINEPREFIX', os.path.join(os.path.dirname(os.path.abspath(wine_run)), 'wineprefix'))
    # the device the loader writes, 28 pages of 16 blocks of 64 bytes: its stored firmware's size
    device = subprocess.Popen([sys.executable, devsim, '--prefix', prefix, '--register', '--page-count', '28'],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, encoding='ascii',
                              env=dict(os.environ, WINEPREFIX=prefix))
    started = device.stdout.readline().split()
    if started[:3] != ['simulated', 'device', 'on']:
        device.kill()
        print('check_shots: the simulated device did not start')
        return 1
    program = subprocess.Popen([wine_run, loader], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # window texts come in the program's code page
        folder = 'Z:' + os.path.abspath(out).replace('/', '\\')
        taken = subprocess.run([wine_run, shots, folder, '--quit', started[3]],
                               capture_output=True, encoding='cp1251', errors='replace', timeout=180)
        try:
            program.wait(timeout=30)
        except subprocess.TimeoutExpired:
            pass
    finally:
        if program.poll() is None:
            program.kill()
            time.sleep(1)
        device.terminate()
        device.wait(timeout=30)
    if taken.returncode != 0:
        print(taken.stdout, taken.stderr)
        print('check_shots: the pictures were not taken')
        return 1
    pictures, system, last = {}, {}, None
    for line in taken.stdout.splitlines():
        words = line.split()
        if len(words) == 2 and words[1].startswith('#'):
            v = words[1][1:]
            system['@' + words[0]] = (int(v[0:2], 16), int(v[2:4], 16), int(v[4:6], 16))
        elif len(words) == 5:
            last = words[0].replace('\\', '/').split('/')[-1]
            pictures[last] = Picture(os.path.join(out, last), *map(int, words[1:]))
            print('%s: %dx%d, client at %s,%s' % (last, pictures[last].w, pictures[last].h, words[1], words[2]))
        elif words and words[0] == 'control' and last and len(words) >= 6:
            pictures[last].controls.append((words[1], *map(int, words[2:6]), ' '.join(words[6:])))
        elif words[:2] == ['loader', 'ended']:
            print(line)
        elif words and words[0] == 'keys' and last:
            print('%s: keys %s' % (last, ' '.join(words[1:])))
    colours = section_colours(tide)
    colours.update(system)
    colours['@edges'] = mask_edges(os.path.dirname(os.path.abspath(tide)))
    colours['@close_hot'] = hot_close(os.path.dirname(os.path.abspath(tide)))
    faults = []
    if 'hover.png' in pictures:
        # the hot close button lies on its fade window, whose glyph edges carry alpha; with no compositing here
        # the display shows them unblended, a shade below white
        pictures['hover.png'].glyph_white = 0xF0
    main_controls, about_controls = read_form(main_form), read_form(about_form)
    for name, controls in (('main.png', main_controls), ('hover.png', main_controls), ('service.png', main_controls),
                           ('about.png', about_controls), ('message.png', None)):
        if name not in pictures:
            faults.append('%s was not taken' % name)
            continue
        if controls is None:
            check_message(pictures[name], colours, faults)
        else:
            check(pictures[name], controls, colours, faults)
        check_frame(pictures[name], colours, faults, name in ('main.png', 'hover.png', 'service.png'))
    if 'hover.png' in pictures:
        check_hover(pictures['hover.png'], colours, faults)
    if 'sysmenu.png' not in pictures:
        faults.append('sysmenu.png was not taken')
    else:
        check_menu(pictures['sysmenu.png'], main_controls[0], colours, faults)
    for f in faults:
        print('FAULT', f)
    print('check_shots: %d faults' % len(faults))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
