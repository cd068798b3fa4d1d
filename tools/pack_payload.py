#!/usr/bin/env python3
"""Compresses one payload file into the zlib stream the installer carries as a resource.

The stream is made at the fastest level (header bytes 0x78 0x01) with nothing after its Adler-32, and is
inflated again before it is written: a stream that would not give back the very same bytes never reaches a
build.

    pack_payload.py INPUT OUTPUT
"""

import os
import sys
import zlib


def pack(data):
    compressor = zlib.compressobj(level=1, method=zlib.DEFLATED, wbits=15)
    return compressor.compress(data) + compressor.flush()


def check(stream, data):
    """The reason the stream is unfit, or None."""
    if stream[:2] != b"\x78\x01":
        return "header is %s, not 78 01" % stream[:2].hex(" ")
    inflater = zlib.decompressobj(wbits=15)
    inflated = inflater.decompress(stream)
    if not inflater.eof:
        return "stream does not end"
    if inflater.unused_data:
        return "%d bytes follow the checksum" % len(inflater.unused_data)
    if inflated != data:
        return "stream does not inflate to the input"
    return None


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    source, target = argv[1], argv[2]
    with open(source, "rb") as f:
        data = f.read()
    stream = pack(data)
    problem = check(stream, data)
    if problem:
        sys.stderr.write("pack_payload: %s: %s\n" % (source, problem))
        return 1
    # Written under another name first, so that an interrupted build never leaves half a stream behind.
    partial = target + ".partial"
    with open(partial, "wb") as f:
        f.write(stream)
    os.replace(partial, target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
