#!/usr/bin/env python3
"""Writes the small bitmap set the toolkit tests embed (tests/gui/bitmaps).

Each picture is simple enough that a test can predict every pixel.
Run again after changing it; the BMP files are kept in the repository.
"""
import os
import struct

WHITE = (255, 255, 255)


def write_bmp(path, width, height, pixel):
    row_bytes = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'bitmaps')
    os.makedirs(out, exist_ok=True)
    # 128: background whose colour encodes the position, so offsets can be checked.
    write_bmp(os.path.join(out, '128.bmp'), 200, 120, lambda x, y: (x, y * 2, 90))
    # 129: knob pointer 5 x 5, a red plus on the white key colour.
    write_bmp(os.path.join(out, '129.bmp'), 5, 5,
              lambda x, y: (200, 0, 0) if x == 2 or y == 2 else WHITE)
    # 130: fader handle 10 x 6, green with white (keyed) corners.
    write_bmp(os.path.join(out, '130.bmp'), 10, 6,
              lambda x, y: WHITE if (x in (0, 9) and y in (0, 5)) else (0, 160, 0))
    # 131: toggle, 12 x 16: off (blue) above, on (yellow) below.
    write_bmp(os.path.join(out, '131.bmp'), 12, 16, lambda x, y: (0, 0, 200) if y < 8 else (220, 220, 0))
    # 132: indicator, 8 x 16: unlit above, lit below.
    write_bmp(os.path.join(out, '132.bmp'), 8, 16, lambda x, y: (60, 0, 0) if y < 8 else (255, 40, 40))
    # 133: splash picture 40 x 20, purple with a white (keyed) border.
    write_bmp(os.path.join(out, '133.bmp'), 40, 20,
              lambda x, y: WHITE if x in (0, 39) or y in (0, 19) else (180, 0, 180))
    # 134: 4 x 4 checker of white and dark grey for exact keyed-drawing checks.
    write_bmp(os.path.join(out, '134.bmp'), 4, 4, lambda x, y: WHITE if (x + y) % 2 == 0 else (30, 30, 30))
    # 135: fader background 10 x 70, a vertical grey ramp.
    write_bmp(os.path.join(out, '135.bmp'), 10, 70, lambda x, y: (y * 3, y * 3, y * 3))


if __name__ == '__main__':
    main()
