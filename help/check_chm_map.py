#!/usr/bin/python3
"""Checks a compiled help file's context-id map with chmlib, independently of the writer:
every id given on the command line must be in the map (#IVB) and name, through #STRINGS,
a topic that exists in the archive.

    check_chm_map.py Tarvo.chm 131174 131210 131227
"""
import struct
import sys

from chm import chmlib


def read(archive, path):
    status, unit = chmlib.chm_resolve_object(archive, path.encode())
    if status != chmlib.CHM_RESOLVE_SUCCESS:
        return None
    size, data = chmlib.chm_retrieve_object(archive, unit, 0, unit.length)
    return data[:size]


def main():
    archive = chmlib.chm_open(sys.argv[1])
    if not archive:
        sys.exit(f"{sys.argv[1]}: not a help file")
    ivb, strings = read(archive, "/#IVB"), read(archive, "/#STRINGS")
    if ivb is None or strings is None:
        sys.exit("the help file has no context map")
    # #IVB: the byte length of what follows, then pairs of (context id, offset in #STRINGS).
    (length,) = struct.unpack_from("<I", ivb)
    topics = {}
    for at in range(4, 4 + length, 8):
        context, offset = struct.unpack_from("<II", ivb, at)
        topics[context] = strings[offset:strings.index(b"\0", offset)].decode("latin-1")
    failures = 0
    for context in map(int, sys.argv[2:]):
        topic = topics.get(context)
        if topic is None:
            print(f"{context}: not in the map")
        elif read(archive, "/" + topic.lstrip("/")) is None:
            print(f"{context}: names {topic!r}, which is not in the archive")
        else:
            print(f"{context}: {topic}")
            continue
        failures += 1
    chmlib.chm_close(archive)
    sys.exit(1 if failures else 0)


main()
