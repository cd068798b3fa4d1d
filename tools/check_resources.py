#!/usr/bin/env python3
"""Reads the manifest and the version information back from a built installer exe and checks them.

The exe must be a console program, ask for administrator rights, declare the Windows versions it was tested
on, and carry file and product version 3.14.0.0 with the product's names. The resource tree is walked here
directly from the PE file, as the Windows loader and Explorer see it.

    check_resources.py EXE
"""

import struct
import sys

RT_VERSION = 16
RT_MANIFEST = 24
SUBSYSTEM_CONSOLE = 3

MANIFEST_TEXTS = [
    '<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>',
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
]
VERSION = (3, 14, 0, 0)
STRINGS = {
    "CompanyName": "Morvellan",
    "FileDescription": "qor installer",
    "FileVersion": "3.14.0.0",
    "OriginalFilename": "qor-installer.exe",
    "ProductName": "qor VARAV server for MAZAK MAZATROL MATRIX2",
    "ProductVersion": "3.14.0.0",
}


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def pe_layout(data):
    """(subsystem, resource directory RVA, [(virtual address, virtual size, raw offset)])."""
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = u32(data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    sections = u16(data, pe + 6)
    optional = pe + 24
    magic = u16(data, optional)
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    resource_rva = u32(data, directories + 2 * 8)
    table = optional + u16(data, pe + 20)
    spans = []
    for i in range(sections):
        at = table + 40 * i
        spans.append((u32(data, at + 12), max(u32(data, at + 8), u32(data, at + 16)), u32(data, at + 20)))
    return u16(data, optional + 68), resource_rva, spans


def file_offset(spans, rva):
    for address, size, raw in spans:
        if address <= rva < address + size:
            return raw + rva - address
    raise ValueError("RVA %#x is in no section" % rva)


def directory_entries(data, base, at):
    """(id, offset of the entry's target relative to base, is a subdirectory) of one resource directory."""
    count = u16(data, base + at + 12) + u16(data, base + at + 14)
    for i in range(count):
        name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
        yield name, target & 0x7FFFFFFF, bool(target & 0x80000000)


def find_resource(data, spans, resource_rva, type_id, name_id):
    """The bytes of the resource's first language, or None."""
    base = file_offset(spans, resource_rva)
    at = 0
    for wanted in (type_id, name_id, None):
        found = [(target, sub) for ident, target, sub in directory_entries(data, base, at)
                 if wanted is None or ident == wanted]
        if not found:
            return None
        at, subdirectory = found[0]
        if wanted is None and subdirectory:
            return None
    rva, size = struct.unpack_from("<II", data, base + at)
    start = file_offset(spans, rva)
    return data[start:start + size]


def version_node(block, at):
    """(key, value bytes, children) of the VS_VERSIONINFO node at the offset."""
    length, value_length, kind = struct.unpack_from("<HHH", block, at)
    end = at + length
    key_end = at + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = block[value_at:value_at + value_size]
    children = []
    child = (value_at + value_size + 3) & ~3
    while child < end:
        children.append(version_node(block, child))
        child = (child + u16(block, child) + 3) & ~3
    return key, value, children


def version_strings(root):
    strings = {}
    for key, _, tables in root[2]:
        if key != "StringFileInfo":
            continue
        for _, _, entries in tables:
            for name, value, _ in entries:
                strings[name] = value.decode("utf-16-le").rstrip("\0")
    return strings


def problems(data):
    subsystem, resource_rva, spans = pe_layout(data)
    found = []
    if subsystem != SUBSYSTEM_CONSOLE:
        found.append("subsystem is %d, not %d (console)" % (subsystem, SUBSYSTEM_CONSOLE))
    if not resource_rva:
        return found + ["no resource directory"]
    manifest = find_resource(data, spans, resource_rva, RT_MANIFEST, 1)
    if manifest is None:
        found.append("no manifest (RT_MANIFEST 1)")
    else:
        text = manifest.decode("utf-8")
        found += ["manifest lacks %s" % t for t in MANIFEST_TEXTS if t not in text]
    block = find_resource(data, spans, resource_rva, RT_VERSION, 1)
    if block is None:
        return found + ["no version information (RT_VERSION 1)"]
    root = version_node(block, 0)
    fixed = struct.unpack_from("<13I", root[1]) if len(root[1]) >= 52 else None
    if root[0] != "VS_VERSION_INFO" or not fixed or fixed[0] != 0xFEEF04BD:
        return found + ["version information has no VS_FIXEDFILEINFO"]
    want = (VERSION[0] << 16 | VERSION[1], VERSION[2] << 16 | VERSION[3])
    if fixed[2:4] != want:
        found.append("file version is %08x %08x" % fixed[2:4])
    if fixed[4:6] != want:
        found.append("product version is %08x %08x" % fixed[4:6])
    strings = version_strings(root)
    for name, value in STRINGS.items():
        if strings.get(name) != value:
            found.append("%s is %r, not %r" % (name, strings.get(name), value))
    return found


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    found = problems(data)
    for problem in found:
        sys.stderr.write("check_resources: %s: %s\n" % (argv[1], problem))
    if not found:
        print("%s: console program, manifest and version information as expected" % argv[1])
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
