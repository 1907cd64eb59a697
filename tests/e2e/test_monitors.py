"""Several monitors: the primary, one to its left and one above it, so that
points left of and above the primary have negative coordinates, and the
corner between the two others lies on no monitor at all.

The class runs in a session of its own, on a display cut into monitors (see
harness.SEVERAL_MONITORS); every point below is in Windows screen
coordinates."""

import time
import unittest

from apps import ClickTarget
from e2ecase import E2ETestCase
from harness import SEVERAL_MONITORS, SEVERAL_MONITORS_GEOMETRY, Display, Session, wait_until

DEFAULT_DELAY = "00:00:01.00"
SHORT_DELAY = "00:00:00.30"
TARGET_SIZE = (300, 260)
# Click targets on the left monitor, on the upper one, and in the corner
# that belongs to no monitor (X still puts a window there).
LEFT_TARGET = (-900, 100)
UPPER_TARGET = (100, -700)
NOWHERE_TARGET = (-900, -700)
ROUNDS = 3  # each clickable row at least this often
PRESS_TIMEOUT = 60
SETTLE_SECONDS = 0.5


class SeveralMonitorsTest(E2ETestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        shared = cls.session
        display = Display(SEVERAL_MONITORS_GEOMETRY, SEVERAL_MONITORS)
        cls.session = Session(shared.build_dir, exe=shared.exe, tools_dir=shared.tools_dir,
                              name="e2e-monitors", display=display)
        try:
            cls.session.start()
            cls.monitors = cls.session.winctl("monitors")
        except BaseException:
            cls.session.close()
            raise
        places = {tuple(m["rect"]) for m in cls.monitors}
        if len(cls.monitors) != len(SEVERAL_MONITORS) or len(places) == 1:
            cls.session.close()
            raise unittest.SkipTest(
                "this Win32 implementation does not lay the monitors side by side: "
                f"{[m['rect'] for m in cls.monitors]}")

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def target(self, name, corner):
        return ClickTarget(self.session, self.session.folder(f"{self.folder.name}-{name}"),
                           *corner, *TARGET_SIZE)

    def test_window_opens_wholly_inside_the_primary_monitor(self):
        app = self.mirvex()
        app.start()
        primary = [m["rect"] for m in self.monitors if m["primary"]]
        self.assertEqual(primary, [[0, 0, 1024, 768]])
        left, top, right, bottom = app.window["rect"]
        self.assertTrue(0 <= left < right <= 1024 and 0 <= top < bottom <= 768,
                        app.window["rect"])
        self.assertEqual(app.close(), 0)

    def test_rows_left_of_and_above_the_primary_are_kept_and_clicked(self):
        left = self.target("left", LEFT_TARGET)
        upper = self.target("upper", UPPER_TARGET)
        nowhere = self.target("nowhere", NOWHERE_TARGET)
        left_point, upper_point, nowhere_point = (
            left.point(150, 130), upper.point(40, 200), nowhere.point(150, 130))

        # F4 over the left and the upper monitor: the rows and the file keep
        # the minus signs.
        app = self.mirvex()
        app.start()
        left.focus()
        app.add_rows([left_point, upper_point])
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.record_bytes(),
                         f"{left_point[0]}x{left_point[1]},0,0,{DEFAULT_DELAY}\r\n"
                         f"{upper_point[0]}x{upper_point[1]},0,0,{DEFAULT_DELAY}\r\n"
                         .encode("ascii"))

        # Record mode clicks them on the exact pixel; a row between them on
        # no monitor is skipped, and the walk goes on past it.
        app.write_records([(*left_point, 0, 0, SHORT_DELAY), (*nowhere_point, 0, 0, SHORT_DELAY),
                           (*upper_point, 0, 0, SHORT_DELAY)])
        app.start()
        self.assertEqual(app.use_record(), 1)
        self.session.move_pointer(512, 600)
        left.focus()
        self.session.key("F3")
        wait_until(f"{ROUNDS} presses on each monitor's target",
                   lambda: len(left.presses()) >= ROUNDS and len(upper.presses()) >= ROUNDS,
                   PRESS_TIMEOUT)
        self.session.key("F3")
        app.wait_panel("Waiting")
        time.sleep(SETTLE_SECONDS)

        self.assertEqual(nowhere.presses(), [])
        walk = sorted([(p.us, "left", p) for p in left.presses()]
                      + [(p.us, "upper", p) for p in upper.presses()])
        expected = {"left": left_point, "upper": upper_point}
        for i, (_, name, press) in enumerate(walk):
            self.assertEqual(name, ("left", "upper")[i % 2], f"press {i}")
            self.assertEqual((press.button, press.sx, press.sy), ("left", *expected[name]),
                             f"press {i}")
        self.assertEqual(app.close(), 0)

