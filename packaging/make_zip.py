#!/usr/bin/env python3
"""Builds the portable zip: the given programs and the Windows README.

    make_zip.py --out Mirvex-1.2.3.4.zip --readme README.txt Mirvex.exe MirvexService.exe

Every file lies at the top of the zip under its own name. The README is
written with CR LF line ends, whatever the source file has, and as UTF-8
with a byte-order mark, so that every Notepad shows its Korean part. The zip
is written beside its final name first and renamed at the end, so a failed
run never leaves a half-written zip.
"""

import argparse
import os
import sys
import zipfile
from pathlib import Path

README_NAME = "README.txt"


def windows_text(text):
    """The text with every line ended by CR LF."""
    return "\r\n".join(text.replace("\r\n", "\n").split("\n"))


def write_zip(out, readme, programs):
    out = Path(out)
    names = [Path(p).name for p in programs] + [README_NAME]
    if len(set(names)) != len(names):
        raise ValueError(f"two files would share a name in the zip: {names}")
    partial = out.with_name(out.name + ".part")
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for program in programs:
            archive.write(program, Path(program).name)
        text = Path(readme).read_text(encoding="utf-8-sig")
        info = zipfile.ZipInfo(README_NAME, date_time=zipfile.ZipInfo.from_file(readme).date_time)
        info.compress_type = zipfile.ZIP_DEFLATED
        archive.writestr(info, windows_text(text).encode("utf-8-sig"))
    os.replace(partial, out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="the zip to write")
    parser.add_argument("--readme", required=True, help="the README text (UTF-8)")
    parser.add_argument("programs", nargs="+", help="files placed beside the README")
    args = parser.parse_args()
    write_zip(args.out, args.readme, args.programs)
    return 0


if __name__ == "__main__":
    sys.exit(main())
