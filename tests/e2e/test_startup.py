"""Start-up: window language by locale, a single instance per session, and
the logo's link."""

from apps import WINDOW_TIMEOUT, main_windows, wait_exit
from e2ecase import E2ETestCase
from harness import CLOSED_LOOPBACK, wait_until

KOREAN_CAPTION = "미르벡스"
KOREAN_WAITING = "대기중입니다."

# locale, window caption, status panel text while waiting
LOCALE_CASES = [
    ("ko_KR.UTF-8", KOREAN_CAPTION, KOREAN_WAITING),
    ("kok_IN", KOREAN_CAPTION, KOREAN_WAITING),  # "kok" is cut to "ko"
    ("en_US.UTF-8", "Mirvex", "Waiting"),
    ("ja_JP.UTF-8", "Mirvex", "Waiting"),  # only Korean and English windows exist
    ("de_DE.UTF-8", "Mirvex", "Waiting"),
]

SIMULTANEOUS_STARTS = 10
LOGO_CLASS = "TImageHand"
PRODUCT_PAGE = CLOSED_LOOPBACK + "/mirvex"  # the run's link host, then the page's path
BROWSER_TIMEOUT = 30


class WindowLanguageTest(E2ETestCase):
    def test_caption_and_status_panel_follow_the_locale(self):
        for locale, caption, waiting in LOCALE_CASES:
            with self.subTest(locale=locale):
                self.reset()
                app = self.mirvex()
                window = app.start(locale)
                self.assertEqual(window["text"], caption)
                self.assertEqual(app.panel_text(), waiting)
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


class LogoLinkTest(E2ETestCase):
    def test_a_click_on_the_logo_opens_the_product_page(self):
        # Through the shell to the prefix's browser, which only records it.
        app = self.mirvex()
        app.start()
        (logo,) = app.controls_of_class(LOGO_CLASS)
        left, top, right, bottom = logo["rect"]
        earlier = len(self.session.opened_urls())  # the prefix keeps the whole run's
        self.session.move_pointer((left + right) // 2, (top + bottom) // 2)
        self.session.xdotool("click", "1")
        opened = wait_until("the product page to be opened",
                            lambda: self.session.opened_urls()[earlier:], BROWSER_TIMEOUT)
        self.assertEqual(opened, [PRODUCT_PAGE])
        self.assertEqual(app.close(), 0)
