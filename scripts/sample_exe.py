#!/usr/bin/env python3
"""Writes a small Windows program for the screenshots: a PE32 file that does nothing but
carries an icon group (32 x 32 and 16 x 16) and a version block, so the main window has an icon,
a version and a copyright to show.

    sample_exe.py OUT.exe
"""
import struct
import sys

LANG_JA = 0x0411
RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
SECTION_RVA = 0x1000
FILE_ALIGN = 0x200


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


# ---- the icon ------------------------------------------------------------------------------

def icon_pixel(x, y, size):
    """A green rounded square with a yellow disc: easy to tell from any theme icon."""
    s = size - 1
    r = size // 5
    # Corners outside the rounding are transparent.
    cx = min(max(x, r), s - r)
    cy = min(max(y, r), s - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    mid = s / 2
    if (x - mid) ** 2 + (y - mid) ** 2 <= (size * 0.28) ** 2:
        return (255, 200, 0, 255)
    return (20, 140, 60, 255)


def icon_image(size):
    """One RT_ICON image: a 32-bit DIB (height doubled for the mask), then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    mask = bytearray()
    stride = (size + 31) // 32 * 4
    for y in range(size - 1, -1, -1):  # bottom-up rows
        bits = bytearray(stride)
        for x in range(size):
            r, g, b, a = icon_pixel(x, y, size)
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


# ---- the version block ---------------------------------------------------------------------

def ver_node(key, value=b"", text=False, children=()):
    """One node of the version tree: length, value length, type, key, value, children."""
    body = pad4(struct.pack("<HHH", 0, 0, 0) + key.encode("utf-16-le") + b"\0\0")
    body += pad4(value)
    for child in children:
        body = pad4(body) + child
    value_len = len(value) // 2 if text else len(value)
    return struct.pack("<HHH", len(body), value_len, 1 if text else 0) + body[6:]


def ver_string(key, text):
    return ver_node(key, (text + "\0").encode("utf-16-le"), text=True)


def version_block(version, strings):
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    ms = parts[0] << 16 | parts[1]
    ls = parts[2] << 16 | parts[3]
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x00010000, ms, ls, ms, ls, 0x3F, 0, 0x40004, 1, 0, 0, 0)
    table = ver_node("041104B0", text=True, children=[ver_string(k, v) for k, v in strings])
    info = ver_node("StringFileInfo", text=True, children=[table])
    var = ver_node("VarFileInfo", children=[ver_node("Translation", struct.pack("<HH", LANG_JA, 0x04B0))])
    return ver_node("VS_VERSION_INFO", fixed, children=[info, var])


# ---- the resource section ------------------------------------------------------------------

def resource_section(resources):
    """resources: {type: {id: data}}, one language each. Directories first, then the data
    entries, then the data, all inside one section that starts at SECTION_RVA."""
    types = sorted(resources)
    dir_size = lambda n: 16 + 8 * n
    # Layout: root, one name directory per type, one language directory per resource.
    offset = dir_size(len(types))
    name_dir_at = {}
    for t in types:
        name_dir_at[t] = offset
        offset += dir_size(len(resources[t]))
    lang_dir_at = {}
    for t in types:
        for i in sorted(resources[t]):
            lang_dir_at[t, i] = offset
            offset += dir_size(1)
    entry_at = {}
    for t in types:
        for i in sorted(resources[t]):
            entry_at[t, i] = offset
            offset += 16
    data_at = {}
    for t in types:
        for i in sorted(resources[t]):
            data_at[t, i] = offset
            offset = (offset + len(resources[t][i]) + 7) & ~7

    out = bytearray(offset)

    def directory(at, entries):
        struct.pack_into("<IIHHHH", out, at, 0, 0, 0, 0, 0, len(entries))
        for n, (ident, target) in enumerate(entries):
            struct.pack_into("<II", out, at + 16 + 8 * n, ident, target)

    directory(0, [(t, 0x80000000 | name_dir_at[t]) for t in types])
    for t in types:
        directory(name_dir_at[t], [(i, 0x80000000 | lang_dir_at[t, i]) for i in sorted(resources[t])])
        for i in sorted(resources[t]):
            directory(lang_dir_at[t, i], [(LANG_JA, entry_at[t, i])])
            data = resources[t][i]
            struct.pack_into("<IIII", out, entry_at[t, i], SECTION_RVA + data_at[t, i], len(data), 0, 0)
            out[data_at[t, i]:data_at[t, i] + len(data)] = data
    return bytes(out)


def pe32(rsrc):
    raw_size = (len(rsrc) + FILE_ALIGN - 1) // FILE_ALIGN * FILE_ALIGN
    image_size = SECTION_RVA + (len(rsrc) + 0xFFF) // 0x1000 * 0x1000
    dos = bytearray(64)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 64)
    coff = b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, 224, 0x0102)
    opt = struct.pack("<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII",
                      0x10B, 14, 0, 0, 0, 0, 0, SECTION_RVA, SECTION_RVA, 0x400000,
                      0x1000, FILE_ALIGN, 6, 0, 1, 0, 6, 0, 0, image_size, FILE_ALIGN, 0,
                      2, 0x8140, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    dirs = bytearray(16 * 8)
    struct.pack_into("<II", dirs, 2 * 8, SECTION_RVA, len(rsrc))
    section = struct.pack("<8sIIIIIIHHI", b".rsrc", len(rsrc), SECTION_RVA, raw_size, FILE_ALIGN,
                          0, 0, 0, 0, 0x40000040)
    headers = bytes(dos) + coff + opt + bytes(dirs) + section
    headers += b"\0" * (FILE_ALIGN - len(headers))
    return headers + rsrc + b"\0" * (raw_size - len(rsrc))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: sample_exe.py OUT.exe")
    sizes = (32, 16)
    images = {n + 1: icon_image(size) for n, size in enumerate(sizes)}
    group = struct.pack("<HHH", 0, 1, len(sizes))
    for n, size in enumerate(sizes):
        group += struct.pack("<BBBBHHIH", size, size, 0, 0, 1, 32, len(images[n + 1]), n + 1)
    version = version_block("1.2.0.0", [
        ("CompanyName", "サンプル工房"),
        ("FileDescription", "スクリーンショット用のサンプル"),
        ("FileVersion", "1.20"),
        ("LegalCopyright", "(C) 2026 サンプル工房"),
        ("ProductName", "サンプル"),
    ])
    rsrc = resource_section({RT_ICON: images, RT_GROUP_ICON: {1: group}, RT_VERSION: {1: version}})
    with open(sys.argv[1], "wb") as f:
        f.write(pe32(rsrc))


if __name__ == "__main__":
    main()
