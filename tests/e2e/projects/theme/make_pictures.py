#!/usr/bin/env python3
# Writes the gallery theme's pictures beside this script: back.bmp, a 24-bit gradient that the page
# stretches over its window, and ring.gif, a ring whose middle is see-through.
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def gradient_bmp(width, height):
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            row += bytes((150 + 90 * x // width, 90 + 110 * y // height, 40))  # blue, green, red
        rows += row + bytes(stride - len(row))
    header = b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return header + info + rows


# Two colours, index 1 transparent. The LZW table is cleared every two pixels, so every code stays
# three bits wide and no dictionary is needed.
def ring_gif(side):
    out = b"GIF89a" + struct.pack("<HH", side, side) + b"\x80\x00\x00"
    out += b"\x20\x30\x90\xff\xff\xff"
    out += b"\x21\xf9\x04\x01\x00\x00\x01\x00"
    out += b"," + struct.pack("<HHHH", 0, 0, side, side) + b"\x00\x02"
    codes = []
    for y in range(side):
        for x in range(side):
            if x % 2 == 0:
                codes.append(4)
            dx, dy = 2 * x - side + 1, 2 * y - side + 1
            r = dx * dx + dy * dy
            codes.append(0 if (side - 12) ** 2 < r < (side - 2) ** 2 else 1)
    codes.append(5)
    data, bits, count = bytearray(), 0, 0
    for code in codes:
        bits |= code << count
        count += 3
        while count >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        data.append(bits & 0xFF)
    for at in range(0, len(data), 255):
        block = data[at:at + 255]
        out += bytes((len(block),)) + bytes(block)
    return out + b"\x00;"


def main():
    with open(os.path.join(HERE, "back.bmp"), "wb") as f:
        f.write(gradient_bmp(260, 200))
    with open(os.path.join(HERE, "ring.gif"), "wb") as f:
        f.write(ring_gif(40))


if __name__ == "__main__":
    main()
