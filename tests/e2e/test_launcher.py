"""MirvexService.exe, the launcher: its one pass against the stand-in update
service, its message boxes answered as a user would, the main program it
starts and the pages it opens."""

import shutil
import sys
from pathlib import Path

from apps import EXIT_TIMEOUT, WINDOW_TIMEOUT, main_windows, visible_windows, wait_exit
from e2ecase import E2ETestCase
from harness import wait_until, windows_path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from update_service import UpdateService, answer, offer, refused_over_https  # noqa: E402

LAUNCHER = "MirvexService.exe"
MAIN_PROGRAM = "Mirvex.exe"
MAIN_VERSION = "1.3.2.0"
LAUNCHER_AGENT = ("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 "
                  "(KHTML, like Gecko) Chrome/115.0.0.0 Safari/537.36")
SERVICE_PATH = "/api.init.php"
# The program's own headers; the client adds its standard ones (User-Agent).
PROGRAM_HEADERS = [["User-Version", MAIN_VERSION], ["User-Debug", "false"]]

BOX_CLASS = "#32770"
BOX_TEXT_ID = 0xFFFF
IDOK, IDYES, IDNO = 1, 6, 7
READ_SIZE = 1025
LARGEST_ANSWER = 1024 * 1024

LINK = "https://dl.mirvex.example/new.exe"
# Not a web address: the shell would start it.
LOCAL_PROGRAM = "C:\\Windows\\notepad.exe"
# Escaped as a service writes it; the launcher decodes \/.
ESCAPED_LINK = LINK.replace("/", "\\/")

PROMPT = {
    "en_US.UTF-8": "This program has been updated.\r\r"
                   "It is recommended to download and execute new for stable use.\r\r"
                   "Do you want to download it?",
    "de_DE.UTF-8": "Dieses Programm ist aktualisiert worden.\r\r"
                   "Es wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu "
                   "verwenden.\r\r"
                   "Möchten Sie es herunterladen?",
}
REINSTALL = {
    "de_DE.UTF-8": "Die Anwendungskonfigurationsdatei ist ungültig.\r\r"
                   "Bitte neu installieren und ausführen.",
    "ko_KR.UTF-8": "응용 프로그램 구성 파일이 잘못되었습니다.\r\r다시 설치 후 실행해 주십시오.",
}
CAPTION = {"en_US.UTF-8": "Mirvex", "de_DE.UTF-8": "Mirvex", "ko_KR.UTF-8": "미르벡스"}


def straddling_offer():
    """A 2,000-byte answer whose marker and link cross the end of the first
    1025-byte read."""
    body = '{"update":"%s"}' % ESCAPED_LINK
    start = READ_SIZE - 6
    return answer(" " * start + body, pad_to=2000)


def oversized_offer():
    """An offer at the front of an answer one byte past the launcher's limit."""
    return answer('{"update":"%s"}' % ESCAPED_LINK, pad_to=LARGEST_ANSWER + 1)


def header_values(request, name):
    return [value for key, value in request.headers if key.lower() == name.lower()]


class LauncherTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.service = UpdateService().start()
        self.addCleanup(self.service.stop)
        self.folders = []
        self.addCleanup(self.close_main_program)

    # --- the launcher and what it starts ------------------------------------

    def install(self, main_program=True):
        """A fresh folder with the launcher, and Mirvex.exe beside it unless
        `main_program` is False; returns the folder."""
        folder = self.folder / f"case{len(self.folders) + 1}"
        folder.mkdir()
        self.folders.append(folder)
        shutil.copy2(self.session.exe.parent / LAUNCHER, folder)
        if main_program:
            shutil.copy2(self.session.exe, folder / MAIN_PROGRAM)
        return folder

    def launch(self, folder, *args, locale="en_US.UTF-8", host=None):
        return self.session.spawn(["wine", str(folder / LAUNCHER), *args], locale=locale,
                                  cwd=folder, hosts={"MIRVEX_WEB_HOST": host or self.service.url})

    def boxes(self):
        return [w for w in self.session.winctl("list", BOX_CLASS) if w["visible"]]

    def wait_box_or_exit(self, process):
        """("box", the one message box) once one shows, or ("exit", code)."""
        def probe():
            boxes = self.boxes()
            if boxes:
                self.assertEqual(len(boxes), 1, f"{len(boxes)} message boxes")
                return "box", boxes[0]
            if process.poll() is not None:
                return "exit", process.returncode
            return None

        return wait_until("a message box or the launcher's end", probe, WINDOW_TIMEOUT)

    def wait_box(self, process):
        kind, value = self.wait_box_or_exit(process)
        self.assertEqual(kind, "box", f"the launcher ended with {value} without a message box")
        return value

    def read_box(self, box):
        """Caption, text and the ids of the buttons of a message box."""
        controls = self.session.winctl("controls", box["hwnd"])
        texts = [c["text"] for c in controls if c["id"] == BOX_TEXT_ID]
        buttons = sorted(c["id"] for c in controls if c["class"].lower() == "button")
        return box["text"], texts[0] if texts else None, buttons

    def press(self, box, button):
        controls = self.session.winctl("controls", box["hwnd"])
        [target] = [c for c in controls if c["id"] == button]
        self.session.winctl("click", target["hwnd"])

    def main_program_processes(self, folder):
        """Processes running this folder's Mirvex.exe. The shell starts the
        program before the launcher ends, so once the launcher has ended this
        tells whether it was started."""
        exe = folder / MAIN_PROGRAM
        names = {str(exe).lower(), windows_path(exe).lower()}
        found = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                argv0 = (entry / "cmdline").read_bytes().split(b"\0")[0]
            except OSError:
                continue  # ended meanwhile
            if argv0.decode("utf-8", "replace").lower() in names:
                found.append(int(entry.name))
        return found

    def close_main_program(self):
        """Closes every main window the launcher opened and waits for its
        process to end (its mutex goes with it)."""
        for window in main_windows(self.session):
            self.session.winctl("close", window["hwnd"], check=False)
        wait_until("no Mirvex window", lambda: not main_windows(self.session), EXIT_TIMEOUT)
        for folder in self.folders:
            wait_until("the end of Mirvex.exe",
                       lambda folder=folder: not self.main_program_processes(folder),
                       EXIT_TIMEOUT)

    def assert_started(self, folder, started):
        running = self.main_program_processes(folder)
        self.assertEqual(bool(running), started, f"Mirvex.exe processes: {running}")
        if started:
            wait_until("Mirvex's main window", lambda: main_windows(self.session),
                       WINDOW_TIMEOUT)
            self.close_main_program()

    def launcher_requests(self):
        """The update service requests sent by the launcher: they carry its
        user agent (a Mirvex it started may ask the service too)."""
        return [r for r in self.service.requests
                if header_values(r, "User-Agent") == [LAUNCHER_AGENT]]

    def assert_one_request(self):
        requests = self.launcher_requests()
        self.assertEqual(len(requests), 1, self.service.requests)
        self.assertEqual(self.service.requests[0], requests[0], "the launcher asks first")
        self.assertEqual(requests[0].path, SERVICE_PATH)
        own = [[name, value] for name, value in requests[0].headers
               if name.lower().startswith("user-") and name.lower() != "user-agent"]
        self.assertEqual(own, PROGRAM_HEADERS)

    # --- tests ---------------------------------------------------------------

    def test_without_an_offer_the_first_argument_decides_the_start(self):
        cases = [
            ((), "no update", None, False),
            (("/inst", "--more"), "no update", None, True),
            (("/INST",), "no update", None, False),
            # Too large to read: no update, whatever it holds.
            (("/inst",), "oversized", oversized_offer(), True),
            (("/inst",), "a local program", offer(LOCAL_PROGRAM), True),
        ]
        for args, what, step, started in cases:
            with self.subTest(args=args, answer=what):
                self.service.script([step] if step else [])
                before = self.session.opened_urls()
                folder = self.install()
                launcher = self.launch(folder, *args)
                self.assertEqual(self.wait_box_or_exit(launcher), ("exit", 0))
                self.assert_one_request()
                self.assert_started(folder, started)
                self.assertEqual(self.session.opened_urls()[len(before):], [])

    def test_offered_update_is_asked_for_in_the_user_language(self):
        # locale, answer, button, link opened, Mirvex started (with "/inst")
        cases = [
            ("de_DE.UTF-8", straddling_offer(), IDYES, True, False),
            ("en_US.UTF-8", offer(LINK), IDNO, False, True),
        ]
        for locale, step, button, opened, started in cases:
            with self.subTest(locale=locale, button=button):
                self.service.script([step])
                before = self.session.opened_urls()
                folder = self.install()
                launcher = self.launch(folder, "/inst", locale=locale)
                box = self.wait_box(launcher)
                self.assertEqual(self.read_box(box), (CAPTION[locale], PROMPT[locale],
                                                      [IDYES, IDNO]))
                self.assert_one_request()
                self.press(box, button)
                self.assertEqual(wait_exit(launcher), 0)
                if opened:
                    wait_until("the link in the browser",
                               lambda: self.session.opened_urls()[len(before):] == [LINK],
                               WINDOW_TIMEOUT)
                self.assert_started(folder, started)
                self.assertEqual(self.session.opened_urls()[len(before):],
                                 [LINK] if opened else [])

    def test_missing_main_program_asks_to_reinstall_without_a_request(self):
        # A folder named Mirvex.exe is no program either.
        for locale, directory in [("de_DE.UTF-8", False), ("ko_KR.UTF-8", True)]:
            with self.subTest(locale=locale, directory=directory):
                before = self.session.opened_urls()
                folder = self.install(main_program=False)
                if directory:
                    (folder / MAIN_PROGRAM).mkdir()
                launcher = self.launch(folder, "/inst", locale=locale)
                box = self.wait_box(launcher)
                self.assertEqual(self.read_box(box), (CAPTION[locale], REINSTALL[locale],
                                                      [IDOK]))
                self.press(box, IDOK)
                self.assertEqual(wait_exit(launcher), 0)
                # The shell hands the address on with the path "/" made explicit.
                wait_until("the home page in the browser",
                           lambda: self.session.opened_urls()[len(before):]
                           == [self.service.url + "/"], WINDOW_TIMEOUT)
                self.assertEqual(self.service.requests, [])
                self.assertEqual(main_windows(self.session), [])
                # No start was tried: one would open the folder named Mirvex.exe.
                self.assertEqual(visible_windows(self.session, "-"), [])

    def test_one_launcher_at_a_time(self):
        self.service.script([offer(LINK)])
        folder = self.install()
        # Started together, they race for the mutex: exactly one may go on.
        together = [self.launch(folder) for _ in range(4)]
        wait_until("the prompt", self.boxes, WINDOW_TIMEOUT)
        wait_until("the other launchers to end",
                   lambda: sum(p.poll() is None for p in together) <= 1, WINDOW_TIMEOUT)
        boxes = self.boxes()
        self.assertEqual(len(boxes), 1, boxes)
        box = boxes[0]
        self.assertEqual(sorted(p.returncode for p in together if p.poll() is not None), [0] * 3)
        # One started while the first shows its prompt ends at once as well.
        self.assertEqual(wait_exit(self.launch(folder, "/inst")), 0)
        self.assertEqual([b["hwnd"] for b in self.boxes()], [box["hwnd"]])
        self.assert_one_request()
        self.press(box, IDNO)
        [first] = [p for p in together if p.returncode is None]
        self.assertEqual(wait_exit(first), 0)
        self.assert_started(folder, False)

    def test_no_question_over_an_untrusted_certificate_or_a_redirect_to_http(self):
        tls = self.https_stand_in()
        # What answers if a redirect to plain http is followed.
        self.service.script([offer(LINK)])
        for what, listener, step in refused_over_https(self.service.url, LINK):
            with self.subTest(what):
                self.reset()
                tls.script([step])
                connections = tls.connections(listener)
                before = self.session.opened_urls()
                folder = self.install()
                launcher = self.launch(folder, "/inst", host=tls.tls_url(listener))
                self.assertEqual(self.wait_box_or_exit(launcher), ("exit", 0))
                self.assertGreater(tls.connections(listener), connections)
                self.assert_started(folder, True)
                self.assertEqual(self.session.opened_urls()[len(before):], [])
