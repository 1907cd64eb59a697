"""The global hotkeys: stored combinations, clicking with F3, recording with
F4 and walking the record list. Key presses come from xdotool while the click
target (another program) has the X focus, as they would from a user."""

import statistics
import time

from apps import SETTINGS_KEY, ClickTarget, hold_hotkey
from e2ecase import E2ETestCase

F3, F4 = 114, 115
CTRL_F5 = 0x4074  # Ctrl (0x4000) + VK_F5
F3_WITH_BIT_12 = 4210  # 0x1072: bit 12 is no modifier
MOD_CONTROL = 0x0002
VK_F5 = 0x74
HOTKEYF_CONTROL = 0x02
HOLD_SECONDS = 120

# The click target sits in the top-left corner, clear of the centred window.
TARGET_RECT = (20, 20, 320, 280)

DEFAULT_DELAY = "00:00:01.00"
DEFAULT_DELAY_MS = 1000
PLAIN_PRESSES = 4
# The target stamps each press as it handles it. A busy machine can hold one
# stamp back, so an interval may look a little shorter than the delay, never
# much shorter; and it can make steps late, but not twice as late on the
# median of several.
INTERVAL_SLACK_MS = 100
MEDIAN_INTERVAL_LIMIT_MS = 2 * DEFAULT_DELAY_MS
QUIET_SECONDS = 2.0  # after a stop nothing may click any more
SETTLE_SECONDS = 0.3  # lets a press already queued reach the target's log
SHORT_DELAY = "00:00:00.30"
WALK_PRESSES = 7  # more than two rounds of three rows
PRESS_TIMEOUT = 30


# stored hotkey_run (None: no settings at all), another program holds that
# combination, run/stop editor afterwards (HKM_GETHOTKEY), stored afterwards
STORED_RUN_CASES = [
    (None, False, F3, F3),  # first start: F3 and F4 registered and written
    (0, False, 0, 0),  # no hotkey: the editor stays empty
    (F3_WITH_BIT_12, False, F3, F3),  # the stray bit is dropped and written back
    (CTRL_F5, False, (HOTKEYF_CONTROL << 8) | VK_F5, CTRL_F5),
    (CTRL_F5, True, 0, CTRL_F5),  # kept for the next start
]


class StoredHotkeysTest(E2ETestCase):
    def test_stored_run_combination_at_start(self):
        for stored, taken, run_editor, stored_after in STORED_RUN_CASES:
            with self.subTest(stored=stored, taken=taken):
                self.reset()
                if stored is not None:
                    self.session.reg_set_dword(SETTINGS_KEY, "hotkey_run", stored)
                if taken:  # ended by the next reset
                    hold_hotkey(self.session, MOD_CONTROL, VK_F5, HOLD_SECONDS)
                app = self.mirvex()
                app.start()
                self.assertEqual(app.hotkey_editors(), [run_editor, F4])
                self.assertEqual(app.setting("hotkey_run"), stored_after)
                self.assertEqual(app.setting("hotkey_add"), F4)
                self.assertEqual(app.close(), 0)


class PlainClickingTest(E2ETestCase):
    def test_f3_clicks_at_the_cursor_once_a_second_until_f3_again(self):
        target = ClickTarget(self.session, self.folder, *TARGET_RECT)
        app = self.mirvex()
        app.start()
        point = target.point(150, 120)
        self.session.move_pointer(*point)
        target.focus()

        self.session.key("F3")
        target.wait_presses(PLAIN_PRESSES, PRESS_TIMEOUT)
        self.session.key("F3")
        app.wait_panel("Waiting")
        time.sleep(SETTLE_SECONDS)
        presses = target.presses()

        # The pace comes from the target's own time stamps, not from how
        # many presses fit into a stretch of this machine's time.
        intervals = [(b.us - a.us) / 1000 for a, b in zip(presses, presses[1:])]
        self.assertGreater(min(intervals), DEFAULT_DELAY_MS - INTERVAL_SLACK_MS, intervals)
        self.assertLess(statistics.median(intervals), MEDIAN_INTERVAL_LIMIT_MS, intervals)
        for press in presses:
            self.assertEqual((press.button, press.sx, press.sy, press.cx, press.cy),
                             ("left", *point, 150, 120))
        time.sleep(QUIET_SECONDS)
        self.assertEqual(target.presses(), presses, "clicks after the stop")


class RecordTest(E2ETestCase):
    def test_f4_appends_the_cursor_position_and_close_saves_the_rows(self):
        target = ClickTarget(self.session, self.folder, *TARGET_RECT)
        app = self.mirvex()
        app.start()
        target.focus()
        positions = [(60, 70), (1000, 900), (0, 0)]
        app.add_rows(positions)
        self.assertEqual(app.close(), 0)
        expected = "".join(f"{x}x{y},0,0,{DEFAULT_DELAY}\r\n" for x, y in positions)
        self.assertEqual(app.record_bytes(), expected.encode("ascii"))

    def test_record_mode_walks_the_rows_in_order_and_wraps(self):
        target = ClickTarget(self.session, self.folder, *TARGET_RECT)
        app = self.mirvex()
        buttons = ["left", "right", "middle"]
        rows = [(*target.point(40, 50), 0, 0, SHORT_DELAY),
                (*target.point(280, 60), 1, 0, SHORT_DELAY),
                (*target.point(160, 240), 2, 0, SHORT_DELAY)]
        app.write_records(rows)
        written = app.record_bytes()
        app.start()
        self.assertEqual(app.use_record(), 1)
        self.session.move_pointer(*target.point(300, 260))
        target.focus()

        self.session.key("F3")
        target.wait_presses(WALK_PRESSES, PRESS_TIMEOUT)
        self.session.key("F3")
        app.wait_panel("Waiting")
        presses = target.presses()

        self.assertGreaterEqual(len(presses), WALK_PRESSES)
        for i, press in enumerate(presses):
            x, y, button, _, _ = rows[i % len(rows)]
            self.assertEqual((press.sx, press.sy, press.button), (x, y, buttons[button]),
                             f"press {i}")
        # The rows go back to the file as they came.
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.record_bytes(), written)
