"""The update check seen from outside: as its window opens, Mirvex asks a
stand-in update service and offers the download that the answer names."""

import sys
import time
from pathlib import Path

from apps import wait_exit
from e2ecase import E2ETestCase
from harness import wait_until

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from update_service import UpdateService, offer, refused_over_https  # noqa: E402

LINK = "https://example.invalid/dl/new.exe"
PROMPT_CLASS = "#32770"  # the message box's window class
TITLE = "Mirvex v 1.3.2.0"  # the application title captions the prompt
JAPANESE_PROMPT = ("このプログラムがアップデートされました。\r\r"
                   "安定的に使用するために新しくダウンロード\u00b7実行することをお勧めします。\r\r"
                   "ダウンロードしますか。")
ENGLISH_FIRST_LINE = "This program has been updated."
IDYES, IDNO = 6, 7
PROMPT_TIMEOUT = 60
# After the request has arrived, how long an unsafe offer is given to show a
# prompt it must not show. Far longer than an offer takes to appear.
NO_PROMPT_GRACE = 5
# Attempts come 10 s apart: long enough for a second one to come.
SECOND_ATTEMPT_TIMEOUT = 90


class UpdateOfferTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.service = UpdateService().start()
        self.addCleanup(self.service.stop)
        self.earlier_urls = len(self.session.opened_urls())

    def opened_urls(self):
        """What the prefix's browser was asked to open during this test."""
        return self.session.opened_urls()[self.earlier_urls:]

    def start(self, link, locale="en_US.UTF-8"):
        self.service.script([offer(link)])
        app = self.mirvex()
        app.start(locale, hosts={"MIRVEX_WEB_HOST": self.service.url})
        return app

    def prompts(self):
        return self.session.winctl("list", PROMPT_CLASS, TITLE)

    def prompt(self):
        """The open prompt: its text and its buttons by id."""
        box = wait_until("the update prompt", self.prompts, PROMPT_TIMEOUT)[0]
        controls = self.session.winctl("controls", box["hwnd"])
        texts = [c["text"] for c in controls if c["class"].lower() == "static" and c["text"]]
        buttons = {c["id"]: c["hwnd"] for c in controls if c["class"].lower() == "button"}
        return texts, buttons

    def answer(self, buttons, button):
        self.session.winctl("click", buttons[button])
        wait_until("the prompt to close", lambda: not self.prompts(), PROMPT_TIMEOUT)

    def test_prompt_speaks_the_locale_language_blocks_nothing_and_no_keeps_mirvex(self):
        app = self.start(LINK, locale="ja_JP.UTF-8")
        self.assertEqual(app.window["text"], "Mirvex")  # the window itself is English
        texts, buttons = self.prompt()
        self.assertIn(JAPANESE_PROMPT, texts)
        self.assertEqual(sorted(buttons), [IDYES, IDNO])
        # The open question blocks nothing: F4 still adds a row.
        self.session.focus(app.window["text"])
        self.session.key("F4")
        app.wait_list_rows(1)
        self.answer(buttons, IDNO)
        self.assertIsNone(app.process.poll())
        self.assertEqual(app.panel_text(), "Waiting")
        self.assertEqual(self.opened_urls(), [])
        self.assertEqual(app.close(), 0)
        # One request, with the locale's language.
        requests = self.service.requests
        self.assertEqual(len(requests), 1)
        self.assertIn(["User-Language", "ja"], requests[0].headers)

    def test_yes_opens_the_link_and_closes_mirvex_saving_the_list(self):
        app = self.mirvex()
        # Lone LF line breaks load fine; only a save writes CR LF.
        app.record_path.write_bytes(b"10x20,1,0,00:00:01.00\n")
        app = self.start(LINK)
        texts, buttons = self.prompt()
        self.assertTrue(any(t.startswith(ENGLISH_FIRST_LINE) for t in texts), texts)
        self.answer(buttons, IDYES)
        self.assertEqual(wait_exit(app.process), 0)
        wait_until("the browser to be asked", self.opened_urls, PROMPT_TIMEOUT)
        self.assertEqual(self.opened_urls(), [LINK])
        self.assertEqual(app.record_bytes(), b"10x20,1,0,00:00:01.00\r\n")

    def test_closing_the_window_ends_the_open_question_and_the_program(self):
        app = self.start(LINK)
        self.prompt()
        app.request_close()
        # The question ends as No with the window, and nothing keeps the
        # process (and its single-instance mutex) alive.
        self.assertEqual(wait_exit(app.process), 0)
        self.assertEqual(self.prompts(), [])
        self.assertEqual(self.opened_urls(), [])
        # So a new start opens its window (the service now offers nothing).
        app.start(hosts={"MIRVEX_WEB_HOST": self.service.url})
        self.assertEqual(app.close(), 0)

    def test_offer_of_a_local_program_shows_nothing(self):
        app = self.start("C:\\Windows\\notepad.exe")
        wait_until("the update request", lambda: self.service.requests, PROMPT_TIMEOUT)
        time.sleep(NO_PROMPT_GRACE)
        self.assertEqual(self.prompts(), [])
        self.assertEqual(self.opened_urls(), [])
        self.assertIsNone(app.process.poll())
        self.assertEqual(app.close(), 0)

    def test_no_offer_over_an_untrusted_certificate_or_a_redirect_to_http(self):
        """Every attempt fails, so the check goes on asking, and the offer
        never reaches the user."""
        tls = self.https_stand_in()
        # What answers if a redirect to plain http were followed.
        self.service.script([], default=offer(LINK))
        for what, listener, step in refused_over_https(self.service.url, LINK):
            with self.subTest(what):
                self.reset()
                tls.script([], default=step)
                connections = tls.connections(listener)
                app = self.mirvex()
                app.start(hosts={"MIRVEX_WEB_HOST": tls.tls_url(listener)})
                wait_until("a second attempt",
                           lambda: tls.connections(listener) >= connections + 2,
                           SECOND_ATTEMPT_TIMEOUT)
                self.assertEqual(self.prompts(), [])
                self.assertEqual(self.service.requests, [], "the redirect was followed")
                self.assertEqual(self.opened_urls(), [])
                self.assertIsNone(app.process.poll())
                self.assertEqual(app.close(), 0)
