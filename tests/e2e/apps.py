"""The programs the end-to-end tests drive: Mirvex.exe and ClickTarget.exe,
seen from outside through WinCtl, xdotool, the registry and their files."""

import json
import select
import shutil
import subprocess
from collections import namedtuple
from pathlib import Path

from harness import DEFAULT_LOCALE, wait_until, windows_path

MAIN_CLASS = "TFrmMain"
DIALOG_CLASS = "#32770"  # message boxes
POPUP_MENU_CLASS = "#32768"
LOGO_CLASS = "TImageHand"
PANEL_CLASS = "TPanel"
HOTKEY_CLASS = "msctls_hotkey32"
LIST_CLASS = "SysListView32"
SETTINGS_KEY = r"HKCU\Software\Norvale\Mirvex"
RECORD_FILE = "Mirvex.lst"
MOUSE_GROUP = "Mouse settings"
USE_RECORD = "Use Record"
DELAY_EDITOR_INDEX = 2  # third input field inside the "Mouse settings" group

WINDOW_TIMEOUT = 90  # first start in a new prefix is slow on two cores
DIALOG_TIMEOUT = 30
EXIT_TIMEOUT = 60
CLICK_TARGET_TITLE = "Click Target"

Press = namedtuple("Press", "button cx cy sx sy us")


def main_windows(session):
    """Every top-level window of Mirvex's class, whatever process owns it."""
    return session.winctl("list", MAIN_CLASS)


def is_edit(control):
    return control["class"].lower() == "edit"


def inside(inner, outer):
    il, it, ir, ib = inner["rect"]
    ol, ot, orr, ob = outer["rect"]
    return ol <= il and ot <= it and ir <= orr and ib <= ob


class Mirvex:
    """One copy of Mirvex.exe in its own folder, so its record file is its own."""

    def __init__(self, session, folder):
        self.session = session
        self.folder = Path(folder)
        self.exe = self.folder / "Mirvex.exe"
        if not self.exe.exists():
            shutil.copy2(session.exe, self.exe)
        self.process = None
        self.window = None
        self._earlier = set()

    @property
    def record_path(self):
        return self.folder / RECORD_FILE

    # --- life cycle ---------------------------------------------------------

    def spawn(self, locale=DEFAULT_LOCALE, hosts=None, dll_overrides=None):
        """Starts a process of this copy without waiting for anything;
        `hosts` points MIRVEX_WEB_HOST / MIRVEX_LINK_HOST at stand-ins,
        `dll_overrides` adds Wine DLL overrides."""
        return self.session.spawn(["wine", str(self.exe)], locale=locale, cwd=self.folder,
                                  hosts=hosts, dll_overrides=dll_overrides)

    def start(self, locale=DEFAULT_LOCALE, hosts=None, dll_overrides=None):
        """Starts Mirvex and waits until a new main window is visible."""
        self.launch(locale, hosts, dll_overrides)
        return self.wait_window()

    def launch(self, locale=DEFAULT_LOCALE, hosts=None, dll_overrides=None):
        """Starts Mirvex without waiting for its window (which shows only
        once the creation sequence, and any dialog inside it, is over)."""
        self._earlier = {w["hwnd"] for w in main_windows(self.session)}
        self.process = self.spawn(locale, hosts, dll_overrides)
        return self.process

    def wait_window(self):
        self.window = wait_until("Mirvex's main window", lambda: self._new_window(self._earlier),
                                 WINDOW_TIMEOUT)
        return self.window

    def _new_window(self, earlier):
        if self.process.poll() is not None:
            raise AssertionError(f"Mirvex ended with exit code {self.process.returncode} "
                                 "before showing its window")
        new = [w for w in main_windows(self.session) if w["visible"] and w["hwnd"] not in earlier]
        return new[0] if len(new) == 1 else None

    def close(self):
        """WM_CLOSE to the main window; returns the exit code."""
        self.request_close()
        return wait_exit(self.process)

    def request_close(self):
        """WM_CLOSE to the main window, without waiting for anything."""
        self.session.winctl("close", self.window["hwnd"])

    def send(self, message, wparam=0, lparam=0):
        """A message to the main window; its result."""
        return self.session.winctl("send", self.window["hwnd"], message, wparam, lparam)[0]["result"]

    def is_running(self):
        return self.process.poll() is None

    # --- controls -----------------------------------------------------------

    def controls(self):
        return self.session.winctl("controls", self.window["hwnd"])

    def controls_of_class(self, class_name):
        return [c for c in self.controls() if c["class"].lower() == class_name.lower()]

    def panel_text(self):
        # The header panels carry no caption; the status panel always does.
        panels = [p for p in self.controls_of_class(PANEL_CLASS) if p["text"]]
        assert len(panels) == 1, f"expected one status panel with text, found {len(panels)}"
        return panels[0]["text"]

    def wait_panel(self, text, timeout=20):
        return wait_until(f"status panel {text!r}", lambda: self.panel_text() == text, timeout)

    def add_rows(self, positions):
        """F4 at each screen position in turn, while a Wine window has the
        focus; waits for each row."""
        start = self.list_rows()
        for count, position in enumerate(positions, start=start + 1):
            self.session.move_pointer(*position)
            self.session.key("F4")
            self.wait_list_rows(count)

    def list_rows(self):
        lists = self.controls_of_class(LIST_CLASS)
        assert len(lists) == 1, f"expected one record list, found {len(lists)}"
        return lists[0]["items"]

    def open_list_menu(self):
        """Right-clicks the record list; returns the popup menu window."""
        lists = self.controls_of_class(LIST_CLASS)
        assert len(lists) == 1, f"expected one record list, found {len(lists)}"
        self.session.click_at(centre(lists[0]), 3)
        return wait_until("the record list's popup menu",
                          lambda: visible_windows(self.session, POPUP_MENU_CLASS), DIALOG_TIMEOUT)[0]

    def click_logo(self):
        logos = self.controls_of_class(LOGO_CLASS)
        assert len(logos) == 1, f"expected one logo, found {len(logos)}"
        self.session.click_at(centre(logos[0]), 1)

    def wait_list_rows(self, count, timeout=20):
        return wait_until(f"{count} rows in the record list", lambda: self.list_rows() == count,
                          timeout)

    def hotkey_editors(self):
        """HKM_GETHOTKEY of the run/stop editor and the add-record editor."""
        editors = self.controls_of_class(HOTKEY_CLASS)
        assert len(editors) == 2, f"expected two hot key editors, found {len(editors)}"
        return [e["hotkey"] for e in editors]

    def delay_editor(self):
        """The third input field of the "Mouse settings" group, after the
        button and click-kind selectors (a selector's own edit field, if it
        has one, is part of the selector)."""
        controls = self.controls()
        groups = [c for c in controls if c["text"] == MOUSE_GROUP]
        assert groups, f"no {MOUSE_GROUP!r} group"
        selectors = {c["hwnd"] for c in controls if c["class"].lower() == "combobox"}
        inputs = [c for c in controls if c["class"].lower() in ("combobox", "edit")
                  and c["parent"] not in selectors and inside(c, groups[0])]
        assert len(inputs) > DELAY_EDITOR_INDEX, f"only {len(inputs)} input fields in the group"
        editor = inputs[DELAY_EDITOR_INDEX]
        assert is_edit(editor), f"the delay editor is a {editor['class']}"
        return editor

    def set_delay(self, digits):
        """Types eight digits (HHMMSSFF) over the delay editor; returns its text."""
        editor = self.delay_editor()
        return self.session.winctl("type", editor["hwnd"], digits)[0]["text"]

    def use_record(self):
        """Ticks "Use Record" by a click, as a user would; returns BM_GETCHECK."""
        boxes = [c for c in self.controls() if c["text"] == USE_RECORD and "check" in c]
        assert len(boxes) == 1, f"expected one {USE_RECORD!r} check box"
        if boxes[0]["check"] == 1:
            return 1
        return self.session.winctl("click", boxes[0]["hwnd"])[0]["check"]

    # --- settings and record file -------------------------------------------

    def setting(self, name):
        return self.session.reg_query(SETTINGS_KEY, name)

    def write_records(self, rows):
        """rows: (x, y, button, kind, delay text); ANSI, CR LF, as Mirvex writes."""
        text = "".join(f"{x}x{y},{b},{k},{d}\r\n" for x, y, b, k, d in rows)
        self.record_path.write_bytes(text.encode("ascii"))

    def record_bytes(self):
        return self.record_path.read_bytes() if self.record_path.exists() else None


def centre(window):
    left, top, right, bottom = window["rect"]
    return (left + right) // 2, (top + bottom) // 2


def visible_windows(session, class_name, title="-"):
    return [w for w in session.winctl("list", class_name, title) if w["visible"]]


class Dialog:
    """A message box on the screen: its caption, its text, its buttons."""

    def __init__(self, session, window):
        self.session = session
        self.window = window
        self.title = window["text"]
        controls = session.winctl("controls", window["hwnd"])
        self.text = "\n".join(c["text"] for c in controls
                              if c["class"].lower() == "static" and c["text"])
        self.buttons = {c["id"]: c for c in controls if c["class"].lower() == "button"}

    def answer(self, button_id):
        """Clicks the button of that id (IDOK 1, IDYES 6, IDNO 7)."""
        assert button_id in self.buttons, f"no button {button_id} in {self.buttons}"
        self.session.winctl("click", self.buttons[button_id]["hwnd"])
        wait_until(f"the dialog {self.title!r} to go",
                   lambda: self.window["hwnd"] not in
                   [w["hwnd"] for w in visible_windows(self.session, DIALOG_CLASS)],
                   DIALOG_TIMEOUT)


def wait_dialog(session, title, timeout=DIALOG_TIMEOUT):
    """The message box captioned `title`, once it shows."""
    window = wait_until(f"a dialog {title!r}",
                        lambda: visible_windows(session, DIALOG_CLASS, title), timeout)[0]
    return Dialog(session, window)


def popup_size(session, text, locale):
    """The size of a popup menu whose one item reads `text` (see WinCtl)."""
    result = session.run(["wine", session.tool("WinCtl.exe"), "popup-size", text], locale=locale)
    return json.loads(result.stdout.splitlines()[-1])["size"]


def hold(session, command, *args):
    """Another Wine process holds something (WinCtl's hold-hotkey,
    hold-window, hold-locked-mutex; the last argument is for how many
    seconds); returns that process once it holds it."""
    holder = session.spawn(["wine", session.tool("WinCtl.exe"), command, *map(str, args)],
                           stdout=subprocess.PIPE)
    ready, _, _ = select.select([holder.stdout], [], [], WINDOW_TIMEOUT)
    line = holder.stdout.readline() if ready else b""
    if not line.startswith(b"{") or not json.loads(line)["held"]:
        raise AssertionError(f"WinCtl could not {command} {args}: {line!r}")
    return holder


def hold_hotkey(session, modifiers, key, seconds):
    """Another Wine process registers the hotkey and keeps it for `seconds`."""
    return hold(session, "hold-hotkey", modifiers, key, seconds)


def wait_exit(process, timeout=EXIT_TIMEOUT):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired as error:
        raise AssertionError(f"process {process.pid} still runs after {timeout} s") from error


class ClickTarget:
    """ClickTarget.exe: a window at a fixed screen rectangle that logs presses."""

    def __init__(self, session, folder, x, y, width, height):
        self.session = session
        self.rect = (x, y, width, height)
        self.log = Path(folder) / "clicks.log"
        self.log.unlink(missing_ok=True)
        self.process = session.spawn([
            "wine", session.tool("ClickTarget.exe"), "--log", windows_path(self.log),
            "--x", str(x), "--y", str(y), "--width", str(width), "--height", str(height)])
        wait_until("ClickTarget's window", self._ready, WINDOW_TIMEOUT)

    def _ready(self):
        if self.process.poll() is not None:
            raise AssertionError(f"ClickTarget ended with exit code {self.process.returncode}")
        return any(line.startswith("ready\t") for line in self._lines())

    def _lines(self):
        if not self.log.exists():
            return []
        return self.log.read_text(encoding="ascii").splitlines()

    def presses(self):
        result = []
        for line in self._lines():
            fields = line.split("\t")
            if fields[0] in ("left", "right", "middle") and len(fields) == 6:
                result.append(Press(fields[0], *map(int, fields[1:])))
        return result

    def wait_presses(self, count, timeout):
        return wait_until(f"{count} presses on the click target",
                          lambda: len(self.presses()) >= count and self.presses(), timeout)

    def focus(self):
        """X focus to the target, so a hotkey press reaches Wine while another
        program than Mirvex is in front, as it would for a user."""
        return self.session.focus(CLICK_TARGET_TITLE)

    def point(self, dx, dy):
        """Screen coordinates of a point given relative to the target."""
        return self.rect[0] + dx, self.rect[1] + dy
