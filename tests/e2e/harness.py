"""Wine and Xvfb for the end-to-end tests and the tools that drive them.

One Session per run: a private Xvfb on the first free display from 120 up, a
throwaway WINEPREFIX under the build folder (booted once, shared by every test
of the run), and a record of every process started, so that each can be
ended by its own PID when the run is over. Every wait is bounded.
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from collections import namedtuple
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

import test_certificates  # noqa: E402

FIRST_DISPLAY = 120
LAST_DISPLAY = 199
SCREEN_GEOMETRY = "1280x1024x24"
DEFAULT_LOCALE = "en_US.UTF-8"
BOOT_TIMEOUT = 240
TOOL_TIMEOUT = 60
SERVER_START_TIMEOUT = 30
SERVER_START_RETRY = 1.0
POLL_INTERVAL = 0.25
TOOL_NAMES = ("ClickTarget.exe", "WinCtl.exe", "MinimalWindow.exe", "TrustRoot.exe")
# Where the programs' web hosts point unless a test says otherwise: a closed
# loopback port, so nothing leaves this machine, not even a name lookup.
CLOSED_LOOPBACK = "http://127.0.0.1:9"
HOST_VARIABLES = ("MIRVEX_WEB_HOST", "MIRVEX_LINK_HOST")
# No Mono or Gecko install prompt in a fresh prefix.
DLL_OVERRIDES = "mscoree,mshtml="
# The prefix's web browser: records the addresses it is asked to open.
RECORD_BROWSER = Path(__file__).resolve().parents[2] / "tools" / "record-browser.sh"
OPENED_URLS = "opened-urls.txt"
# WinCtl commands that only read: safe to run again.
READ_ONLY_WINCTL = ("list", "controls", "clock", "monitors")
# How often such a command is tried when Wine ended it before it could say
# anything (see Session.winctl).
WINCTL_TRIES = 3


class ToolFailed(subprocess.CalledProcessError):
    """A helper program's non-zero exit, with what it printed in the message
    (the plain CalledProcessError leaves out its error output)."""

    def __str__(self):
        output = (self.stderr or "").strip() or (self.stdout or "").strip() or "(no output)"
        return f"{super().__str__()}\n{output[-2000:]}"


class WaitTimeout(AssertionError):
    """A bounded wait ran out; raised as a test failure, never a hang."""


def wait_until(what, probe, timeout, interval=POLL_INTERVAL):
    """Calls probe until it returns something true and returns that value.

    Raises WaitTimeout naming `what` once `timeout` seconds have passed.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise WaitTimeout(f"gave up after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def windows_path(path):
    """The Wine path of a host path (drive Z: is the host's root)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def find_tools_dir(build_dir):
    """The first folder under the build tree that holds all helper programs:
    the full Windows build first, then the helpers' own build."""
    for candidate in (Path(build_dir) / "win" / "tools", Path(build_dir) / "win-tools" / "tools"):
        if all((candidate / name).is_file() for name in TOOL_NAMES):
            return candidate
    return None


class Monitor(namedtuple("Monitor", "name x y width height primary")):
    """One monitor of a Display: a rectangle of its X screen."""

    def setmonitor_args(self):
        # Physical size in millimetres: any plausible one (about 96 DPI).
        geometry = (f"{self.width}/{self.width * 254 // 960}x"
                    f"{self.height}/{self.height * 254 // 960}+{self.x}+{self.y}")
        if self.primary:
            return ["--setmonitor", "*" + self.name, geometry, "screen"]
        return ["--setmonitor", self.name, geometry, "none"]


# Three monitors of 1024 x 768: the primary, one to its left and one above
# it. The X screen's top-left quarter belongs to no monitor.
SEVERAL_MONITORS_GEOMETRY = "2048x1536x24"
SEVERAL_MONITORS = (
    Monitor("MAIN", 1024, 768, 1024, 768, True),
    Monitor("LEFT", 0, 768, 1024, 768, False),
    Monitor("TOP", 1024, 0, 1024, 768, False),
)


class Display:
    """A private Xvfb server, ended by its PID.

    With `monitors`, its one X screen is cut into RandR monitors, which Wine
    reads as separate monitors once it is told not to use XRandR (see
    Session). Windows places the primary monitor's top-left corner at 0,0,
    so a Windows screen point is the X root point minus `origin`.
    """

    def __init__(self, geometry=SCREEN_GEOMETRY, monitors=()):
        self.geometry = geometry
        self.monitors = tuple(monitors)
        primary = [m for m in self.monitors if m.primary]
        self.origin = (primary[0].x, primary[0].y) if primary else (0, 0)
        self.number = None
        self.process = None

    @staticmethod
    def _taken(n):
        return Path(f"/tmp/.X11-unix/X{n}").exists() or Path(f"/tmp/.X{n}-lock").exists()

    def start(self):
        for n in range(FIRST_DISPLAY, LAST_DISPLAY + 1):
            if self._taken(n):
                continue
            # -noreset: by default the server resets when its last client
            # leaves, which happens between tests when every Wine program
            # has ended; a program connecting at that moment loses its
            # connection half-way and Wine ends it with exit code 1.
            process = subprocess.Popen(
                ["Xvfb", f":{n}", "-screen", "0", self.geometry, "-nolisten", "tcp",
                 "-noreset"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_until(f"Xvfb :{n}",
                           lambda: process.poll() is not None
                           or Path(f"/tmp/.X11-unix/X{n}").exists(), 15, 0.05)
            except WaitTimeout:
                process.kill()
                process.wait()
                continue
            if process.poll() is None:
                self.number, self.process = n, process
                self._set_monitors()
                return f":{n}"
            # Another server took the number between the check and the start.
        raise RuntimeError("no free X display number")

    def _set_monitors(self):
        env = dict(os.environ, DISPLAY=f":{self.number}")
        for monitor in self.monitors:
            subprocess.run(["xrandr", *monitor.setmonitor_args()], env=env, check=True,
                           timeout=TOOL_TIMEOUT, stdout=subprocess.DEVNULL)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None


class Session:
    """Display, Wine prefix and processes for one run of tests or tools."""

    def __init__(self, build_dir, exe=None, tools_dir=None, name="e2e", display=None):
        self.build_dir = Path(build_dir).resolve()
        self.exe = Path(exe).resolve() if exe else self.build_dir / "dist" / "Mirvex.exe"
        self.tools_dir = Path(tools_dir) if tools_dir else find_tools_dir(self.build_dir)
        self.prefix = self.build_dir / f"wine-{name}"
        self.scratch = self.build_dir / f"{name}-tmp"
        self.display = display or Display()
        self.display_name = None
        self.processes = []
        self._certificates = None

    # --- life cycle ---------------------------------------------------------

    def start(self):
        self.display_name = self.display.start()
        # A fresh prefix per run: nothing a previous run left behind can leak
        # into this one.
        shutil.rmtree(self.prefix, ignore_errors=True)
        shutil.rmtree(self.scratch, ignore_errors=True)
        self.prefix.mkdir(parents=True)
        self.scratch.mkdir(parents=True)
        self.run(["wineboot", "-i"], timeout=BOOT_TIMEOUT, check=False)
        self.run(["wineserver", "-w"], timeout=BOOT_TIMEOUT, check=False)
        if not (self.prefix / "system.reg").is_file():
            raise RuntimeError(f"wineboot did not create the prefix {self.prefix}")
        self.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers",
                  "/t", "REG_SZ", "/d", str(RECORD_BROWSER), "/f"], timeout=BOOT_TIMEOUT)
        if self.display.monitors:
            # Wine reads the monitors as Xinerama heads only without XRandR;
            # the setting counts from the next start of the Wine server.
            self.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR",
                      "/t", "REG_SZ", "/d", "N", "/f"], timeout=BOOT_TIMEOUT)
            self.run(["wineserver", "-k"], check=False)
            self.run(["wineserver", "-w"], timeout=BOOT_TIMEOUT, check=False)
        # One server for the whole session. Debian's wrapper starts it with
        # -p0, so it ends the moment its last client does, and a program
        # started just then can meet a server on its way out and fail to
        # start. Starting the persistent one can meet the same exit, so it
        # gets a few tries.
        wait_until("a persistent Wine server",
                   lambda: self.run(["wineserver", "-p"], check=False).returncode == 0,
                   SERVER_START_TIMEOUT, SERVER_START_RETRY)
        return self

    def close(self):
        self.end_processes()
        if self.display_name:
            try:
                subprocess.run(["wineserver", "-k"], env=self.env(), timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass
        self.display.stop()

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.close()  # the display may already run
            raise

    def __exit__(self, *exc):
        self.close()

    def end_processes(self):
        """Ends every process this session started that still runs."""
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                try:
                    process.wait(15)
                except subprocess.TimeoutExpired:
                    pass
        self.processes = [p for p in self.processes if p.poll() is None]

    # --- processes ----------------------------------------------------------

    def env(self, locale=DEFAULT_LOCALE, hosts=None, dll_overrides=None):
        """The environment of a program started in this session; `hosts`
        maps MIRVEX_WEB_HOST / MIRVEX_LINK_HOST to a stand-in's address;
        `dll_overrides` adds Wine DLL overrides ("name,name=n,b")."""
        env = dict(os.environ)
        for name in HOST_VARIABLES:
            env.setdefault(name, CLOSED_LOOPBACK)
        env.update(hosts or {})
        overrides = ";".join(filter(None, [DLL_OVERRIDES, dll_overrides]))
        env.update(WINEPREFIX=str(self.prefix), WINEDEBUG="-all", WINEARCH="win64",
                   WINEDLLOVERRIDES=overrides, DISPLAY=self.display_name or "",
                   LC_ALL=locale, LANG=locale)
        return env

    def spawn(self, args, locale=DEFAULT_LOCALE, cwd=None, stdout=subprocess.DEVNULL,
              hosts=None, dll_overrides=None):
        process = subprocess.Popen(args, env=self.env(locale, hosts, dll_overrides), cwd=cwd,
                                   stdout=stdout, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def run(self, args, locale=DEFAULT_LOCALE, timeout=TOOL_TIMEOUT, check=True,
            dll_overrides=None):
        """Runs a program to its end and returns its CompletedProcess; on
        time-out it is killed (by PID).

        The output goes through a file, not a pipe: the first Wine program
        after a quiet spell starts wineserver and Wine's services, which
        inherit its output handles and would keep a pipe open long after
        the program itself has ended.
        """
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            process = subprocess.Popen(args, env=self.env(locale, dll_overrides=dll_overrides),
                                       stdout=out, stderr=err)
            try:
                code = process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
                raise
            out.seek(0)
            err.seek(0)
            text, errors = (f.read().decode("utf-8", errors="replace") for f in (out, err))
        if check and code != 0:
            raise ToolFailed(code, args, text, errors)
        return subprocess.CompletedProcess(args, code, text, errors)

    def tool(self, name):
        return str(self.tools_dir / name)

    def winctl(self, *args, check=True):
        """WinCtl's JSON lines as a list of dicts.

        A read that fails prints what failed. Exit code 1 with no output at
        all means Wine ended the process on its own (it does so when a thread
        cannot open its X connection); a command that only reads is then
        tried again, a bounded number of times."""
        command = ["wine", self.tool("WinCtl.exe"), *map(str, args)]
        tries = WINCTL_TRIES if args and args[0] in READ_ONLY_WINCTL else 1
        for _ in range(tries):
            result = self.run(command, check=False)
            died_silently = (result.returncode == 1 and not result.stdout.strip()
                             and not result.stderr.strip())
            if not died_silently:
                break
        if check and result.returncode != 0:
            raise ToolFailed(result.returncode, command, result.stdout, result.stderr)
        return [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]

    def xdotool(self, *args, timeout=20):
        return self.run(["xdotool", *map(str, args)], timeout=timeout).stdout

    # --- input --------------------------------------------------------------

    def pointer(self):
        """The X pointer's position in Windows screen coordinates."""
        fields = dict(f.split(":") for f in self.xdotool("getmouselocation").split())
        ox, oy = self.display.origin
        return int(fields["x"]) - ox, int(fields["y"]) - oy

    def move_pointer(self, x, y):
        """Moves the X pointer to a point in Windows screen coordinates."""
        # xdotool's --sync waits for the pointer to move, which it never does
        # when it is already there: it would sit out its own 15 s time-out.
        if self.pointer() != (x, y):
            ox, oy = self.display.origin
            self.xdotool("mousemove", "--sync", x + ox, y + oy)

    def key(self, name):
        self.xdotool("key", name)

    def click_at(self, point, button=1):
        """Moves the pointer to `point` and presses and releases `button`
        (1 left, 3 right) there."""
        self.move_pointer(*point)
        self.xdotool("click", button)

    def x_windows_named(self, title):
        """X windows whose whole name is `title`."""
        pattern = "^" + "".join("\\" + c if not c.isalnum() and c != " " else c
                                for c in title) + "$"
        result = self.run(["xdotool", "search", "--name", pattern], check=False)
        return [int(w) for w in result.stdout.split()]

    def focus(self, title, timeout=20):
        """Gives the X input focus to the Wine window named `title`.

        With no window manager, Wine matches a hotkey only while one of its
        windows has the X focus; nothing else gives it one.
        """
        window = wait_until(f"an X window named {title!r}",
                            lambda: self.x_windows_named(title), timeout)[0]
        self.xdotool("windowfocus", "--sync", window)
        return window

    # --- registry -----------------------------------------------------------

    def reg_query(self, key, name):
        """A REG_DWORD value as an int, or None when it is absent."""
        result = self.run(["wine", "reg", "query", key, "/v", name], check=False)
        for line in result.stdout.splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[0] == name and parts[1] == "REG_DWORD":
                return int(parts[2], 16)
        return None

    def reg_values(self, key):
        """Every value of a key as {name: text as `reg query` shows it (a
        REG_DWORD as 0x...)}; None when the key does not exist."""
        result = self.run(["wine", "reg", "query", key], check=False)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            match = re.match(r" {4}(.+?) {4}(REG_\w+) {4}(.*)$", line)
            if match:
                values[match[1]] = match[3]
        return values

    def reg_set_dword(self, key, name, value):
        self.run(["wine", "reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d", str(value),
                  "/f"])

    def reg_delete_key(self, key):
        self.run(["wine", "reg", "delete", key, "/f"], check=False)

    # --- files --------------------------------------------------------------

    def windows_variable(self, name):
        """An environment variable as Wine programs see it, e.g. LOCALAPPDATA."""
        value = self.run(["wine", "cmd", "/c", f"echo %{name}%"]).stdout.strip()
        if not value or value == f"%{name}%":
            raise RuntimeError(f"Wine has no %{name}%")
        return value

    def host_path(self, path):
        """The host path of a Wine path on drive C:, the prefix's drive_c."""
        drive, _, rest = path.partition(":\\")
        if drive.lower() != "c":
            raise ValueError(f"not a path on drive C:: {path}")
        return self.prefix.joinpath("drive_c", *[p for p in rest.split("\\") if p])

    def opened_urls(self):
        """Every address the prefix's browser was asked to open, in order."""
        path = self.prefix / OPENED_URLS
        return path.read_text(encoding="utf-8").splitlines() if path.exists() else []

    def certificates(self):
        """The stand-in's throwaway certificates ({name: (certificate file,
        key file)}, see tools/test_certificates.py); the first call adds the
        "trusted" one to this session's prefix, and to no other store."""
        if self._certificates is None:
            certificates = test_certificates.ensure(self.build_dir / "tls")
            self.run(test_certificates.trust_command(certificates["trusted"][0],
                                                     self.tool("TrustRoot.exe")))
            self._certificates = certificates
        return self._certificates

    def folder(self, name):
        """A new empty folder under the run's scratch folder."""
        path = self.scratch / name
        shutil.rmtree(path, ignore_errors=True)
        path.mkdir(parents=True)
        return path
