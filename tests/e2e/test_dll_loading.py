"""DLL loading: a DLL planted beside the programs under the name of one they
load after start (version, winhttp, wininet, winmm) is never loaded, and both
programs still do their work with the system's own copy.

Wine loads its own builtin copy of such a DLL whatever lies beside the
program, unless told to prefer a native one ("name=n,b"): then it searches
the program's folder first, as Windows does for every DLL that is not a
KnownDLL. The planted stand-ins (tools/PlantedDll.cpp) leave a marker file
beside them when they load.

Wine's own user32 imports version.dll, so under Wine every program that
imports user32 loads a version.dll planted beside it before its entry point
runs, and then uses that one (on Windows user32 is a KnownDLL, and what it
imports comes from the system folder). The test measures this floor with a
program that imports only Windows' own DLLs and calls nothing else, and holds
both programs to it; the build's import check is what keeps version.dll out
of their own static imports."""

import shutil
import sys
from pathlib import Path

from apps import ClickTarget, Mirvex, wait_exit
from e2ecase import E2ETestCase
from harness import wait_until, windows_path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))

from update_service import UpdateService  # noqa: E402

STATIC_IMPORTS = ROOT / "cmake" / "StaticImports.txt"
DELAY_LOAD_DEFS = ROOT / "cmake" / "delayload"
MARKER_SUFFIX = ".loaded"
LAUNCHER = "MirvexService.exe"
TARGET_RECT = (20, 20, 320, 280)
REQUEST_TIMEOUT = 60
PRESS_TIMEOUT = 30


def planted_names():
    """The delay-loaded DLLs that may not be imported statically: the build
    makes a stand-in for each."""
    static = {line.strip() for line in STATIC_IMPORTS.read_text().splitlines()
              if line[:1].isalpha()}
    return sorted(p.stem for p in DELAY_LOAD_DEFS.glob("*.def") if p.stem not in static)


class PlantedDllTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.names = planted_names()
        self.overrides = ",".join(self.names) + "=n,b"

    def plant(self, folder):
        folder.mkdir(exist_ok=True)
        for name in self.names:
            shutil.copy2(self.session.tools_dir / "planted" / f"{name}.dll", folder)
        return folder

    @staticmethod
    def markers(folder):
        return {p.name for p in folder.glob("*" + MARKER_SUFFIX)}

    def test_a_planted_dll_leaves_its_marker_when_it_loads(self):
        # Without this the test below could pass with stand-ins that never
        # leave a marker.
        folder = self.plant(self.folder)
        for name in self.names:
            self.session.run(["wine", "rundll32", windows_path(folder / f"{name}.dll") + ",Probe"],
                             dll_overrides=self.overrides)
        self.assertEqual(self.markers(folder), {f"{n}.dll{MARKER_SUFFIX}" for n in self.names})

    def test_programs_load_no_planted_dll_and_still_work(self):
        control = self.plant(self.folder / "floor")
        shutil.copy2(self.session.tool("WinCtl.exe"), control)
        self.session.run(["wine", str(control / "WinCtl.exe"), "clock"],
                         dll_overrides=self.overrides)
        floor = self.markers(control)

        service = UpdateService().start()
        self.addCleanup(service.stop)
        hosts = {"MIRVEX_WEB_HOST": service.url}
        folder = self.plant(self.folder / "programs")
        app = Mirvex(self.session, folder)
        shutil.copy2(self.session.exe.parent / LAUNCHER, folder)
        launcher = self.session.spawn(["wine", str(folder / LAUNCHER)], cwd=folder, hosts=hosts,
                                      dll_overrides=self.overrides)
        self.assertEqual(wait_exit(launcher), 0)
        self.assertEqual(self.markers(folder) - floor, set(), "the launcher's pass")
        self.assertEqual(len(service.requests), 1)

        target = ClickTarget(self.session, self.folder, *TARGET_RECT)
        app.start(hosts=hosts, dll_overrides=self.overrides)
        # A planted winhttp.dll would fail the request: it is enough to see it load.
        wait_until("Mirvex's update request",
                   lambda: len(service.requests) == 2 or self.markers(folder) - floor,
                   REQUEST_TIMEOUT)
        self.assertEqual(self.markers(folder) - floor, set(), "Mirvex's update check")
        self.assertEqual(len(service.requests), 2)
        # Clicking asks winmm for the timer resolution.
        self.session.move_pointer(*target.point(150, 120))
        target.focus()
        self.session.key("F3")
        target.wait_presses(1, PRESS_TIMEOUT)
        self.session.key("F3")
        app.wait_panel("Waiting")
        self.assertEqual(app.close(), 0)
        self.assertEqual(self.markers(folder) - floor, set(), "Mirvex's clicking")
