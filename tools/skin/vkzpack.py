#!/usr/bin/env python3
"""Packs a skin folder into the packed skin format the loader reads.

Layout (little-endian u32 throughout): "VKzf", entry count, then per entry the
name length, the name, the unpacked size and a zlib stream of the bytes.
The skin text is written first under the name "OPTIONS.DAT"; images follow in
name order so that a rebuild gives the same bytes.

    vkzpack.py SKIN_DIR OUT.vkz            pack a folder
    vkzpack.py --hex IN.vkz OUT.txt        write the bytes as the hex lines of a
                                           binary property of a stored form
"""
import os
import struct
import sys
import zlib

IMAGE_EXTENSIONS = ('.BMP', '.PNG', '.JPG', '.JPEG')


def pack_entries(entries):
    """entries: list of (name, bytes). Returns the packed bytes."""
    out = bytearray(b'VKzf')
    out += struct.pack('<I', len(entries))
    for name, data in entries:
        raw_name = name.encode('cp1251')
        out += struct.pack('<I', len(raw_name)) + raw_name
        out += struct.pack('<I', len(data))
        out += zlib.compress(data, 9)          # 0x78 0xDA header at level 9
    return bytes(out)


def folder_entries(folder):
    names = os.listdir(folder)
    text_name = next((n for n in names if n.upper() == 'OPTIONS.DAT'), None)
    if text_name is None:
        raise SystemExit('vkzpack: %s has no Options.dat' % folder)
    entries = []
    with open(os.path.join(folder, text_name), 'rb') as f:
        entries.append(('OPTIONS.DAT', f.read()))
    for name in sorted(names):
        if os.path.splitext(name)[1].upper() in IMAGE_EXTENSIONS:
            with open(os.path.join(folder, name), 'rb') as f:
                entries.append((name.upper(), f.read()))
    return entries


def unpack(data):
    """Reference reader used by the checker's self-test: returns [(name, bytes)]."""
    if data[:4] != b'VKzf':
        raise ValueError('bad signature')
    count, = struct.unpack_from('<I', data, 4)
    pos = 8
    result = []
    for _ in range(count):
        length, = struct.unpack_from('<I', data, pos)
        pos += 4
        name = data[pos:pos + length].decode('cp1251')
        pos += length
        size, = struct.unpack_from('<I', data, pos)
        pos += 4
        d = zlib.decompressobj()
        body = d.decompress(data[pos:])
        if len(body) != size:
            raise ValueError('entry %s inflates to %d bytes, not %d' % (name, len(body), size))
        pos = len(data) - len(d.unused_data)
        result.append((name, body))
    return result


def hex_lines(data, width=32):
    return [data[i:i + width].hex().upper() for i in range(0, len(data), width)]


def main(argv):
    if len(argv) == 4 and argv[1] == '--hex':
        with open(argv[2], 'rb') as f:
            data = f.read()
        with open(argv[3], 'w', newline='\n') as f:
            f.write('\n'.join(hex_lines(data)) + '\n')
        return 0
    if len(argv) != 3:
        print(__doc__)
        return 2
    packed = pack_entries(folder_entries(argv[1]))
    unpack(packed)                              # the bytes must read back
    tmp = argv[2] + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(packed)
    os.replace(tmp, argv[2])
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
