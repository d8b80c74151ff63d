#!/usr/bin/env python3
"""Checks an icon file the way Windows uses it: every size Explorer and the taskbar ask for is
there, each image is the size its directory entry claims, and the 256 px one is PNG-compressed.
  check_icon.py <file.ico>
(For the program's own icon resource, wrestool -x -t 14 writes it out as such a file.)"""
import struct
import sys

WANTED = {16, 20, 24, 32, 40, 48, 64, 256}


def image_size(data):
    """(width, height, is_png) of one image: a PNG, or a bitmap without its file header."""
    if data[:8] == b'\x89PNG\r\n\x1a\n':
        return *struct.unpack('>II', data[16:24]), True
    width, height = struct.unpack('<ii', data[4:12])
    return width, height // 2, False  # a bitmap's height counts its AND mask too


def main(path):
    data = open(path, 'rb').read()
    _, kind, count = struct.unpack('<HHH', data[:6])
    if kind != 1:
        print(f'FAIL: {path} is not an icon file')
        return 1
    problems, sizes, shown = [], set(), []
    for i in range(count):
        w, h, _, _, _, _, size, offset = struct.unpack('<BBBBHHII', data[6 + 16 * i:22 + 16 * i])
        w, h = w or 256, h or 256
        real_w, real_h, png = image_size(data[offset:offset + size])
        if (real_w, real_h) != (w, h):
            problems.append(f'the {w} px entry holds a {real_w} x {real_h} image')
        if w == 256 and not png:
            problems.append('the 256 px image is not PNG-compressed')
        sizes.add(w)
        shown.append(f'{w} px' + (' (PNG)' if png else ''))
    if sizes != WANTED:
        problems.append(f'sizes {sorted(sizes)}, wanted {sorted(WANTED)}')
    print(f'{path}: ' + ', '.join(shown))
    for p in problems:
        print('FAIL: ' + p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
