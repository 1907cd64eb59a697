"""Reads the fields of a Windows shell link (.lnk) that a shortcut runs: its
target path, arguments and working folder (the binary format as Windows
documents it: a fixed header, optional item list and link info, then counted
strings)."""

import struct
from collections import namedtuple

ShellLink = namedtuple("ShellLink", "target arguments working_dir icon_location")

HEADER_SIZE = 0x4C
LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")
HAS_ID_LIST = 0x01
HAS_LINK_INFO = 0x02
# The optional strings, in the order they follow the link info.
STRING_FLAGS = (("name", 0x04), ("relative_path", 0x08), ("working_dir", 0x10),
                ("arguments", 0x20), ("icon_location", 0x40))
IS_UNICODE = 0x80
LINK_INFO_HAS_LOCAL_PATH = 0x01
LINK_INFO_UNICODE_HEADER = 0x24


def read_shell_link(data):
    if len(data) < HEADER_SIZE or struct.unpack_from("<I", data)[0] != HEADER_SIZE \
            or data[4:20] != LINK_CLSID:
        raise ValueError("not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = HEADER_SIZE
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = None
    if flags & HAS_LINK_INFO:
        target = _local_path(data, at)
        at += struct.unpack_from("<I", data, at)[0]
    strings = {}
    for name, flag in STRING_FLAGS:
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if flags & IS_UNICODE else 1
            raw = data[at + 2:at + 2 + count * width]
            # Wine counts the terminating NUL too; Windows does not.
            strings[name] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0")
            at += 2 + count * width
    return ShellLink(target, strings.get("arguments", ""), strings.get("working_dir"),
                     strings.get("icon_location"))


def _local_path(data, info):
    """The link info's local base path, the Unicode one when it has one."""
    header_size, info_flags = struct.unpack_from("<II", data, info + 4)
    if not info_flags & LINK_INFO_HAS_LOCAL_PATH:
        return None
    if header_size >= LINK_INFO_UNICODE_HEADER:
        offset = struct.unpack_from("<I", data, info + 0x1C)[0]
        end = offset
        while data[info + end:info + end + 2] != b"\0\0":
            end += 2
        return data[info + offset:info + end].decode("utf-16-le")
    offset = struct.unpack_from("<I", data, info + 0x10)[0]
    return data[info + offset:data.index(b"\0", info + offset)].decode("latin-1")
