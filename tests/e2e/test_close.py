"""What becomes of the record list when the program ends: a close while
clicking runs, the end of the user's session, and a record file that cannot
be replaced."""

import os
import stat
import time

from apps import ClickTarget, main_windows, wait_dialog, wait_exit
from e2ecase import E2ETestCase
from harness import windows_path

WM_QUERYENDSESSION = 0x0011
WM_ENDSESSION = 0x0016
IDYES, IDNO = 6, 7

TARGET_RECT = (20, 20, 320, 280)  # clear of the centred window
PRESS_TIMEOUT = 30
QUIET_SECONDS = 2.0  # after the program ended nothing may click any more
OLD_RECORD_FILE = b"1x1,0,0,00:00:01.00\r\n"


def rows_text(positions):
    return "".join(f"{x}x{y},0,0,00:00:01.00\r\n" for x, y in positions).encode("ascii")


class CloseWhileClickingTest(E2ETestCase):
    def test_close_saves_the_list_and_ends_the_program(self):
        target = ClickTarget(self.session, self.folder, *TARGET_RECT)
        app = self.mirvex()
        app.start()
        target.focus()
        positions = [(700, 900), (40, 980)]
        app.add_rows(positions)
        self.session.move_pointer(*target.point(150, 120))
        self.session.key("F3")
        app.wait_panel("Running")
        target.wait_presses(1, PRESS_TIMEOUT)
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.record_bytes(), rows_text(positions))
        clicks = len(target.presses())
        time.sleep(QUIET_SECONDS)
        self.assertEqual(len(target.presses()), clicks, "clicks after the program ended")


class SessionEndTest(E2ETestCase):
    def test_session_end_saves_rows_added_with_f4(self):
        app = self.mirvex()
        app.start()
        self.session.focus("Mirvex")
        positions = [(300, 200), (5, 1000)]
        app.add_rows(positions)
        # Windows asks first (the answer is yes at once), then ends the
        # session and the process without closing the window.
        self.assertEqual(app.send(WM_QUERYENDSESSION), 1)
        app.send(WM_ENDSESSION, 1, 0)
        self.assertEqual(app.record_bytes(), rows_text(positions))
        self.assertTrue(app.is_running())
        self.session.end_processes()
        self.assertEqual(app.record_bytes(), rows_text(positions))


class ReadOnlyRecordFileTest(E2ETestCase):
    def test_failed_save_asks_and_no_keeps_the_window(self):
        app = self.mirvex()
        app.record_path.write_bytes(OLD_RECORD_FILE)
        os.chmod(app.record_path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        self.addCleanup(os.chmod, app.record_path, stat.S_IRUSR | stat.S_IWUSR)
        app.start()
        self.session.focus("Mirvex")
        app.add_rows([(10, 20)])

        app.request_close()
        report = wait_dialog(self.session, "Mirvex")
        self.assertIn(windows_path(app.record_path), report.text)
        self.assertTrue(report.text.endswith("Close without saving?"), report.text)
        report.answer(IDNO)
        # Still open: the next close asks again.
        self.assertTrue(app.is_running())
        self.assertEqual([w["hwnd"] for w in main_windows(self.session)], [app.window["hwnd"]])
        app.request_close()
        wait_dialog(self.session, "Mirvex").answer(IDYES)
        self.assertEqual(wait_exit(app.process), 0)
        self.assertEqual(app.record_bytes(), OLD_RECORD_FILE)
