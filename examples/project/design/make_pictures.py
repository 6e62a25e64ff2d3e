#!/usr/bin/env python3
"""Draws the default theme's pictures (python3, standard library only).

Writes, relative to the project folder (the parent of this script's folder):
  theme/side.gif    164x300, the band on the left of the welcome and completion pages
  theme/emblem.gif  48x48, the emblem in the white header band of the inner pages
  setup.gif         320x180, the animated splash: the emblem with a light running round its ring
                    and three dots taking turns
All pictures are GIFs with LZW-compressed data, so each stays a few kilobytes.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
PROJECT = os.path.dirname(HERE)

# The theme's colours (kept in step with make_theme.py).
NAVY = (18, 44, 86)
OCEAN = (0, 104, 160)
WHITE = (255, 255, 255)
ACCENT = (0, 99, 177)
PALE = (214, 233, 248)

SIDE_SIZE = (164, 300)  # its foot is where the line above the wizard's buttons runs
EMBLEM_SIDE = 48
SPLASH_SIZE = (320, 180)
SPLASH_FRAMES = 8
SPLASH_DELAY = 12  # hundredths of a second per frame


# ---------------------------------------------------------------------------------------------
# GIF writing


def lzw_compress(indices, min_code_size):
    """The GIF variant of LZW: variable code width from min_code_size + 1 up to 12 bits, a clear
    code first and whenever the table is full, the end code last, bits packed from the low end."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out = bytearray()
    acc = nbits = 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def fresh_table():
        return {(i,): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = fresh_table()
    emit(clear, width)
    prefix = ()
    for index in indices:
        candidate = prefix + (index,)
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The reader widens its codes once its own table (one entry behind ours) is full.
            if next_code - 1 == (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = fresh_table()
        prefix = (index,)
    if prefix:
        emit(table[prefix], width)
    emit(end, width)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for at in range(0, len(data), 255):
        block = data[at:at + 255]
        out += bytes((len(block),)) + block
    return bytes(out) + b"\x00"


def make_palette(frames):
    """One palette of at most 256 colours for all frames: median cut over the colours used,
    weighted by how often each appears."""
    counts = {}
    for pixels in frames:
        for colour in pixels:
            counts[colour] = counts.get(colour, 0) + 1
    if len(counts) <= 256:
        return sorted(counts)
    boxes = [list(counts)]
    while len(boxes) < 256:
        boxes.sort(key=lambda box: max(max(c[ch] for c in box) - min(c[ch] for c in box) for ch in range(3)))
        box = boxes.pop()
        if len(box) < 2:
            boxes.append(box)
            break
        channel = max(range(3), key=lambda ch: max(c[ch] for c in box) - min(c[ch] for c in box))
        box.sort(key=lambda c: c[channel])
        half, running, total = 0, 0, sum(counts[c] for c in box)
        while half < len(box) - 1 and running + counts[box[half]] <= total // 2:
            running += counts[box[half]]
            half += 1
        half = max(1, half)
        boxes += [box[:half], box[half:]]
    palette = []
    for box in boxes:
        weight = sum(counts[c] for c in box)
        palette.append(tuple(sum(c[ch] * counts[c] for c in box) // weight for ch in range(3)))
    return palette


def index_pixels(pixels, palette):
    exact = {colour: i for i, colour in enumerate(palette)}
    cache = {}

    def nearest(colour):
        if colour in exact:
            return exact[colour]
        if colour not in cache:
            cache[colour] = min(range(len(palette)),
                                key=lambda i: sum((palette[i][ch] - colour[ch]) ** 2 for ch in range(3)))
        return cache[colour]

    return [nearest(colour) for colour in pixels]


def encode_gif(width, height, frames, delay=None):
    """frames: lists of (r, g, b) rows-first pixels. More than one frame makes an endless animation
    with the given delay; every frame covers the whole picture and is left in place (disposal 1)."""
    palette = make_palette(frames)
    bits = max(1, (len(palette) - 1).bit_length())
    palette += [(0, 0, 0)] * ((1 << bits) - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for colour in palette:
        out += bytes(colour)
    if len(frames) > 1:
        out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    min_code_size = max(2, bits)
    for pixels in frames:
        if delay is not None:
            out += b"\x21\xf9\x04" + struct.pack("<BHB", 1 << 2, delay, 0) + b"\x00"
        out += b"," + struct.pack("<HHHHB", 0, 0, width, height, 0)
        out += bytes((min_code_size,)) + sub_blocks(lzw_compress(index_pixels(pixels, palette), min_code_size))
    out += b";"
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# Drawing: shapes give a coverage from 0 to 1 per pixel (4x4 samples), painted over a background.


def mix(a, b, t):
    return tuple(int(round(a[ch] + (b[ch] - a[ch]) * t)) for ch in range(3))


def vertical_gradient(width, height, top, bottom):
    rows = [mix(top, bottom, y / max(1, height - 1)) for y in range(height)]
    return [rows[y] for y in range(height) for _ in range(width)]


def paint(pixels, width, height, box, colour, inside, samples=4):
    """Blends colour over the pixels of box (x0, y0, x1, y1) by the share of samples inside()."""
    x0, y0, x1, y1 = (max(0, int(box[0])), max(0, int(box[1])), min(width, int(box[2]) + 1),
                      min(height, int(box[3]) + 1))
    step = 1.0 / samples
    for y in range(y0, y1):
        for x in range(x0, x1):
            hits = sum(1 for sy in range(samples) for sx in range(samples)
                       if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step))
            if hits:
                at = y * width + x
                pixels[at] = mix(pixels[at], colour, hits / (samples * samples))


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def disc(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def diamond(cx, cy, radius):
    return lambda x, y: abs(x - cx) + abs(y - cy) <= radius


def arc(cx, cy, outer, inner, start, sweep):
    """The part of a ring between two angles (degrees, clockwise from the top)."""
    def inside(x, y):
        r2 = (x - cx) ** 2 + (y - cy) ** 2
        if not inner * inner <= r2 <= outer * outer:
            return False
        angle = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return (angle - start) % 360 <= sweep
    return inside


def draw_emblem(pixels, width, height, cx, cy, size, ring_colour, core_colour, glow=None):
    """The product emblem: a ring around a diamond with a small disc at its heart. glow, when
    given, is (start angle, colour): a lit stretch of the ring."""
    outer, inner = size * 0.5, size * 0.39
    box = (cx - outer - 1, cy - outer - 1, cx + outer + 1, cy + outer + 1)
    paint(pixels, width, height, box, ring_colour, ring(cx, cy, outer, inner))
    if glow:
        start, colour = glow
        paint(pixels, width, height, box, colour, arc(cx, cy, outer, inner, start, 70))
    paint(pixels, width, height, box, core_colour, diamond(cx, cy, size * 0.3))
    paint(pixels, width, height, box, glow[1] if glow else ring_colour, disc(cx, cy, size * 0.09))


def faint_rings(pixels, width, height, cx, cy, radii, colour):
    """Thin circles reaching in from outside the picture, for a little depth."""
    for radius in radii:
        box = (cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1)
        paint(pixels, width, height, box, colour, ring(cx, cy, radius, radius - 1.4), samples=3)


def side_picture():
    width, height = SIDE_SIZE
    pixels = vertical_gradient(width, height, NAVY, OCEAN)
    faint_rings(pixels, width, height, -20, height + 30, (120, 150, 180, 210), mix(OCEAN, WHITE, 0.16))
    draw_emblem(pixels, width, height, width / 2, 92, 76, WHITE, mix(mix(NAVY, OCEAN, 0.3), WHITE, 0.35))
    return encode_gif(width, height, [pixels])


def header_emblem():
    side = EMBLEM_SIDE
    pixels = [WHITE] * (side * side)
    draw_emblem(pixels, side, side, side / 2, side / 2, side - 8, ACCENT, PALE)
    return encode_gif(side, side, [pixels])


def splash_frames():
    width, height = SPLASH_SIZE
    base = vertical_gradient(width, height, NAVY, OCEAN)
    faint_rings(base, width, height, width + 20, height + 40, (110, 140, 170, 200), mix(OCEAN, WHITE, 0.14))
    cx, cy, size = width / 2, 76, 84
    frames = []
    for frame in range(SPLASH_FRAMES):
        pixels = list(base)
        start = frame * 360 / SPLASH_FRAMES
        draw_emblem(pixels, width, height, cx, cy, size, mix(WHITE, OCEAN, 0.3), mix(mix(NAVY, OCEAN, 0.3), WHITE, 0.3),
                    glow=(start, WHITE))
        for dot in range(3):
            lit = dot == frame % 3
            colour = WHITE if lit else mix(OCEAN, WHITE, 0.35)
            dx = cx + (dot - 1) * 18
            paint(pixels, width, height, (dx - 5, 143, dx + 5, 153), colour, disc(dx, 148, 4.2 if lit else 3.2))
        frames.append(pixels)
    return encode_gif(width, height, frames, delay=SPLASH_DELAY)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    theme = os.path.join(PROJECT, "theme")
    os.makedirs(theme, exist_ok=True)
    write(os.path.join(theme, "side.gif"), side_picture())
    write(os.path.join(theme, "emblem.gif"), header_emblem())
    write(os.path.join(PROJECT, "setup.gif"), splash_frames())


if __name__ == "__main__":
    main()
