"""The portable zip: the given programs and the Windows README.

Every file lies at the top of the zip under its own name. The README is
written with CR LF line ends, whatever the source file has, and as UTF-8
with a byte-order mark, so that every Notepad shows its Korean part.

The same inputs give the same bytes: the entries come in a fixed order (the
programs sorted by name, then the README), each carries the given time and
fixed permissions, whatever the files on disk have. The zip is written
beside its final name first and renamed at the end, so a failed run never
leaves a half-written zip.
"""

import os
import time
import zipfile
from pathlib import Path

README_NAME = "README.txt"
# The earliest time a zip entry can hold (MS-DOS dates start in 1980).
EARLIEST_ZIP_TIME = (1980, 1, 1, 0, 0, 0)
# rw-r--r--, as a Unix file mode in the upper half of the external attributes.
ENTRY_MODE = 0o100644 << 16
COMPRESS_LEVEL = 9


def windows_text(text):
    """The text with every line ended by CR LF."""
    return "\r\n".join(text.replace("\r\n", "\n").split("\n"))


def zip_time(epoch):
    """A zip entry's date and time for seconds since 1970, in UTC (a zip
    holds no time zone, and the bytes must not depend on the builder's)."""
    return max(EARLIEST_ZIP_TIME, tuple(time.gmtime(epoch)[:6]))


def _entry(name, epoch):
    info = zipfile.ZipInfo(name, date_time=zip_time(epoch))
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = ENTRY_MODE
    return info


def write_zip(out, readme, programs, epoch):
    out = Path(out)
    programs = sorted(programs, key=lambda p: Path(p).name)
    names = [Path(p).name for p in programs] + [README_NAME]
    if len(set(names)) != len(names):
        raise ValueError(f"two files would share a name in the zip: {names}")
    text = windows_text(Path(readme).read_text(encoding="utf-8-sig"))
    contents = [Path(p).read_bytes() for p in programs] + [text.encode("utf-8-sig")]
    partial = out.with_name(out.name + ".part")
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in zip(names, contents):
            archive.writestr(_entry(name, epoch), data, compresslevel=COMPRESS_LEVEL)
    os.replace(partial, out)
