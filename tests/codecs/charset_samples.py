#!/usr/bin/env python3
"""Generated text in many mail charsets, for the decoders to be checked against Python's codecs.

Each output line: the mail label, a TAB, the text encoded in that charset (hex), a TAB, the
text in code page 932 as Python writes it (hex), a character cp932 lacks written as "?".
"""
import random

# (label as mail writes it, Python codec)
CHARSETS = [
    ("EUC-JP", "euc_jp"), ("x-euc-jp", "euc_jp"),
    ("ISO-8859-2", "iso8859_2"), ("ISO-8859-5", "iso8859_5"), ("ISO-8859-7", "iso8859_7"),
    ("ISO-8859-9", "iso8859_9"), ("ISO-8859-15", "iso8859_15"), ("ISO-8859-16", "iso8859_16"),
    ("windows-1250", "cp1250"), ("windows-1251", "cp1251"), ("windows-1252", "cp1252"),
    ("windows-1253", "cp1253"), ("windows-1254", "cp1254"), ("windows-1255", "cp1255"),
    ("windows-1256", "cp1256"), ("windows-1257", "cp1257"), ("windows-1258", "cp1258"),
    ("ISO-8859-1", "cp1252"), ("KOI8-R", "koi8_r"), ("KOI8-U", "koi8_u"),
    ("EUC-KR", "euc_kr"), ("ks_c_5601-1987", "cp949"), ("GB2312", "gb2312"), ("GBK", "gbk"),
    ("GB18030", "gb18030"), ("Big5", "big5"), ("UTF-7", "utf_7"), ("UTF-16", "utf_16"),
    ("UTF-16LE", "utf_16_le"), ("UTF-32BE", "utf_32_be"), ("Shift_JIS", "cp932"),
    ("Windows-31J", "cp932"), ("x-sjis", "cp932"), ("UTF8", "utf_8"),
]

RANGES = [(0x20, 0x7E), (0xA0, 0x24F), (0x370, 0x3FF), (0x400, 0x4FF), (0x5D0, 0x5EA),
          (0x620, 0x64A), (0x2010, 0x2030), (0x3041, 0x30FF), (0x4E00, 0x4FFF), (0xAC00, 0xAD00)]


def ordinary(codec, encoded):
    """Leaves out what Python's codecs write apart from the rest of the world: the 8-byte
    composed Hangul of euc_kr and the ETEN extension rows (0xC6..0xC8) of big5."""
    if codec == "euc_kr":
        return len(encoded) <= 2
    if codec == "big5":
        return not (len(encoded) == 2 and 0xC6 <= encoded[0] <= 0xC8)
    return True


def pool(codec):
    chars = []
    for lo, hi in RANGES:
        for cp in range(lo, hi + 1):
            c = chr(cp)
            try:
                encoded = c.encode(codec)
                if encoded.decode(codec) == c and ordinary(codec, encoded):
                    chars.append(c)
            except (UnicodeError, LookupError):
                pass
    return chars


# Where the decoders and Python's cp932 differ on purpose: the yen sign and the overline are
# the bytes Japanese fonts show as them, the em dash is the JIS form of the horizontal bar,
# and kanji that code page 932 holds twice take their IBM extension codes (0xFA..0xFC), as
# Windows writes them.
CLOSE_FORMS = {"\u00a5": b"\\", "\u203e": b"~", "\u2014": b"\x81\x5c"}
for lead in (0xFA, 0xFB, 0xFC):
    for trail in range(0x40, 0xFD):
        try:
            CLOSE_FORMS.setdefault(bytes([lead, trail]).decode("cp932"), bytes([lead, trail]))
        except UnicodeError:
            pass


def to_cp932(text):
    out = b""
    for c in text:
        if c in CLOSE_FORMS:
            out += CLOSE_FORMS[c]
            continue
        try:
            out += c.encode("cp932")
        except UnicodeError:
            out += b"?"
    return out


rng = random.Random(2024)
for label, codec in CHARSETS:
    chars = pool(codec)
    for _ in range(3):
        text = "".join(rng.choice(chars) for _ in range(60))
        encoded = text.encode(codec)
        # Text in the store's own code is kept byte for byte.
        expected = encoded if codec == "cp932" else to_cp932(text)
        print("%s\t%s\t%s" % (label, encoded.hex(), expected.hex()))
