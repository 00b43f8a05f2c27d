#!/usr/bin/env python3
"""Writes the program's pictures as XPM text. Run it from anywhere; it rewrites the files beside it.

keydisk.xpm     17 x 15, the key-disk button: a computer with a diskette drive, on a clear ground.
login-icon.xpm  32 x 32, the login window's icon: a red padlock.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write_xpm(name, colours, rows):
    width, height = len(rows[0]), len(rows)
    assert all(len(row) == width for row in rows), name
    assert all(ch in colours for row in rows for ch in row), name
    lines = ["/* XPM */", "static const char *const %s[] = {" % name.replace("-", "_").replace(".xpm", ""),
             '"%d %d %d 1",' % (width, height, len(colours))]
    lines += ['"%s c %s",' % (ch, colour) for ch, colour in colours.items()]
    lines += ['"%s"%s' % (row, "," if i + 1 < height else "") for i, row in enumerate(rows)]
    lines.append("};")
    with open(os.path.join(HERE, name), "w", encoding="ascii") as out:
        out.write("\n".join(lines) + "\n")


KEYDISK = [
    "  kkkkkkkkkkkkk  ",
    "  kwwwwwwwwwwdk  ",
    "  kwkkkkkkkkkdk  ",
    "  kwkcbbbbbbkdk  ",
    "  kwkbcbbbbbkdk  ",
    "  kwkbbbbbbbkdk  ",
    "  kwkkkkkkkkkdk  ",
    "  kwgggggggggdk  ",
    "  kdddddddddddk  ",
    "      kdddk      ",
    "kkkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwdk",
    "kwgggkkkkkkkggldk",
    "kdddddddddddddddk",
    "kkkkkkkkkkkkkkkkk",
]
KEYDISK_COLOURS = {" ": "None", "k": "#000000", "w": "#FFFFFF", "g": "#C0C0C0", "d": "#808080",
                   "b": "#000080", "c": "#00FFFF", "l": "#00C000"}


def padlock():
    """A padlock drawn from shapes: a steel shackle over a red body with a black keyhole."""
    size = 32
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            ch = " "
            # Shackle: a half ring above the body, with straight legs down into it.
            ring = math.hypot(cx - 16, cy - 12)
            if (cy <= 12 and 6.5 <= ring <= 10.5) or (12 < cy <= 16 and (5.5 <= cx <= 9.5 or 22.5 <= cx <= 26.5)):
                ch = "s" if cx < 16 else "t"  # lit from the left
            # Body with a dark edge and a light upper rim.
            if 3 <= x <= 28 and 14 <= y <= 29:
                edge = x in (3, 28) or y in (14, 29)
                ch = "k" if edge else ("r" if y > 15 else "p")
                if not edge and x == 27:
                    ch = "m"
                # Keyhole: a round head and a narrow slot.
                if math.hypot(cx - 16, cy - 20) <= 2.6 or (15 <= x <= 16 and 20 <= y <= 25):
                    ch = "k"
            row += ch
        rows.append(row)
    return rows


PADLOCK_COLOURS = {" ": "None", "k": "#000000", "r": "#CC0000", "p": "#FF4040", "m": "#800000",
                   "s": "#E0E0E0", "t": "#808080"}

if __name__ == "__main__":
    write_xpm("keydisk.xpm", KEYDISK_COLOURS, KEYDISK)
    write_xpm("login-icon.xpm", PADLOCK_COLOURS, padlock())
