#!/usr/bin/env python3
"""Makes the font the settings report is printed in: the system's fixed-pitch Japanese CJK
face reduced to the characters a report can hold, which are those of code page 932 (the
report is Shift-JIS text), under a family name of its own.

Why: the full face maps the Kangxi radicals (U+2F00..) and the CJK radicals supplement to
the very glyphs of the ideographs they look like, and a PDF writer that names each glyph by
its first character writes "⼀" (U+2F00) where the report says "一", so that copying from the
PDF or searching it fails. Code page 932 holds none of those radicals; a subset of its
characters leaves every glyph one character. The build checks that this is so.

Usage: make_report_font.py SOURCE.ttc OUTPUT.otf [FAMILY]
Needs Debian's fonttools (python3-fonttools); run by the build."""

import sys

from fontTools import subset
from fontTools.ttLib import TTCollection

SOURCE_FAMILY = "Noto Sans Mono CJK JP"
DEFAULT_FAMILY = "Qavix Report Mono"
# Name records that carry the family: family, full name, PostScript name, typographic family.
FAMILY_NAME_IDS = (1, 4, 6, 16)


def code_page_932():
    """Every character code page 932 can encode."""
    chars = set(range(0x20, 0x7F))
    for byte in range(0xA1, 0xE0):  # half-width katakana
        chars.add(ord(bytes([byte]).decode("cp932")))
    leads = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
    trails = list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))
    for lead in leads:
        for trail in trails:
            try:
                chars.add(ord(bytes([lead, trail]).decode("cp932")))
            except UnicodeDecodeError:
                pass
    return chars


def face_number(path, family):
    for number, font in enumerate(TTCollection(path, lazy=True).fonts):
        if font["name"].getDebugName(1) == family:
            return number
    sys.exit(f"{path}: no face '{family}'")


def rename(font, family):
    postscript = family.replace(" ", "")
    for record in font["name"].names:
        if record.nameID in (1, 16):
            record.string = family
        elif record.nameID == 4:
            record.string = family
        elif record.nameID == 6:
            record.string = postscript
    cff = font["CFF "].cff if "CFF " in font else None
    if cff is not None:
        cff.fontNames = [postscript]
        top = cff.topDictIndex[0]
        for key in ("FullName", "FamilyName"):
            if hasattr(top, key):
                setattr(top, key, family)


def check_one_character_per_glyph(font):
    glyphs = {}
    for code, glyph in font.getBestCmap().items():
        glyphs.setdefault(glyph, []).append(code)
    shared = {glyph: codes for glyph, codes in glyphs.items() if len(codes) > 1}
    if shared:
        listed = ", ".join(
            "/".join(f"U+{code:04X}" for code in codes) for codes in list(shared.values())[:10])
        sys.exit(f"glyphs shared by several characters: {listed}")


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    source, output = sys.argv[1], sys.argv[2]
    family = sys.argv[3] if len(sys.argv) == 4 else DEFAULT_FAMILY
    options = subset.Options()
    options.font_number = face_number(source, SOURCE_FAMILY)
    options.name_IDs = ["*"]  # the copyright and licence records stay
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.layout_features = []  # the report needs no substitution or positioning
    font = subset.load_font(source, options)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=code_page_932())
    subsetter.subset(font)
    rename(font, family)
    check_one_character_per_glyph(font)
    font.save(output)


if __name__ == "__main__":
    main()
