#!/usr/bin/env python3
"""Draws Tessivon's icons and the screen-picture strip.

Writes, next to this script:
  tray_16_colors.ico   icon 104, 16 x 16, 4 bits per pixel
  tray_256_colors.ico  icon 144, 16 x 16, 8 bits per pixel
  tab_screen.ico       icon 133
  tab_icons.ico        icon 134
  tab_window.ico       icon 135
  tab_settings.ico     icon 141
  tab_about.ico        icon 142
  screen_pictures.bmp  bitmap 114, four 24 x 20 monitors "1" to "4", 24 bits

The .ico and .bmp files are checked in as build inputs; run this script again
after changing a picture. Standard library only.

Each picture is a grid of characters, one per pixel, looked up in a colour
key; "." is transparent. The 16-colour pictures keep to the sixteen standard
VGA colours, because the tray's 16-colour icon and the dialog's image lists
(ILC_COLOR4) have no others.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The sixteen standard colours, in the order of the system's 16-colour palette.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Colour key of every 16-colour picture.
KEY16 = {
    "k": VGA[0],   # black
    "r": VGA[1],   # dark red
    "g": VGA[2],   # dark green
    "o": VGA[3],   # olive
    "n": VGA[4],   # navy
    "p": VGA[5],   # purple
    "t": VGA[6],   # teal
    "s": VGA[7],   # silver
    "d": VGA[8],   # grey
    "R": VGA[9],   # red
    "G": VGA[10],  # green
    "Y": VGA[11],  # yellow
    "B": VGA[12],  # blue
    "M": VGA[13],  # magenta
    "C": VGA[14],  # cyan
    "w": VGA[15],  # white
    ".": None,     # transparent
}

# ---------------------------------------------------------------------------
# Tray icon: a monitor showing a landscape, so it reads as "display" even at
# the notification area's size.

TRAY_16 = [
    "................",
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwsk",
    "kwBBBBBBBBBBBBdk",
    "kwBBBBBBBBYYBBdk",
    "kwBBBwwBBBYYBBdk",
    "kwBBBBBBBBBBBBdk",
    "kwBBBGGBBBBBBBdk",
    "kwBGGGGGGBBBGGdk",
    "kwGGGGGGGGGGGGdk",
    "kwggggggggggggdk",
    "kssssssssssssGdk",
    ".kkkkkkkkkkkkkk.",
    "......kddk......",
    "...kkkssssdkkk..",
    "...kkkkkkkkkkk..",
]

# The same monitor with shaded bezel, a graded sky and a lit hill.
TRAY_256 = [
    "................",
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwek",
    "kwaaaaaaaaaaaaxk",
    "kwbbbbbbbbyYbbxk",
    "kwcccwwcccYzccxk",
    "kwddddddddddddxk",
    "kwfffhhfffffffxk",
    "kwfhhhhHHffffhxk",
    "kwhhhHHHHhhhhHxk",
    "kwiiiiiiiiiiiixk",
    "keeeeeeeeeeeeGxk",
    ".kkkkkkkkkkkkkk.",
    "......kmmk......",
    "...kkkeeeemkkk..",
    "...kkkkkkkkkkk..",
]

KEY256 = {
    "k": (24, 24, 32),      # outline
    "w": (248, 248, 248),   # bezel highlight
    "e": (200, 200, 208),   # bezel face
    "m": (136, 136, 144),   # stand shadow
    "a": (16, 56, 168),     # sky, top
    "b": (32, 88, 200),
    "c": (56, 120, 224),
    "d": (96, 160, 240),    # sky near the horizon
    "x": (128, 128, 140),   # bezel shade
    "y": (255, 200, 40),    # sun
    "Y": (255, 232, 96),
    "z": (255, 244, 176),
    "f": (136, 192, 248),   # haze above the hills
    "h": (48, 160, 56),     # hill
    "H": (96, 200, 72),     # sunlit side of the hill
    "i": (24, 104, 40),     # foreground
    "G": (64, 224, 64),     # power light
    ".": None,
}

# ---------------------------------------------------------------------------
# Tab icons, 16 colours.

# Screen tab: two monitors, the front one overlapping the one behind.
TAB_SCREEN = [
    "kkkkkkkkkk......",
    "kssssssssk......",
    "ksttttttsk......",
    "ksttttttsk......",
    "ksttttkkkkkkkkkk",
    "ksttttkwwwwwwwsk",
    "ksssssdwBBBBBBdk",
    "kkkkkkkwBBBBBBdk",
    "...kdk.wBBBBBBdk",
    "..kkkkkwBBBBBBdk",
    "......kwBBBBBBdk",
    "......ksssssssdk",
    "......kkkkkkkkkk",
    "..........kdk...",
    "........kkkkkkk.",
    "................",
]

# Windows tab: one window with its title bar and buttons.
TAB_WINDOW = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "knnnnnnnnnnnnnnk",
    "knwwwwwnnswkswnk",
    "knnnnnnnnnnnnnnk",
    "kwwwwwwwwwwwwwsk",
    "kwsssssssswwwwsk",
    "kwwwwwwwwwwwwwsk",
    "kwssssssswwwwwsk",
    "kwwwwwwwwwwwwwsk",
    "kwsssssssssswwsk",
    "kwwwwwwwwwwwwwsk",
    "kwsssssswwwwwwsk",
    "kwwwwwwwwwwwwwsk",
    "kkkkkkkkkkkkkkkk",
    "................",
]

# Icons tab: four desktop icons with their labels, one of them selected.
TAB_ICONS = [
    ".kkk......kkkkk.",
    "kYYYkkkk..kwwwkk",
    "kYYYYYYk..kwwwwk",
    "kYYYYYYk..kwddwk",
    "kooooook..kwwwwk",
    "kkkkkkkk..kkkkkk",
    "................",
    ".nnnnnn....dddd.",
    "................",
    "kkkkkkk....kkk..",
    "kBBBBBk...kGGBk.",
    "kBBBBBk..kBGGBBk",
    "kkkkkkk..kBBGGBk",
    "..kdk.....kBGBk.",
    ".kkkkk.....kkk..",
    ".ddddd....ddddd.",
]

# Settings tab: a gear.
TAB_SETTINGS = [
    "......kkk.......",
    "......ksk.......",
    "..kk.kwssk.kk...",
    "..kskwssssksk...",
    "...kwskkkssk....",
    "..kwsk...kssk...",
    "kkwsk.....ksskk.",
    "ksssk.....ksssk.",
    "kkssk.....ksdkk.",
    "..kssk...ksdk...",
    "...ksskkksdk....",
    "..kskssssdksk...",
    "..kk.kssdk.kk...",
    "......ksk.......",
    "......kkk.......",
    "................",
]

# About tab: the "i" of information on a blue disc.
TAB_ABOUT = [
    ".....nnnnnn.....",
    "...nnBBBBBBnn...",
    "..nBBBBBBBBBBn..",
    ".nBBBBBwwBBBBBn.",
    ".nBBBBBwwBBBBBn.",
    "nBBBBBBBBBBBBBBn",
    "nBBBBBwwwBBBBBBn",
    "nBBBBBBwwBBBBBBn",
    "nBBBBBBwwBBBBBBn",
    "nBBBBBBwwBBBBBBn",
    ".nBBBBBwwBBBBBn.",
    ".nBBBBwwwwBBBBn.",
    "..nBBBBBBBBBBn..",
    "...nnBBBBBBnn...",
    ".....nnnnnn.....",
    "................",
]

# ---------------------------------------------------------------------------
# Screen pictures of the screen combo box: a monitor showing its number.
# "M" is magenta, the colour the image list masks out (a BMP has no alpha).

MONITOR_24 = [
    "MMMMMMMMMMMMMMMMMMMMMMMM",
    "MkkkkkkkkkkkkkkkkkkkkkkM",
    "MkwwwwwwwwwwwwwwwwwwwdkM",
    "MkwsdddddddddddddddwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwsdttttttttttttttwsdkM",
    "MkwswwwwwwwwwwwwwwwwsdkM",
    "MkwssssssssssssssssGsdkM",
    "MkddddddddddddddddddddkM",
    "MkkkkkkkkkkkkkkkkkkkkkkM",
    "MMMMMMMMMkddddkMMMMMMMMM",
    "MMMMMkwssssssssssdkMMMMM",
    "MMMMMkkkkkkkkkkkkkkMMMMM",
    "MMMMMMMMMMMMMMMMMMMMMMMM",
]
SCREEN_LEFT, SCREEN_TOP, SCREEN_WIDTH, SCREEN_HEIGHT = 5, 4, 14, 8

DIGITS = {
    "1": ["..w..",
          ".ww..",
          "w.w..",
          "..w..",
          "..w..",
          "..w..",
          "wwwww"],
    "2": [".www.",
          "w...w",
          "....w",
          "...w.",
          "..w..",
          ".w...",
          "wwwww"],
    "3": ["wwww.",
          "....w",
          "....w",
          ".www.",
          "....w",
          "....w",
          "wwww."],
    "4": ["...w.",
          "..ww.",
          ".w.w.",
          "w..w.",
          "wwwww",
          "...w.",
          "...w."],
}


def screen_picture(digit):
    """One 24 x 20 monitor with a white digit and its black shadow."""
    rows = [list(row) for row in MONITOR_24]
    glyph = DIGITS[digit]
    # Digit plus its one-pixel shadow, centred on the screen.
    left = SCREEN_LEFT + (SCREEN_WIDTH - (len(glyph[0]) + 1)) // 2
    top = SCREEN_TOP + (SCREEN_HEIGHT - (len(glyph) + 1)) // 2
    for y, line in enumerate(glyph):
        for x, c in enumerate(line):
            if c != ".":
                rows[top + y + 1][left + x + 1] = "k"
    for y, line in enumerate(glyph):
        for x, c in enumerate(line):
            if c != ".":
                rows[top + y][left + x] = "w"
    return ["".join(row) for row in rows]


# ---------------------------------------------------------------------------
# File writers.

def to_colours(grid, key, width, height):
    """Turns a character grid into rows of (r, g, b) or None."""
    if len(grid) != height:
        raise ValueError("picture has %d rows, not %d" % (len(grid), height))
    rows = []
    for y, line in enumerate(grid):
        if len(line) != width:
            raise ValueError("row %d is %d wide, not %d: %r" % (y, len(line), width, line))
        rows.append([key[c] for c in line])
    return rows


def pack_bits(values, bits):
    """Packs small numbers left to right, most significant bits first, and
    pads the row to a multiple of four bytes as DIB rows are."""
    out = bytearray()
    acc = 0
    used = 0
    for v in values:
        acc = (acc << bits) | v
        used += bits
        if used == 8:
            out.append(acc)
            acc = 0
            used = 0
    if used:
        out.append(acc << (8 - used))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def icon_image(rows, bits):
    """The DIB of one icon image: header, palette, colour bits and AND mask.
    Transparent pixels are colour 0 with the mask bit set."""
    height = len(rows)
    width = len(rows[0])
    if bits == 4:
        palette = list(VGA)
    else:
        palette = [(0, 0, 0)]
        for row in rows:
            for c in row:
                if c is not None and c not in palette:
                    palette.append(c)
        if len(palette) > 256:
            raise ValueError("more than 256 colours")
        palette += [(0, 0, 0)] * (256 - len(palette))
    index = {}
    for i, c in enumerate(palette):
        index.setdefault(c, i)

    colour_bits = bytearray()
    mask_bits = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        colour_bits += pack_bits([0 if c is None else index[c] for c in row], bits)
        mask_bits += pack_bits([1 if c is None else 0 for c in row], 1)

    header = struct.pack(
        "<IiiHHIIiiII",
        40,                     # biSize
        width,
        height * 2,             # colour bits and mask, one above the other
        1,                      # biPlanes
        bits,                   # biBitCount
        0,                      # BI_RGB
        len(colour_bits) + len(mask_bits),
        0, 0,                   # resolution
        0, 0)                   # all palette entries used and important
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + quads + bytes(colour_bits) + bytes(mask_bits), width, height


def write_ico(path, grid, key, bits):
    rows = to_colours(grid, key, 16, 16)
    if bits == 4:
        for row in rows:
            for c in row:
                if c is not None and c not in VGA:
                    raise ValueError("%s: %r is not one of the 16 colours" % (path, c))
    image, width, height = icon_image(rows, bits)
    colour_count = 16 if bits == 4 else 0  # 0 means 256 or more
    data = struct.pack("<HHH", 0, 1, 1)  # reserved, type icon, one image
    data += struct.pack("<BBBBHHII", width, height, colour_count, 0, 1, bits,
                        len(image), 6 + 16)
    data += image
    with open(path, "wb") as f:
        f.write(data)


def write_bmp24(path, grid, key):
    height = len(grid)
    width = len(grid[0])
    rows = to_colours(grid, key, width, height)
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        while len(line) % 4:
            line.append(0)
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + bytes(pixels))


def main():
    def out(name):
        return os.path.join(HERE, name)

    write_ico(out("tray_16_colors.ico"), TRAY_16, KEY16, 4)
    write_ico(out("tray_256_colors.ico"), TRAY_256, KEY256, 8)
    write_ico(out("tab_screen.ico"), TAB_SCREEN, KEY16, 4)
    write_ico(out("tab_icons.ico"), TAB_ICONS, KEY16, 4)
    write_ico(out("tab_window.ico"), TAB_WINDOW, KEY16, 4)
    write_ico(out("tab_settings.ico"), TAB_SETTINGS, KEY16, 4)
    write_ico(out("tab_about.ico"), TAB_ABOUT, KEY16, 4)

    pictures = [screen_picture(d) for d in "1234"]
    strip = ["".join(p[y] for p in pictures) for y in range(20)]
    write_bmp24(out("screen_pictures.bmp"), strip, KEY16)


if __name__ == "__main__":
    main()
