#!/usr/bin/env python3
"""Checks the program icon Windows shows: every size Explorer and the taskbar ask for is there, each
image is the size its directory entry claims, and the 256 px one is PNG-compressed.
  check_icon.py <TanvicQuorvel.ico | TanvicQuorvel.exe | package.zip>
An .ico is read as a file; an .exe (or the one in the zip) through its resource section: the
first icon group and the icons it names."""
import struct
import sys
import zipfile

WANTED = {16, 20, 24, 32, 40, 48, 64, 256}
RT_ICON, RT_GROUP_ICON = 3, 14


def image_size(data):
    """(width, height, is_png) of one icon image: a PNG or a bitmap without its file header."""
    if data[:8] == b'\x89PNG\r\n\x1a\n':
        width, height = struct.unpack('>II', data[16:24])
        return width, height, True
    width, height = struct.unpack('<ii', data[4:12])
    return width, height // 2, False  # the bitmap's height counts the AND mask too


def ico_images(data):
    _, kind, count = struct.unpack('<HHH', data[:6])
    assert kind == 1, 'not an icon file'
    for i in range(count):
        w, h, _, _, _, _, size, offset = struct.unpack('<BBBBHHII', data[6 + 16 * i:22 + 16 * i])
        yield w or 256, h or 256, data[offset:offset + size]


def pe_resources(data):
    """{type: {id: bytes}} of a PE file's resources (first language of each)."""
    pe = struct.unpack('<I', data[0x3c:0x40])[0]
    assert data[pe:pe + 4] == b'PE\0\0', 'not a PE file'
    sections, optional_size = struct.unpack('<H', data[pe + 6:pe + 8])[0], struct.unpack('<H', data[pe + 20:pe + 22])[0]
    optional = pe + 24
    directories = optional + (112 if struct.unpack('<H', data[optional:optional + 2])[0] == 0x20b else 96)
    resource_rva = struct.unpack('<I', data[directories + 16:directories + 20])[0]
    table = optional + optional_size
    spans = [struct.unpack('<IIII', data[table + 40 * i + 8:table + 40 * i + 24]) for i in range(sections)]

    def offset(rva):
        for vsize, vaddr, raw_size, raw in spans:
            if vaddr <= rva < vaddr + max(vsize, raw_size):
                return raw + rva - vaddr
        raise ValueError('address outside every section')

    base = offset(resource_rva)

    def entries(at):
        named, ids = struct.unpack('<HH', data[base + at + 12:base + at + 16])
        for i in range(named + ids):
            name, target = struct.unpack('<II', data[base + at + 16 + 8 * i:base + at + 24 + 8 * i])
            yield name, target

    def leaf(target):
        while target & 0x80000000:  # a directory: take its first entry (the first language)
            target = next(entries(target & 0x7fffffff))[1]
        rva, size = struct.unpack('<II', data[base + target:base + target + 8])
        return data[offset(rva):offset(rva) + size]

    return {kind: {name: leaf(t) for name, t in entries(k & 0x7fffffff)} for kind, k in entries(0)}


def exe_images(data):
    resources = pe_resources(data)
    group = next(iter(resources[RT_GROUP_ICON].values()))
    count = struct.unpack('<H', group[4:6])[0]
    for i in range(count):
        w, h, _, _, _, _, _, icon = struct.unpack('<BBBBHHIH', group[6 + 14 * i:20 + 14 * i])
        yield w or 256, h or 256, resources[RT_ICON][icon]


def main(path):
    if path.endswith('.zip'):
        with zipfile.ZipFile(path) as z:
            data = z.read('TanvicQuorvel/TanvicQuorvel.exe')
    else:
        with open(path, 'rb') as f:
            data = f.read()
    images = list(exe_images(data) if data[:2] == b'MZ' else ico_images(data))
    problems = []
    sizes = set()
    for w, h, image in images:
        real_w, real_h, png = image_size(image)
        if (real_w, real_h) != (w, h):
            problems.append(f'the {w} px entry holds a {real_w} x {real_h} image')
        if w == 256 and not png:
            problems.append('the 256 px image is not PNG-compressed')
        sizes.add(w)
    if sizes != WANTED:
        problems.append(f'sizes {sorted(sizes)}, wanted {sorted(WANTED)}')
    print(f'{path}: ' + ', '.join(f'{w} px{" (PNG)" if image_size(i)[2] else ""}' for w, _, i in images))
    for p in problems:
        print('FAIL: ' + p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
