"""Start-up: window language by locale, a single instance per session, the
record file that cannot be read, the logo link, and the update check that a
readable start makes."""

import sys
import time
from pathlib import Path

from apps import (POPUP_MENU_CLASS, WINDOW_TIMEOUT, Mirvex, main_windows, popup_size,
                  visible_windows, wait_dialog, wait_exit)
from e2ecase import E2ETestCase
from harness import wait_until, windows_path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from update_service import UpdateService, offer  # noqa: E402

KOREAN_CAPTION = "미르벡스"
KOREAN_WAITING = "대기중입니다."
VERSION = "1.3.2.0"
# The popup item of the record list is not in the catalogue: the same text
# in every language.
DELETE_ITEM = "삭제"
ENGLISH_DELETE = "Delete"

# locale, window caption, status panel text while waiting
LOCALE_CASES = [
    ("ko_KR.UTF-8", KOREAN_CAPTION, KOREAN_WAITING),
    ("kok_IN", KOREAN_CAPTION, KOREAN_WAITING),  # "kok" is cut to "ko"
    ("en_US.UTF-8", "Mirvex", "Waiting"),
    ("ja_JP.UTF-8", "Mirvex", "Waiting"),  # only Korean and English windows exist
    ("de_DE.UTF-8", "Mirvex", "Waiting"),
]

SIMULTANEOUS_STARTS = 10

IDOK, IDNO = 1, 7
BAD_RECORD_FILE = b"1x1,0,0,00:00:01.00\r\n2x2,x,0,00:00:01.00\r\n"
# How long a start that must not ask for updates is watched: a readable
# start's first request comes at once (see UpdateCheckAtStartTest).
NO_REQUEST_SECONDS = 5.0
UPDATE_TIMEOUT = 60
LINK_HOST = "http://127.0.0.1:45678"  # never contacted: the prefix's browser only records
PRODUCT_PAGE = LINK_HOST + "/mirvex"


class WindowLanguageTest(E2ETestCase):
    def test_caption_status_panel_and_popup_follow_the_locale(self):
        for locale, caption, waiting in LOCALE_CASES:
            with self.subTest(locale=locale):
                self.reset()
                app = self.mirvex()
                window = app.start(locale)
                self.assertEqual(window["text"], caption)
                self.assertEqual(app.panel_text(), waiting)
                # Wine cannot read another process's menu: its size shows
                # which of the two texts the item holds.
                menu = app.open_list_menu()
                left, top, right, bottom = menu["rect"]
                self.session.key("Escape")
                wait_until("the popup menu to close",
                           lambda: not visible_windows(self.session, POPUP_MENU_CLASS), 20)
                expected = popup_size(self.session, DELETE_ITEM, locale)
                self.assertNotEqual(expected, popup_size(self.session, ENGLISH_DELETE, locale))
                self.assertEqual([right - left, bottom - top], expected)
                self.assertEqual(app.close(), 0)


class SingleInstanceTest(E2ETestCase):
    def test_second_start_ends_at_once_and_leaves_the_first_window(self):
        first = self.mirvex()
        window = first.start()
        second = first.spawn()
        self.assertEqual(wait_exit(second), 0)
        windows = main_windows(self.session)
        self.assertEqual([w["hwnd"] for w in windows], [window["hwnd"]])
        # The first instance still answers and still waits.
        self.assertEqual(first.panel_text(), "Waiting")
        self.assertEqual(first.close(), 0)

    def test_simultaneous_starts_leave_exactly_one_window(self):
        app = self.mirvex()
        processes = [app.spawn() for _ in range(SIMULTANEOUS_STARTS)]

        def settled():
            # Done when at most one process is left, or as soon as a second
            # window shows that more than one got through.
            running = sum(p.poll() is None for p in processes)
            return running <= 1 or len(main_windows(self.session)) > 1

        wait_until("the starts to settle", settled, WINDOW_TIMEOUT * 2)
        windows = wait_until("a main window", lambda: main_windows(self.session), WINDOW_TIMEOUT)
        self.assertEqual(len(windows), 1, f"{len(windows)} main windows")
        running = [p for p in processes if p.poll() is None]
        self.assertEqual(len(running), 1)
        app.process, app.window = running[0], windows[0]
        self.assertEqual(app.close(), 0)
        self.assertEqual([p.returncode for p in processes], [0] * SIMULTANEOUS_STARTS)


class UnreadableRecordFileTest(E2ETestCase):
    def test_error_then_window_no_update_request_and_the_file_kept(self):
        app = self.mirvex()
        app.record_path.write_bytes(BAD_RECORD_FILE)
        record_file = windows_path(app.record_path)
        with UpdateService() as service:
            app.launch(hosts={"MIRVEX_WEB_HOST": service.url})
            # The error comes while the window is created, before it shows.
            error = wait_dialog(self.session, "Mirvex", WINDOW_TIMEOUT)
            self.assertIn(record_file, error.text)
            self.assertIn("line 2", error.text)
            self.assertFalse(any(w["visible"] for w in main_windows(self.session)))
            error.answer(IDOK)
            app.wait_window()
            self.session.focus("Mirvex")
            app.add_rows([(100, 100)])
            time.sleep(NO_REQUEST_SECONDS)
            self.assertEqual(service.requests, [])
        # The close leaves the file alone and says once that the row is lost.
        app.request_close()
        lost = wait_dialog(self.session, "Mirvex")
        self.assertIn(record_file, lost.text)
        lost.answer(IDOK)
        self.assertEqual(wait_exit(app.process), 0)
        self.assertEqual(app.record_bytes(), BAD_RECORD_FILE)


class UpdateCheckAtStartTest(E2ETestCase):
    """Needs the update check at the end of the window's creation: a
    readable start asks the service, and an offer is shown under the
    application title."""

    def test_readable_start_asks_for_updates_under_the_application_title(self):
        # locale, prompt caption, a folder path over 260 characters
        cases = [("en_US.UTF-8", f"Mirvex v {VERSION}", False),
                 ("ko_KR.UTF-8", f"{KOREAN_CAPTION} v {VERSION}", False),
                 ("en_US.UTF-8", f"Mirvex v {VERSION}", True)]
        for locale, title, deep in cases:
            with self.subTest(locale=locale, deep=deep), UpdateService() as service:
                self.reset()
                service.script([offer("https://download.mirvex.example/Mirvex-new.exe")])
                folder = self.folder
                if deep:
                    folder = self.session.folder("deep").joinpath(*[c * 100 for c in "abc"])
                    folder.mkdir(parents=True)
                app = Mirvex(self.session, folder)
                app.write_records([(1, 1, 0, 0, "00:00:01.00")])
                app.start(locale, hosts={"MIRVEX_WEB_HOST": service.url})
                prompt = wait_dialog(self.session, title, UPDATE_TIMEOUT)
                self.assertEqual(
                    [(r.path, dict(r.headers)["User-Version"]) for r in service.requests],
                    [("/api.init.php", VERSION)])
                prompt.answer(IDNO)
                self.assertTrue(app.is_running())
                self.assertEqual(app.close(), 0)


class LogoTest(E2ETestCase):
    def test_logo_opens_the_product_page(self):
        app = self.mirvex()
        app.start(hosts={"MIRVEX_LINK_HOST": LINK_HOST})
        earlier = len(self.session.opened_urls())
        app.click_logo()
        opened = wait_until("the product page to be opened",
                            lambda: self.session.opened_urls()[earlier:], 30)
        self.assertEqual(opened, [PRODUCT_PAGE])
        self.assertEqual(app.close(), 0)
