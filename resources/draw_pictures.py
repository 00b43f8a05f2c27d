#!/usr/bin/env python3
"""Writes the program's pictures. Run it from anywhere; it rewrites the files beside it.

keydisk.xpm     17 x 15, the key-disk button: a computer with a diskette drive, on a clear ground.
login-icon.xpm  32 x 32, the login window's icon: a red padlock.
grandihjerte.gif 145 x 121, the pizza timer's picture as shown: a heart-shaped pizza on a clear ground;
                grandihjerte@2x.gif, the same drawn 290 x 242 for a doubled screen.
icons/hicolor/  the application icon, a red padlock marked with a Q: scalable/apps/qelcrypto.svg and
                <n>x<n>/apps/qelcrypto.png for the sizes in ICON_SIZES, drawn from the same shapes.
"""
import math
import os
import struct
import zlib

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

def lzw_gif_data(indices, code_size):
    """GIF's variable-width LZW over the pixel indices, cut into sub-blocks."""
    clear, end = 1 << code_size, (1 << code_size) + 1
    out, bit_buffer, bit_count = bytearray(), 0, 0
    width = code_size + 1

    def emit(code):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    emit(clear)
    run = (indices[0],)
    for index in indices[1:]:
        extended = run + (index,)
        if extended in table:
            run = extended
            continue
        emit(table[run])
        if next_code < 4096:
            table[extended] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            next_code, width = end + 1, code_size + 1
        run = (index,)
    emit(table[run])
    emit(end)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    blocks = bytearray([code_size])
    for start in range(0, len(out), 255):
        chunk = out[start:start + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\0")


def write_gif(name, palette, pixels):
    """A GIF89a with one image; palette index 0 is the clear ground."""
    height, width = len(pixels), len(pixels[0])
    assert len(palette) <= 256, name
    bits = max(1, (len(palette) - 1).bit_length())
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    head = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0)
    head += b"".join(bytes(colour) for colour in table)
    control = b"\x21\xF9\x04\x01\x00\x00\x00\x00"  # index 0 transparent
    image = b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    data = lzw_gif_data([index for row in pixels for index in row], max(2, bits))
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(head + control + image + data + b"\x3B")


def heart(x, y):
    """Below zero inside the heart curve (x*x + y*y - 1)^3 = x*x*y^3, on a plane centred on the heart."""
    return (x * x + y * y - 1) ** 3 - x * x * y ** 3


def noise(x, y, seed):
    """A repeatable hash of a pixel in [0, 1): texture without a random generator."""
    n = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return (n ^ (n >> 16)) / 2 ** 32


def blobs(x, y, scale, seed):
    """Smooth value noise: lumps of cheese rather than speckles."""
    gx, gy = x / scale, y / scale
    x0, y0 = int(gx), int(gy)
    fx, fy = gx - x0, gy - y0
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    top = noise(x0, y0, seed) * (1 - fx) + noise(x0 + 1, y0, seed) * fx
    bottom = noise(x0, y0 + 1, seed) * (1 - fx) + noise(x0 + 1, y0 + 1, seed) * fx
    return top * (1 - fy) + bottom * fy


PIZZA_PALETTE = [
    (0, 0, 0),  # clear ground
    (120, 62, 20), (168, 96, 38), (204, 138, 64), (232, 178, 98),  # crust, dark to light
    (178, 28, 18), (214, 52, 28),  # tomato sauce
    (246, 206, 92), (252, 228, 140), (255, 244, 196),  # melted cheese
    (150, 24, 24), (112, 14, 14), (190, 60, 50),  # pepperoni, its edge and fat
    (46, 120, 40), (90, 164, 70),  # basil
    (60, 30, 10),  # burnt spots
]
PEPPERONI = [(58, 52), (118, 48), (88, 88), (50, 100), (126, 98), (90, 128)]
BASIL = [(76, 62, 0.6), (104, 70, -0.4), (66, 122, 0.2), (112, 118, 1.0)]


def pizza_heart(width, height):
    """A pepperoni pizza baked in the shape of a heart, lit from the upper left. It is drawn on a
    180 x 162 plan, at the size it is shown, so that no program scales it."""
    pixels = []
    for py in range(height):
        row = []
        for px in range(width):
            # Where the pixel's centre falls on the plan; speckles stay one pixel each.
            ux, uy = (px + 0.5) * 180 / width, (py + 0.5) * 162 / height
            # The curve spans about 2.3 by 2.2 units; leave a pixel or two of ground around it.
            x = (ux - 90) / (180 / 2.36)
            y = 1.23 - uy / (162 / 2.36)
            outer = heart(x, y)
            if outer > 0:
                row.append(0)
                continue
            if heart(x / 0.84, (y + 0.06) / 0.84) > 0:
                # The crust: darker towards its outer edge and on the side away from the light.
                shade = 4 if heart(x / 0.92, (y + 0.03) / 0.92) > 0 else 3
                shade -= 1 if (x + y) < -0.9 else 0
                shade -= 1 if heart(x / 0.97, y / 0.97) > 0 else 0
                shade = 1 if noise(px, py, 7) < 0.05 else shade
                row.append(shade)
                continue
            index = 6 if blobs(ux, uy, 5, 3) > 0.45 else 5
            cheese = blobs(ux, uy, 9, 11)
            if cheese > 0.42:
                index = 7 if cheese < 0.55 else (8 if cheese < 0.72 else 9)
            for cx, cy in PEPPERONI:
                d = math.hypot(ux - cx, uy - cy)
                if d <= 12:
                    index = 11 if d > 10.5 else (12 if noise(px, py, 5) < 0.12 else 10)
            for bx, by, turn in BASIL:
                u = (ux - bx) * math.cos(turn) + (uy - by) * math.sin(turn)
                v = -(ux - bx) * math.sin(turn) + (uy - by) * math.cos(turn)
                if (u / 7) ** 2 + (v / 3.5) ** 2 <= 1:
                    index = 13 if v > 0 else 14
            if noise(px, py, 13) < 0.008:
                index = 15
            row.append(index)
        pixels.append(row)
    return pixels


ICON_ID = "qelcrypto"
ICON_SIZES = (16, 32, 48, 64, 128, 256)

# The application icon on a 256-unit square, shared by the SVG and the PNG renderer.
SHACKLE = dict(left=72, right=184, top=104, bottom=150, width=30, rim=4)
BODY = dict(left=36, top=120, right=220, bottom=236, radius=22, rim=6)
LETTER = dict(cx=128, cy=176, radius=29, width=12, tail=((140, 188), (168, 216)))
# Gradients as (position, colour) stops along x for the steel and along y for the red body.
STEEL = (57, 199, [(0.0, (0xF4, 0xF4, 0xF4)), (0.55, (0xB8, 0xB8, 0xB8)), (1.0, (0x6E, 0x6E, 0x6E))])
RED = (BODY["top"] + BODY["rim"], BODY["bottom"] - BODY["rim"],
       [(0.0, (0xFF, 0x50, 0x50)), (0.3, (0xDD, 0x10, 0x10)), (1.0, (0x99, 0x00, 0x00))])
SHACKLE_RIM = (0x30, 0x30, 0x30)
BODY_RIM = (0x00, 0x00, 0x00)
LETTER_COLOUR = (0xFF, 0xF4, 0xE0)


def hex_colour(rgb):
    return "#%02X%02X%02X" % rgb


def icon_svg():
    shackle, body, letter = SHACKLE, BODY, LETTER
    radius = (shackle["right"] - shackle["left"]) / 2
    path = "M %d %d V %d A %g %g 0 0 1 %d %d V %d" % (
        shackle["left"], shackle["bottom"], shackle["top"], radius, radius, shackle["right"], shackle["top"],
        shackle["bottom"])

    def gradient(name, axis, ramp):
        start, stop, stops = ramp
        ends = ('x1="%d" y1="0" x2="%d" y2="0"' if axis == "x" else 'x1="0" y1="%d" x2="0" y2="%d"') % (start, stop)
        lines = ['    <linearGradient id="%s" gradientUnits="userSpaceOnUse" %s>' % (name, ends)]
        lines += ['      <stop offset="%g" stop-color="%s"/>' % (at, hex_colour(c)) for at, c in stops]
        return lines + ["    </linearGradient>"]

    inset = body["rim"]
    (tx1, ty1), (tx2, ty2) = letter["tail"]
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
             "  <title>qelCrypto</title>", "  <defs>"]
    lines += gradient("steel", "x", STEEL) + gradient("red", "y", RED)
    lines += ["  </defs>",
              '  <path d="%s" fill="none" stroke="%s" stroke-width="%d"/>' % (
                  path, hex_colour(SHACKLE_RIM), shackle["width"] + 2 * shackle["rim"]),
              '  <path d="%s" fill="none" stroke="url(#steel)" stroke-width="%d"/>' % (path, shackle["width"]),
              '  <rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="%s"/>' % (
                  body["left"], body["top"], body["right"] - body["left"], body["bottom"] - body["top"],
                  body["radius"], hex_colour(BODY_RIM)),
              '  <rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="url(#red)"/>' % (
                  body["left"] + inset, body["top"] + inset, body["right"] - body["left"] - 2 * inset,
                  body["bottom"] - body["top"] - 2 * inset, body["radius"] - inset),
              '  <circle cx="%d" cy="%d" r="%d" fill="none" stroke="%s" stroke-width="%d"/>' % (
                  letter["cx"], letter["cy"], letter["radius"], hex_colour(LETTER_COLOUR), letter["width"]),
              '  <line x1="%d" y1="%d" x2="%d" y2="%d" stroke="%s" stroke-width="%d" stroke-linecap="round"/>' % (
                  tx1, ty1, tx2, ty2, hex_colour(LETTER_COLOUR), letter["width"]),
              "</svg>"]
    return "\n".join(lines) + "\n"


def segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def rounded_box_distance(x, y, left, top, right, bottom, radius):
    """Signed: below zero inside the rectangle with rounded corners."""
    qx = abs(x - (left + right) / 2) - ((right - left) / 2 - radius)
    qy = abs(y - (top + bottom) / 2) - ((bottom - top) / 2 - radius)
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def gradient_colour(ramp, at):
    start, stop, stops = ramp
    t = max(0.0, min(1.0, (at - start) / (stop - start)))
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            f = (t - t0) / (t1 - t0)
            return tuple(a + (b - a) * f for a, b in zip(c0, c1))
    return stops[-1][1]


def icon_pixels(size):
    """RGBA rows of the icon at size x size: each shape covers a pixel by its signed distance, which
    smooths the edges without sampling a pixel many times."""
    unit = 256 / size  # icon units per pixel
    shackle, body, letter = SHACKLE, BODY, LETTER
    centre = ((shackle["left"] + shackle["right"]) / 2, shackle["top"])
    radius = (shackle["right"] - shackle["left"]) / 2
    # At the small sizes the thin lines would fade to a smudge; keep them about a pixel wide.
    letter_half = max(letter["width"], 1.1 * unit) / 2
    body_rim = max(body["rim"], 0.8 * unit)
    shackle_rim = max(shackle["rim"], 0.6 * unit)

    def cover(distance):
        return max(0.0, min(1.0, 0.5 - distance / unit))

    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            x, y = (px + 0.5) * unit, (py + 0.5) * unit
            if y <= centre[1]:
                to_path = abs(math.hypot(x - centre[0], y - centre[1]) - radius)
            else:
                to_path = min(abs(x - shackle["left"]), abs(x - shackle["right"]))
                to_path = math.hypot(to_path, max(0.0, y - shackle["bottom"]))
            outline = to_path - shackle["width"] / 2
            box = rounded_box_distance(x, y, body["left"], body["top"], body["right"], body["bottom"],
                                       body["radius"])
            ring = abs(math.hypot(x - letter["cx"], y - letter["cy"]) - letter["radius"])
            stroke = min(ring, segment_distance(x, y, *letter["tail"])) - letter_half
            layers = [(SHACKLE_RIM, cover(outline - shackle_rim)), (gradient_colour(STEEL, x), cover(outline)),
                      (BODY_RIM, cover(box)), (gradient_colour(RED, y), cover(box + body_rim)),
                      (LETTER_COLOUR, cover(stroke))]
            red = green = blue = alpha = 0.0  # premultiplied
            for colour, a in layers:
                red, green, blue = (c * a + p * (1 - a) for c, p in zip(colour, (red, green, blue)))
                alpha = a + alpha * (1 - a)
            if alpha > 0:
                row += bytes(round(c / alpha) for c in (red, green, blue)) + bytes([round(alpha * 255)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def write_png(path, rows):
    """An 8-bit RGBA PNG, every row unfiltered."""
    width, height = len(rows[0]) // 4, len(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = zlib.compress(b"".join(b"\0" + row for row in rows), 9)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) + chunk(b"IEND", b""))


def write_icons():
    theme = os.path.join(HERE, "icons", "hicolor")
    os.makedirs(os.path.join(theme, "scalable", "apps"), exist_ok=True)
    with open(os.path.join(theme, "scalable", "apps", ICON_ID + ".svg"), "w", encoding="ascii") as out:
        out.write(icon_svg())
    for size in ICON_SIZES:
        folder = os.path.join(theme, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, ICON_ID + ".png"), icon_pixels(size))


if __name__ == "__main__":
    write_xpm("keydisk.xpm", KEYDISK_COLOURS, KEYDISK)
    write_xpm("login-icon.xpm", PADLOCK_COLOURS, padlock())
    # The pizza timer shows the heart 145 x 121 (2175 x 1815 twips), twice that on a doubled screen.
    write_gif("grandihjerte.gif", PIZZA_PALETTE, pizza_heart(145, 121))
    write_gif("grandihjerte@2x.gif", PIZZA_PALETTE, pizza_heart(290, 242))
    write_icons()
