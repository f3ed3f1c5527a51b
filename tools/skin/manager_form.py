#!/usr/bin/env python3
"""Writes the main form's skin manager, carrying the packed TIDE skin, as a piece of a stored form
description (the "object sSkinManager1: TsSkinManager ... end" block, indented for the main form).

    manager_form.py TIDE.vkz OUT.form
"""
import sys

THIRD_PARTY = ['ThirdEdits', 'ThirdButtons', 'ThirdBitBtns', 'ThirdCheckBoxes', 'ThirdGroupBoxes', 'ThirdListViews',
               'ThirdPanels', 'ThirdGrids', 'ThirdTreeViews', 'ThirdComboBoxes', 'ThirdWWEdits',
               'ThirdVirtualTrees', 'ThirdGridEh', 'ThirdPageControl', 'ThirdTabControl', 'ThirdToolBar',
               'ThirdStatusBar', 'ThirdSpeedButton', 'ThirdScrollControl', 'ThirdUpDown', 'ThirdScrollBar',
               'ThirdStaticText', 'ThirdNativePaint']


def block(packed):
    digits = packed.hex().upper()
    hex_lines = [digits[i:i + 64] for i in range(0, len(digits), 64)]
    out = ['  object sSkinManager1: TsSkinManager',
           '    AnimEffects.DialogShow.Time = 50',
           '    AnimEffects.DialogHide.Time = 50',
           '    AnimEffects.FormShow.Time = 70',
           '    AnimEffects.FormHide.Time = 70',
           '    InternalSkins = <',
           '      item',
           "        Name = 'TIDE (internal)'",
           '        Data = {']
    out += ['          ' + line for line in hex_lines]
    out[-1] += '}'
    out += ["        OriginName = 'TIDE.vkz'",
            '      end>',
            "    SkinDirectory = 'Skins'",
            "    SkinName = 'TIDE'",
            "    SkinInfo = '10.25'"]
    for name in THIRD_PARTY:
        out.append("    ThirdParty.%s = '%s'" % (name, 'TButton' if name == 'ThirdButtons' else ' '))
    out.append('  end')
    return '\n'.join(out) + '\n'


def main(argv):
    with open(argv[1], 'rb') as f:
        packed = f.read()
    with open(argv[2], 'w', newline='\n') as f:
        f.write(block(packed))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
