#!/usr/bin/env python3
"""Builds a stand-in for the "Segoe Fluent Icons" font, which Wine does not have, so that
screenshots taken under Wine show recognisable glyphs. Each private-use code point the card
draws gets a glyph copied from DejaVu Sans (free licence: Bitstream Vera / public domain
changes). Only for the test prefix; never shipped.
"""
import sys

import fontforge

SOURCE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
# Card code point -> DejaVu Sans code point.
GLYPHS = {
    0xE713: 0x2699,  # Settings: gear
    0xE718: 0x25C9,  # Pinned: fisheye
    0xE77A: 0x25CB,  # Unpinned: white circle
    0xE7BA: 0x26A0,  # Warning sign
    0xE8A7: 0x2197,  # Open in new window: north-east arrow
    0xE74B: 0x2193,  # Download: down arrow
    0xE74A: 0x2191,  # Upload: up arrow
}


def main(out):
    source = fontforge.open(SOURCE)
    font = fontforge.font()
    font.encoding = "UnicodeFull"
    font.em = source.em
    font.ascent = source.ascent
    font.descent = source.descent
    font.fontname = "SegoeFluentIcons"
    font.familyname = "Segoe Fluent Icons"
    font.fullname = "Segoe Fluent Icons"
    font.copyright = "Stand-in built from DejaVu Sans glyphs for tests"
    for target, origin in GLYPHS.items():
        source.selection.select(("unicode",), origin)
        source.copy()
        font.selection.select(("unicode",), target)
        font.paste()
    font.generate(out)


if __name__ == "__main__":
    main(sys.argv[1])
