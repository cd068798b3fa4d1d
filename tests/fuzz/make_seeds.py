#!/usr/bin/env python3
"""Writes the named seed inputs of both fuzz targets: tests/fuzz/seeds/<target>/.

The seeds are committed; run this again only to change them. They start every fuzzing run and are replayed
with the corpus that fuzzing keeps (tests/fuzz/corpus/<target>/).

    make_seeds.py [SEEDS_ROOT]     (default: tests/fuzz/seeds next to this script)
"""

import os
import sys
import zlib

CHUNK = 524288
SERVER = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe"
SHORT = "C:\\PROGRA~1\\MORVEL~1\\QOR.UA\\MATRIX2\\QORUAM~1.EXE"


def exe_like(length):
    """Bytes that are not all alike yet compress well enough to stay a small input: a header, then a table
    whose rows repeat within deflate's 32 KiB window."""
    out = bytearray(b"MZ\x90\x00")
    row = 0
    while len(out) < length:
        out += b"entry %08x " % (row % 61 * 7919 % 65536) + b"\x00" * 24
        row += 1
    return bytes(out[:length])


def stream(data, level=1):
    return zlib.compress(data, level)


def extract_seeds():
    text = b"stand-in payload 101\n"
    good = stream(text)
    over_a_chunk = stream(exe_like(CHUNK + 70000), 9)
    with_dictionary = zlib.compressobj(level=9, zdict=b"stand-in payload")
    return {
        # libFuzzer skips empty files in a folder but tries the empty input first in every run anyway;
        # the file names the case.
        "empty_resource": b"",
        "empty_file.zlib": stream(b""),
        "short_text.zlib": good,
        "trailing_bytes.zlib": good + b"after the checksum",
        "wrong_checksum.zlib": good[:-1] + bytes([good[-1] ^ 0x01]),
        "truncated.zlib": good[:-5],
        "preset_dictionary.zlib": with_dictionary.compress(text) + with_dictionary.flush(),
        "crosses_a_chunk.zlib": over_a_chunk,
        "crosses_a_chunk_truncated.zlib": over_a_chunk[:-64],
        "two_whole_chunks.zlib": stream(b"\x00" * (2 * CHUNK), 9),
    }


def command_line_seeds():
    return {
        "quoted_with_arguments": '"%s" -service --port 4840' % SERVER,
        "unquoted_with_a_space": "%s -s" % SERVER,
        "short_name": "%s -s" % SHORT,
        "upper_case": '"%s"' % SERVER.upper(),
        "root_relative_with_slashes": '"%s" x' % SERVER[2:].replace("\\", "/"),
        "empty": "",
        "blanks": " \t ",
        "lone_quote": '"',
        "backslashes_before_quotes": '"%s" a\\\\\\"b "c d\\\\" e\\\\\\\\"f g" \\\\' % SERVER,
        "system_root": "%SystemRoot%\\System32\\svchost.exe -k netsvcs",
        "outside_the_code_page": '"C:\\Program Files\\\x81\\qor.ua.matrix2.exe"',
    }


def write(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        if isinstance(data, str):
            data = data.encode("latin-1")
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
    write(os.path.join(root, "fuzz_extract"), extract_seeds())
    write(os.path.join(root, "fuzz_command_line"), command_line_seeds())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
