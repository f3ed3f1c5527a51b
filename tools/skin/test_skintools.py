#!/usr/bin/env python3
"""Tests of the skin checker and packer: broken skin texts must be caught,
and packed bytes must read back to what was packed."""
import os
import shutil
import struct
import sys
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import skincheck  # noqa: E402
import skinimg  # noqa: E402
import vkzpack  # noqa: E402

BASE = """[GLOBALINFO]
VERSION=10.25
MASTERBITMAP=M.BMP
BICONCLOSE=@0000@0000@0030@0010@3@0
[BUTTON]
STATES=3
COLOR=123
BORDERSMASK=^0000^0010^0009^0013^0001^0001^0001^0001^3^0^1^1
"""


class SkinFolder:
    def __init__(self, text, images=(('M.BMP', 32, 16),)):
        self.dir = tempfile.mkdtemp()
        with open(os.path.join(self.dir, 'Options.dat'), 'w', newline='\r\n') as f:
            f.write(text)
        for name, w, h in images:
            with open(os.path.join(self.dir, name), 'wb') as f:
                f.write(skinimg.Image(w, h).bmp24())

    def check(self, scale=0):
        c = skincheck.Checker(self.dir, scale)
        c.run()
        shutil.rmtree(self.dir)
        return c


class CheckerTest(unittest.TestCase):
    def errors_of(self, text, **kw):
        return SkinFolder(text, **kw).check().errors

    def assert_flags(self, text, fragment, **kw):
        errors = self.errors_of(text, **kw)
        self.assertTrue(any(fragment in e for e in errors), 'expected "%s" in %s' % (fragment, errors))

    def test_a_sound_skin_passes_and_derives_its_frames(self):
        c = SkinFolder(BASE).check()
        self.assertEqual(c.errors, [])
        self.assertEqual([m.line() for m in c.masks], [
            'GLOBALINFO BICONCLOSE R=0,0,30,10 N=3 T=0 D=0 K=2 W=0,0,0,0 F=10x10',
            'BUTTON BORDERSMASK R=0,10,9,13 N=3 T=0 D=1 K=0 W=1,1,1,1 F=3x3'])

    def test_names_must_be_upper_case(self):
        self.assert_flags(BASE + '[button2]\nCOLOR=1\n', 'not upper-case')
        self.assert_flags(BASE.replace('COLOR=123', 'Color=123'), 'not upper-case')

    def test_missing_images_and_rectangles_outside_the_bitmap(self):
        self.assert_flags(BASE.replace('M.BMP', 'NONE.BMP'), 'not in the skin folder')
        self.assert_flags(BASE.replace('@0030@0010@3', '@0040@0010@3'), 'outside')
        self.assert_flags(BASE + '[EDIT]\nBORDERSMASK=!GONE.BMP!1!0!0\n', 'GONE.BMP')

    def test_value_formats(self):
        self.assert_flags(BASE.replace('COLOR=123', 'COLOR=12a'), 'not a decimal integer')
        self.assert_flags(BASE.replace('VERSION=10.25', 'VERSION=10,25'), 'VERSION')
        self.assert_flags(BASE.replace('@0000@0000@0030', '@00x0@0000@0030'), 'digits')
        self.assert_flags(BASE + '[EDIT]\nGRADIENTDATA=1;2;x;4;5;0\n', 'malformed gradient')
        self.assert_flags(BASE + '; a=b\n', 'comment')

    def test_state_counts_and_parents(self):
        self.assert_flags(BASE.replace('STATES=3', 'STATES=0'), 'must be 1 to 4')
        self.assert_flags(BASE.replace('STATES=3', 'STATES=5'), 'must be 1 to 4')
        self.assert_flags(BASE + '[A]\nSTATES=2\nUSESTATE2=1\n', 'third state')
        self.assert_flags(BASE + '[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\n', 'cycle')
        self.assert_flags(BASE + '[A]\nPARENTCLASS=NOPE\n', 'missing section')
        self.assertEqual(self.errors_of(BASE + '[A]\nPARENTCLASS=A\n'), [])

    def test_frames_and_borders_must_fit(self):
        self.assert_flags(BASE.replace('@0030@0010@3', '@0031@0010@3'), 'does not split')
        self.assert_flags(BASE.replace('^0001^0001^0001^0001^3', '^0002^0001^0002^0001^3'), 'exceed')

    def test_scaled_variants_replace_the_base_value(self):
        text = BASE + '[EDIT]\nBORDERSMASK=!E.BMP!1!0!0\nBORDERSMASK*150=!E15.BMP!1!0!0\n'
        images = (('M.BMP', 32, 16), ('E.BMP', 6, 6), ('E15.BMP', 9, 9))
        base = SkinFolder(text, images=images).check(0)
        scaled = SkinFolder(text, images=images).check(2)
        self.assertEqual(base.masks[-1].r, [0, 0, 6, 6])
        self.assertEqual(scaled.masks[-1].r, [0, 0, 9, 9])
        self.assertEqual(len(base.masks), len(scaled.masks))


class PackerTest(unittest.TestCase):
    def test_round_trip_and_layout(self):
        packed = vkzpack.pack_entries([('OPTIONS.DAT', b'[A]\r\n'), ('M.BMP', b'x' * 1000)])
        self.assertEqual(packed[:4], b'VKzf')
        self.assertEqual(struct.unpack_from('<I', packed, 4)[0], 2)
        self.assertEqual(packed[8:12], struct.pack('<I', 11))
        self.assertEqual(packed[27:29], b'\x78\xda')
        self.assertEqual(vkzpack.unpack(packed), [('OPTIONS.DAT', b'[A]\r\n'), ('M.BMP', b'x' * 1000)])

    def test_a_wrong_size_is_refused(self):
        body = zlib.compress(b'abc', 9)
        bad = b'VKzf' + struct.pack('<I', 1) + struct.pack('<I', 1) + b'A' + struct.pack('<I', 4) + body
        with self.assertRaises(ValueError):
            vkzpack.unpack(bad)

    def test_hex_lines(self):
        self.assertEqual(vkzpack.hex_lines(bytes(range(40)), 16)[2], '2021222324252627')


if __name__ == '__main__':
    unittest.main()
