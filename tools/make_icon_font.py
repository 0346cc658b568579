#!/usr/bin/env python3
"""Builds stand-ins for the icon fonts Wine does not have, so that screenshots and pixel tests
taken under Wine show recognisable glyphs: "Segoe Fluent Icons" (Windows 11) and "Segoe MDL2
Assets" (Windows 10). Each private-use code point the card draws gets a glyph copied from
DejaVu Sans (free licence: Bitstream Vera / public domain changes); the two fonts use different
glyphs, so that a test can tell which one was drawn. Only for the test prefix; never shipped.

Usage: make_icon_font.py OUT.ttf "Segoe Fluent Icons" | "Segoe MDL2 Assets"
"""
import sys

import fontforge

SOURCE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
# Card code point -> DejaVu Sans code point, per stand-in.
GLYPHS = {
    "Segoe Fluent Icons": {
        0xE713: 0x2699,  # Settings: gear
        0xE718: 0x25C9,  # Pinned: fisheye
        0xE77A: 0x25CB,  # Unpinned: white circle
        0xE7BA: 0x26A0,  # Warning sign
        0xE8A7: 0x2197,  # Open in new window: north-east arrow
        0xE74B: 0x2193,  # Download: down arrow
        0xE74A: 0x2191,  # Upload: up arrow
    },
    "Segoe MDL2 Assets": {
        0xE713: 0x2731,  # Settings: heavy asterisk
        0xE718: 0x25CF,  # Pinned: black circle
        0xE77A: 0x25EF,  # Unpinned: large circle
        0xE7BA: 0x25B2,  # Warning: black up-pointing triangle
        0xE8A7: 0x21D7,  # Open in new window: north-east double arrow
        0xE74B: 0x21E9,  # Download: white down arrow
        0xE74A: 0x21E7,  # Upload: white up arrow
    },
}


def main(out, family):
    source = fontforge.open(SOURCE)
    font = fontforge.font()
    font.encoding = "UnicodeFull"
    font.em = source.em
    font.ascent = source.ascent
    font.descent = source.descent
    font.fontname = family.replace(" ", "")
    font.familyname = family
    font.fullname = family
    font.copyright = "Stand-in built from DejaVu Sans glyphs for tests"
    for target, origin in GLYPHS[family].items():
        source.selection.select(("unicode",), origin)
        source.copy()
        font.selection.select(("unicode",), target)
        font.paste()
    font.generate(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
