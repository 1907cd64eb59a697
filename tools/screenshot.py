#!/usr/bin/env python3
"""PNG pictures of Mirvex's window, with its frame, under a Korean and an
English locale.

    python3 tools/screenshot.py --build build [--exe PATH] [--docs]

Writes BUILD/screenshots/mirvex-ko.png and mirvex-en.png; with --docs also
docs/screenshot-ko.png and docs/screenshot-en.png.

Without a window manager Wine draws no frames, so Mirvex runs inside
`wine explorer /desktop=...`, Wine's own desktop window, which draws frames
like Windows does. The picture is that desktop cropped to Mirvex's window
rectangle. Two things the frame needs are missing from a fresh prefix, and
the prefix made here gets them:

- Wine's own Tahoma and Marlett (Debian's fonts-wine): Wine does not pick
  them up from /usr/share/wine/fonts, so they are copied into the prefix's
  Fonts folder. Marlett draws the caption buttons.
- A font behind the Korean UI font names. Under a Korean locale the caption
  font "MS Shell Dlg" stands for Gulim, and Tahoma's Hangul comes from Gulim
  too; Gulim (and its Korean name) are made to stand for NanumGothic through
  Wine's font replacement table.
"""

import argparse
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from apps import MAIN_CLASS, RECORD_FILE, WINDOW_TIMEOUT  # noqa: E402
from harness import Session, find_tools_dir, wait_until  # noqa: E402

WINE_FONTS = Path("/usr/share/wine/fonts")
REPLACEMENTS_KEY = r"HKCU\Software\Wine\Fonts\Replacements"
KOREAN_FONT = "NanumGothic"
KOREAN_FONT_FILE = Path("/usr/share/fonts/truetype/nanum/NanumGothic.ttf")
REPLACED_NAMES = ("Gulim", "굴림")
DESKTOP_SIZE = "800x600"
STABLE_TIMEOUT = 20  # seconds for the picture to stop changing
STABLE_INTERVAL = 0.5
# A few rows, so the picture shows the record list in use.
SAMPLE_RECORDS = b"512x384,0,0,00:00:01.00\r\n640x200,1,1,00:00:00.50\r\n120x700,2,0,00:00:02.00\r\n"

LANGUAGES = (("ko", "ko_KR.UTF-8"), ("en", "en_US.UTF-8"))


def install_fonts(session):
    missing = [p for p in (WINE_FONTS / "tahoma.ttf", WINE_FONTS / "marlett.ttf",
                           KOREAN_FONT_FILE) if not p.is_file()]
    if missing:
        raise SystemExit("screenshot: missing fonts " + ", ".join(map(str, missing)) +
                         " (packages fonts-wine and fonts-nanum)")
    fonts = session.prefix / "drive_c" / "windows" / "Fonts"
    fonts.mkdir(parents=True, exist_ok=True)
    for font in WINE_FONTS.glob("*.ttf"):
        if not (fonts / font.name).exists():
            shutil.copy2(font, fonts / font.name)
    for name in REPLACED_NAMES:
        session.run(["wine", "reg", "add", REPLACEMENTS_KEY, "/v", name, "/t", "REG_SZ",
                     "/d", KOREAN_FONT, "/f"])
    # Font lists are read when a process starts: begin afresh.
    session.run(["wineserver", "-k"], check=False)


def capture(session, x_window, path):
    session.run(["import", "-window", str(x_window), f"png:{path}"])
    return path.read_bytes()


def capture_when_stable(session, x_window, path):
    """Captures until two pictures in a row are the same (painting done)."""
    last = [None]

    def stable():
        picture = capture(session, x_window, path)
        same = picture == last[0]
        last[0] = picture
        return same

    wait_until("the window to finish painting", stable, STABLE_TIMEOUT, STABLE_INTERVAL)


def shoot(session, lang, locale, out_dir):
    desktop = f"mirvex-{lang}"
    folder = session.folder(f"shot-{lang}")
    exe = folder / "Mirvex.exe"
    shutil.copy2(session.exe, exe)
    (folder / RECORD_FILE).write_bytes(SAMPLE_RECORDS)
    starter = session.spawn(["wine", "explorer", f"/desktop={desktop},{DESKTOP_SIZE}", str(exe)],
                            locale=locale, cwd=folder)

    def main_window():
        windows = session.winctl("--desktop", desktop, "list", MAIN_CLASS, check=False)
        return [w for w in windows if w.get("visible")]

    window = wait_until("Mirvex's window", main_window, WINDOW_TIMEOUT)[0]
    x_window = wait_until("the Wine desktop window",
                          lambda: session.x_windows_named(f"{desktop} - Wine desktop"),
                          WINDOW_TIMEOUT)[0]
    full = folder / "desktop.png"
    capture_when_stable(session, x_window, full)
    left, top, right, bottom = window["rect"]
    out = out_dir / f"mirvex-{lang}.png"
    session.run(["convert", str(full), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                 "+repage", str(out)])

    session.winctl("--desktop", desktop, "close", window["hwnd"], check=False)
    try:
        starter.wait(30)
    except subprocess.TimeoutExpired:
        starter.kill()
        starter.wait()
    session.run(["wineserver", "-k"], check=False)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the build folder")
    parser.add_argument("--exe", help="Mirvex.exe (default BUILD/dist/Mirvex.exe)")
    parser.add_argument("--docs", action="store_true",
                        help="also write docs/screenshot-ko.png and docs/screenshot-en.png")
    args = parser.parse_args()
    build = Path(args.build).resolve()
    if find_tools_dir(build) is None:
        raise SystemExit("screenshot: WinCtl.exe is not built")

    out_dir = build / "screenshots"
    out_dir.mkdir(parents=True, exist_ok=True)
    started = time.monotonic()
    with Session(build, exe=args.exe, name="shot") as session:
        if not session.exe.is_file():
            raise SystemExit(f"screenshot: {session.exe} is missing")
        install_fonts(session)
        pictures = {lang: shoot(session, lang, locale, out_dir) for lang, locale in LANGUAGES}
    for lang, picture in pictures.items():
        print(f"{picture}")
        if args.docs:
            docs = ROOT / "docs"
            docs.mkdir(exist_ok=True)
            shutil.copy2(picture, docs / f"screenshot-{lang}.png")
            print(f"{docs / f'screenshot-{lang}.png'}")
    print(f"screenshot: done in {time.monotonic() - started:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
