#!/usr/bin/env python3
"""Checks a skin folder's text ("Options.dat") against the rules the loader
relies on, and can write the mask model the loader must build from it.

    skincheck.py SKIN_DIR [--summary OUT.txt] [--scale 0..3]

Errors are printed one per line and make the exit status 1.  The summary lists,
for the given scale, every image element the text defines, in the loader's
order, with its derived frame size and border widths; tests load the same skin
and compare.
"""
import os
import re
import struct
import sys

SECTION_RE = re.compile(r'^[A-Z0-9_]+$')
KEY_RE = re.compile(r'^[A-Z0-9_]+(\*(125|150|200))?$')
SCALE_SUFFIX = ['', '*125', '*150', '*200']
SCALE_PERCENT = [100, 125, 150, 200]

# Keys whose value is a plain integer (colours included); the loader reads
# them with a default, so a malformed value would silently become the default.
STATE_INT_KEYS = [
    'COLOR', 'HOTCOLOR', 'COLOR2', 'FONTCOLOR', 'HOTFONTCOLOR', 'FONTCOLOR2',
    'TCLEFT', 'HOTTCLEFT', 'TCLEFT2', 'TCTOP', 'HOTTCTOP', 'TCTOP2',
    'TCRIGHT', 'HOTTCRIGHT', 'TCRIGHT2', 'TCBOTTOM', 'HOTTCBOTTOM', 'TCBOTTOM2',
    'GCOL', 'HGCOL', 'GCOL2', 'GSIZE', 'HGSIZE', 'GSIZE2',
    'GRADIENTPERCENT', 'HOTGRADIENTPERCENT', 'GRADIENTPERCENT2',
    'IMAGEPERCENT', 'HOTIMAGEPERCENT', 'IMAGEPERCENT2',
    'TRANSPARENCY', 'HOTTRANSPARENCY', 'TRANSPARENCY2',
]
SECTION_INT_KEYS = ['GLOW', 'GLOWMARGIN', 'STATES', 'OUTOFFSL', 'OUTOFFST', 'OUTOFFSR',
                    'OUTOFFSB', 'OUTOPACITY', 'OUTERMODE', 'USESTATE2']
GLOBAL_INT_KEYS = [
    'BORDERWIDTH', 'TITLEHEIGHT', 'MAXHEIGHT', 'CENTEROFFSET', 'FORMOFFSET', 'BORDERMODE',
    'BRIGHTMIN', 'BRIGHTMAX', 'ALIGNOFFSET', 'ALIGNOFFSETR', 'ALIGNOFFSETT', 'ALIGNOFFSETB',
    'BISPACE', 'BIVALIGN', 'BIRIGHT', 'BILEFT', 'BITOP', 'BIKEEPHUE', 'AEROBLUR',
    'BICONCLOSEGLOW', 'SHADOW1COLOR', 'SHADOW1OFFSET', 'SHADOW1BLUR', 'SHADOW1TRANSPARENCY',
    'COMBOMARGIN', 'SLIDERMARGIN', 'ARROWSTYLE', 'BORDERCOLOR',
    'EDITTEXT_OK', 'EDITTEXT_WARN', 'EDITTEXT_ALERT', 'EDITBG_OK', 'EDITBG_WARN',
    'EDITBG_ALERT', 'EDITTEXT_H1', 'EDITTEXT_H2', 'EDITTEXT_H3', 'EDITTEXT_INV',
    'EDITBG_INV', 'EDITBG_ODD', 'EDITBG_EVEN', 'GRIDLINE',
    'BTNBORDERACTIVE', 'BTNFONTACTIVE', 'BTNBORDERNORMAL', 'BTNFONTNORMAL',
    'BTNBORDERPRESSED', 'BTNFONTPRESSED',
] + ['%s_%s%s' % (p, f, s) for p in ('SH', 'LO') for f in ('COLOR', 'WIDTH', 'OFFSET')
     for s in 'LRTB'] + ['SH_SOURCE', 'SH_OPACITY', 'LO_SOURCE', 'LO_OPACITY']
GLOBAL_INT64_KEYS = ['BTNCOLOR1ACTIVE', 'BTNCOLOR2ACTIVE', 'BTNCOLOR1NORMAL',
                     'BTNCOLOR2NORMAL', 'BTNCOLOR1PRESSED', 'BTNCOLOR2PRESSED']
GRADIENT_KEYS = ['GRADIENTDATA', 'HOTGRADIENTDATA', 'GRADIENTDATA2']


def parse_text(raw, errors):
    """Returns [(section, [(key, value, line_no)])] in text order."""
    sections = []
    current = None
    seen = set()
    for no, line in enumerate(raw.split('\n'), 1):
        line = line.rstrip('\r')
        s = line.strip()
        if not s:
            continue
        if s.startswith(';'):
            if '=' in s:
                errors.append('line %d: a comment must not hold "=", the loader would read it as a key' % no)
            continue
        if s.startswith('['):
            if not s.endswith(']'):
                errors.append('line %d: unterminated section header' % no)
                continue
            name = s[1:-1]
            if not SECTION_RE.match(name):
                errors.append('line %d: section name "%s" is not upper-case ASCII' % (no, name))
            if name in seen:
                errors.append('line %d: section [%s] appears twice' % (no, name))
            seen.add(name)
            current = (name, [])
            sections.append(current)
            continue
        if current is None:
            errors.append('line %d: key outside any section' % no)
            continue
        if '=' not in line:
            errors.append('line %d: not a key=value line' % no)
            continue
        key, value = line.split('=', 1)
        if key != key.strip():
            errors.append('line %d: blanks around key "%s"' % (no, key.strip()))
        key = key.strip()
        if not KEY_RE.match(key):
            errors.append('line %d: key "%s" is not upper-case ASCII' % (no, key))
        if any(k == key for k, _, _ in current[1]):
            errors.append('line %d: key %s repeated in [%s]' % (no, key, current[0]))
        current[1].append((key, value, no))
    return sections


def image_size(path):
    with open(path, 'rb') as f:
        head = f.read(64 * 1024)
    if head[:2] == b'BM':
        w, h = struct.unpack_from('<ii', head, 18)
        return w, abs(h)
    if head[:8] == b'\x89PNG\r\n\x1a\n':
        return struct.unpack_from('>II', head, 16)
    if head[:2] == b'\xff\xd8':
        pos = 2
        while pos + 9 < len(head):
            if head[pos] != 0xFF:
                break
            marker = head[pos + 1]
            seg, = struct.unpack_from('>H', head, pos + 2)
            if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
                h, w = struct.unpack_from('>HH', head, pos + 5)
                return w, h
            pos += 2 + seg
    raise ValueError('not a BMP, PNG or JPEG image')


def is_int(text):
    return re.fullmatch(r'-?\d+', text.strip()) is not None


class Mask:
    def __init__(self, section, key, kind):
        self.section, self.key, self.kind = section, key, kind
        self.r = [0, 0, 0, 0]
        self.count = 1
        self.mtype = 0
        self.mode = 0
        self.bw = 0
        self.w = [0, 0, 0, 0]
        self.explicit_borders = False

    def finish(self):
        width, height = self.r[2] - self.r[0], self.r[3] - self.r[1]
        if self.count == 0:
            self.fw = 0
        elif self.count == 1:
            self.fw = width
        else:
            self.fw = int(width / self.count)
        if self.mtype == -1:
            self.fh = 0
        elif self.mtype == 0:
            self.fh = height
        elif self.mtype == 1:
            self.fh = int(height / 2)
        else:
            self.fh = int(height / (self.mtype + 1))

    def line(self):
        return '%s %s R=%d,%d,%d,%d N=%d T=%d D=%d K=%d W=%d,%d,%d,%d F=%dx%d' % (
            self.section, self.key, self.r[0], self.r[1], self.r[2], self.r[3], self.count,
            self.mtype, self.mode, self.kind, self.w[0], self.w[1], self.w[2], self.w[3],
            self.fw, self.fh)


def digits(value, pos, n):
    field = value[pos - 1:pos - 1 + n]
    if len(field) != n or not field.isdigit():
        raise ValueError('position %d: "%s" is not %d digits' % (pos, field, n))
    return int(field)


def derive_borders(m):
    if m.count == 0:
        raise ValueError('zero frames and no border widths to take')
    width, height = m.r[2] - m.r[0], m.r[3] - m.r[1]
    m.w[0] = m.w[2] = int(width / (m.count * 3))
    m.w[1] = m.w[3] = int(height / ((m.mtype + 1) * 3))


class Checker:
    def __init__(self, folder, scale):
        self.folder = folder
        self.scale = scale
        self.errors = []
        with open(os.path.join(folder, 'Options.dat'), 'rb') as f:
            raw = f.read()
        try:
            text = raw.decode('ascii')
        except UnicodeDecodeError:
            self.errors.append('Options.dat holds non-ASCII bytes')
            text = raw.decode('cp1251')
        self.sections = parse_text(text, self.errors)
        self.by_name = {name: dict((k, v) for k, v, _ in keys) for name, keys in self.sections}
        self.images = {n.upper(): n for n in os.listdir(folder)}
        self.sizes = {}
        self.masks = []

    def err(self, where, msg):
        self.errors.append('[%s] %s' % (where, msg))

    def image(self, name, where):
        real = self.images.get(name.upper())
        if real is None:
            self.err(where, 'image "%s" is not in the skin folder' % name)
            return None
        if real not in self.sizes:
            try:
                self.sizes[real] = image_size(os.path.join(self.folder, real))
            except (OSError, ValueError, struct.error) as e:
                self.err(where, 'image "%s": %s' % (name, e))
                return None
        return self.sizes[real]

    def check_rect(self, m, size, where):
        left, top, right, bottom = m.r
        if size is None:
            return
        if not (0 <= left < right <= size[0] and 0 <= top < bottom <= size[1]):
            self.err(where, 'rectangle %s lies outside its %dx%d image' % (m.r, size[0], size[1]))

    def read_mask(self, section, key, value):
        where = '%s.%s' % (section, key)
        up = value.upper()
        first = up[:1]
        try:
            if first == '@':
                m = Mask(section, key, 2)
                m.r = [digits(up, 2, 4), digits(up, 7, 4), digits(up, 12, 4), digits(up, 17, 4)]
                m.count, m.mtype = digits(up, 22, 1), digits(up, 24, 1)
                m.w = [0, 0, 0, 0]
                self.check_rect(m, self.master, where)
            elif first == '^':
                words = [w for w in up.split('!') if w]
                m = Mask(section, key, min(int(words[3]) if len(words) > 3 and is_int(words[3]) else 0, 4))
                m.r = [digits(up, 2, 4), digits(up, 7, 4), digits(up, 12, 4), digits(up, 17, 4)]
                m.w = [digits(up, 22, 4), digits(up, 27, 4), digits(up, 32, 4), digits(up, 37, 4)]
                m.count, m.mtype = digits(up, 42, 1), digits(up, 44, 1)
                m.mode, m.bw = digits(up, 46, 1), digits(up, 48, 1)
                if sum(m.w) == 0:
                    if m.bw != 0:
                        m.w = [m.bw] * 4
                    else:
                        derive_borders(m)
                self.check_rect(m, self.master, where)
            elif first == '~':
                m = Mask(section, key, 1)
                m.r = [digits(up, 2, 4), digits(up, 7, 4), digits(up, 12, 4), digits(up, 17, 4)]
                m.mode = digits(up, 22, 2)
                m.mtype = digits(up, 25, 1) if len(up) >= 25 else 0
                size = self.master
                if len(up) > 26:
                    words = [w for w in up.split('~') if w]
                    if len(words) < 7:
                        raise ValueError('texture image word missing')
                    size = self.image(words[6], where)
                self.check_rect(m, size, where)
            else:
                words = [w for w in value.split('!') if w]
                if len(words) < 4:
                    raise ValueError('an image value needs at least 4 "!" words')
                for i, w in enumerate(words[1:], 2):
                    if not is_int(w):
                        raise ValueError('word %d "%s" is not a number' % (i, w))
                size = self.image(words[0], where)
                if size is None:
                    return None
                m = Mask(section, key, min(int(words[3]), 4))
                m.r = [0, 0, size[0], size[1]]
                m.count, m.mtype = int(words[1]), int(words[2])
                if len(words) > 4:
                    if len(words) < 8:
                        raise ValueError('border widths need words 5 to 8')
                    m.w = [int(words[i]) for i in range(4, 8)]
                    m.mode = int(words[8]) if len(words) > 8 else 0
                else:
                    derive_borders(m)
        except (ValueError, IndexError) as e:
            self.err(where, str(e))
            return None
        m.finish()
        if m.count == 0:
            m.w = [(x if x >= 1 else (m.bw if m.bw >= 1 else (m.fh if i % 2 else m.fw)))
                   for i, x in enumerate(m.w)]
            m.count = 1
        width, height = m.r[2] - m.r[0], m.r[3] - m.r[1]
        if m.count > 1 and width % m.count:
            self.err(where, 'width %d does not split into %d frames' % (width, m.count))
        if m.mtype > 0 and height % (m.mtype + 1):
            self.err(where, 'height %d does not split into %d bands' % (height, m.mtype + 1))
        if m.w[0] + m.w[2] > m.fw or m.w[1] + m.w[3] > m.fh:
            self.err(where, 'border widths %s exceed the %dx%d frame' % (m.w, m.fw, m.fh))
        return m

    def is_mask_value(self, value):
        up = value.upper()
        return up[:1] in '@^!~' and up[:1] != '' or '.JPG' in up or '.BMP' in up

    def run(self):
        if 'GLOBALINFO' not in self.by_name:
            self.errors.append('no [GLOBALINFO] section')
            return
        g = self.by_name['GLOBALINFO']
        version = g.get('VERSION', '')
        if not re.fullmatch(r'\d+(\.\d+)?', version):
            self.err('GLOBALINFO.VERSION', 'not a decimal number with "." separator: "%s"' % version)
        self.master = None
        if 'MASTERBITMAP' in g:
            self.master = self.image(g['MASTERBITMAP'], 'GLOBALINFO.MASTERBITMAP')
        for name, keys in self.sections:
            self.check_section(name, keys)
        self.check_parents()
        suffix = SCALE_SUFFIX[self.scale]
        for name, keys in self.sections:
            values = dict((k, v) for k, v, _ in keys)
            for key, value, _ in keys:
                if name == 'GLOBALINFO' and key == 'MASTERBITMAP':
                    continue
                first = value.upper()[:1]
                if not self.is_mask_value(value):
                    continue
                if first in '^!' or (first not in '@~' and first != ''):
                    if '*' in key:
                        # only the variant of the current scale is built, checked under its base key
                        self.read_mask(name, key, value)
                        continue
                    if suffix and key + suffix in values:
                        value = values[key + suffix]
                m = self.read_mask(name, key, value)
                if m is not None:
                    self.masks.append(m)

    def check_section(self, name, keys):
        values = dict((k, v) for k, v, _ in keys)
        int_keys = STATE_INT_KEYS + SECTION_INT_KEYS + (GLOBAL_INT_KEYS if name == 'GLOBALINFO' else [])
        for key, value, no in keys:
            base = key.split('*')[0]
            if base in int_keys and not is_int(value):
                self.err(name + '.' + key, 'line %d: "%s" is not a decimal integer' % (no, value))
            if base in GLOBAL_INT64_KEYS and name == 'GLOBALINFO' and not is_int(value):
                self.err(name + '.' + key, 'line %d: "%s" is not a decimal integer' % (no, value))
            if base in GRADIENT_KEYS and len(value) > 4:
                fields = value.split(';')
                number = r'-?\d+|\$[0-9A-Fa-f]+'
                if not (all(re.fullmatch(number, f) for f in fields[:-1])
                        and re.fullmatch(r'(%s)?[A-Za-z]?' % number, fields[-1])):
                    self.err(name + '.' + key, 'line %d: malformed gradient "%s"' % (no, value))
        states = values.get('STATES')
        n = int(states) if states is not None and is_int(states) else 3
        # three state records; a fourth state (a button's default look) comes from the border mask's frames
        if not 1 <= n <= 4:
            self.err(name + '.STATES', 'must be 1 to 4, not %d' % n)
        if values.get('USESTATE2') == '1' and n < 3:
            self.err(name + '.USESTATE2', 'the third state needs STATES=3')
        if 'OUTERMODE' in values and is_int(values['OUTERMODE']) and not 0 <= int(values['OUTERMODE']) <= 2:
            self.err(name + '.OUTERMODE', 'must be 0, 1 or 2')

    def check_parents(self):
        for name, _ in self.sections:
            seen = [name]
            cur = name
            while True:
                parent = self.by_name[cur].get('PARENTCLASS', '')
                if parent in ('', '?') or parent == cur:
                    break
                if parent not in self.by_name:
                    self.err(cur + '.PARENTCLASS', 'names a missing section "%s"' % parent)
                    break
                if parent in seen:
                    self.err(name + '.PARENTCLASS', 'cycle of parents: %s' % ' > '.join(seen + [parent]))
                    break
                seen.append(parent)
                cur = parent


def main(argv):
    args = argv[1:]
    summary = None
    scale = 0
    if '--summary' in args:
        i = args.index('--summary')
        summary = args[i + 1]
        del args[i:i + 2]
    if '--scale' in args:
        i = args.index('--scale')
        scale = int(args[i + 1])
        del args[i:i + 2]
    if len(args) != 1:
        print(__doc__)
        return 2
    c = Checker(args[0], scale)
    c.run()
    for e in c.errors:
        print('%s: %s' % (args[0], e))
    if c.errors:
        return 1
    if summary:
        with open(summary, 'w', newline='\n') as f:
            f.write('SECTIONS %d\n' % len(c.sections))
            for name, _ in c.sections:
                f.write('SECTION %s\n' % name)
            f.write('MASKS %d\n' % len(c.masks))
            for m in c.masks:
                f.write('MASK %s\n' % m.line())
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
