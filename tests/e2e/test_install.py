"""The installer and the portable zip that ./dev dist leaves in build/dist:
installed, run, installed over and removed again in the session's prefix;
the zip's contents and the installer's version read from the files; a
signed build's signatures.

The silent installs run with exactly the switches that the winget manifest
names, and look for the installation under the manifest's ProductCode, as
winget does."""

import re
import shutil
import struct
import sys
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from apps import (MAIN_CLASS, RECORD_FILE, SETTINGS_KEY, WINDOW_TIMEOUT, hold, main_windows,
                  wait_exit)
from e2ecase import E2ETestCase
from harness import wait_until
from packages import return_responses, winget_manifest
from release import Certificate, first_inputs, package
from shell_link import read_shell_link
from update_service import UpdateService  # noqa: E402

PROGRAMS = ("Mirvex.exe", "MirvexService.exe")
UNINSTALLER = "Uninstall Mirvex.exe"
# Another product's uninstaller in a folder it shares with Mirvex.
FOREIGN_UNINSTALLER = "Uninstall.exe"
FOREIGN_BYTES = b"MZ another product's uninstaller\0"
MAIN_MUTEX = "MirvexMutex"
SERVICE_MUTEX = "MirvexServiceMutex"
INSTALL_TIMEOUT = 180
# A holder outlasts the silent install beside it; it is ended by PID.
HOLD_SECONDS = INSTALL_TIMEOUT
UNINSTALL_ROOT = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall"
START_MENU = r"Microsoft\Windows\Start Menu\Programs"
LAUNCHER_ARGUMENTS = "/inst"
PUBLISHER = "Norvale"
ZIP_README = "README.txt"
# NSIS's exit code for "ended by the script": Mirvex runs and was not closed.
EXIT_MIRVEX_RUNNING = 2
MESSAGE_BOX_CLASS = "#32770"
IDCANCEL = 2
# VS_FIXEDFILEINFO's signature, then its struct version, file and product versions.
FIXED_FILE_INFO = struct.pack("<I", 0xFEEF04BD)
RECORDS = b"10x20,Left,Single,00:00:01.00\r\n30x40,Right,Double,00:00:00.50\r\n"
HOTKEY_RUN = "hotkey_run"
CUSTOM_HOTKEY = 0x4075  # Ctrl+F6


def build_version(build_dir):
    """The version the build was configured with (one source: project())."""
    header = (build_dir / "win" / "generated" / "BuildConfig.h").read_text(encoding="utf-8")
    return re.search(r'#define MIRVEX_VERSION_TEXT "([0-9.]+)"', header)[1]


def version_text(most, least):
    """A version resource's two 32-bit halves as major.minor.release.build."""
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"


def dist_file(build_dir, pattern):
    version = build_version(build_dir)
    path = build_dir / "dist" / pattern.format(version=version)
    assert path.is_file(), f"{path} is missing: run ./dev dist"
    return path


class InstallerTest(E2ETestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        session = cls.session
        cls.version = build_version(session.build_dir)
        cls.setup_exe = dist_file(session.build_dir, "Mirvex-{version}-setup.exe")
        cls.install_dir = session.windows_variable("LOCALAPPDATA") + r"\Programs\Mirvex"
        cls.shortcut = session.host_path(
            session.windows_variable("APPDATA") + "\\" + START_MENU + r"\Mirvex.lnk")
        cls.host_dir = session.host_path(cls.install_dir)
        manifest = winget_manifest(session.build_dir)["installer"]
        cls.silent_switches = manifest["InstallerSwitches"]["Silent"].split()
        cls.return_responses = return_responses(manifest)
        cls.uninstall_key = UNINSTALL_ROOT + "\\" + manifest["ProductCode"]

    def setUp(self):
        super().setUp()
        self.remove_installation()
        self.addCleanup(self.remove_installation)

    def remove_installation(self):
        shutil.rmtree(self.host_dir, ignore_errors=True)
        self.shortcut.unlink(missing_ok=True)
        self.session.reg_delete_key(self.uninstall_key)

    def install(self, silent=True, locale="en_US.UTF-8", setup_exe=None):
        """Runs the installer to its end; returns its exit code."""
        args = ["wine", str(setup_exe or self.setup_exe)] + (self.silent_switches if silent
                                                              else [])
        return self.session.run(args, locale=locale, timeout=INSTALL_TIMEOUT,
                                check=False).returncode

    def installed(self, name):
        return self.host_dir / name

    def assert_nothing_installed(self):
        self.assertFalse(self.host_dir.exists())
        self.assertFalse(self.shortcut.exists())
        self.assertIsNone(self.session.reg_values(self.uninstall_key))

    def test_silent_install_puts_programs_shortcut_and_uninstall_entry_in_place(self):
        self.assertEqual(self.install(), 0)

        for name in PROGRAMS:
            self.assertEqual(self.installed(name).read_bytes(),
                             (self.session.build_dir / "dist" / name).read_bytes(), name)
        self.assertTrue(self.installed(UNINSTALLER).is_file())

        link = read_shell_link(self.shortcut.read_bytes())
        self.assertEqual(link.target, self.install_dir + r"\MirvexService.exe")
        self.assertEqual(link.arguments, LAUNCHER_ARGUMENTS)
        self.assertEqual(link.working_dir, self.install_dir)

        uninstaller = f'"{self.install_dir}\\{UNINSTALLER}"'
        entry = self.session.reg_values(self.uninstall_key)
        self.assertIsNotNone(entry, f"nothing under the ProductCode's key {self.uninstall_key}")
        self.assertEqual({name: entry.get(name) for name in (
            "DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "UninstallString",
            "QuietUninstallString")}, {
            "DisplayName": "Mirvex",
            "DisplayVersion": self.version,
            "Publisher": PUBLISHER,
            "DisplayIcon": self.install_dir + r"\Mirvex.exe,0",
            "UninstallString": uninstaller,
            "QuietUninstallString": uninstaller + " /S",
        })

    def test_shortcut_target_starts_mirvex_when_there_is_no_update(self):
        self.assertEqual(self.install(), 0)
        link = read_shell_link(self.shortcut.read_bytes())

        with UpdateService() as service:
            launcher = self.session.spawn(["wine", link.target, link.arguments],
                                          cwd=self.session.host_path(link.working_dir),
                                          hosts={"MIRVEX_WEB_HOST": service.url})
            window = wait_until("Mirvex's window, started by the launcher",
                                lambda: [w for w in main_windows(self.session) if w["visible"]],
                                WINDOW_TIMEOUT)
            self.assertEqual(wait_exit(launcher), 0)
            # The launcher asks before it starts Mirvex: the "no update" came
            # from the stand-in, not from a failed request.
            self.assertTrue(service.requests, "nothing asked the stand-in for an update")
        self.assertEqual(len(window), 1)
        self.session.winctl("close", window[0]["hwnd"])
        wait_until("Mirvex to end", lambda: not self.session.winctl("list", MAIN_CLASS),
                   WINDOW_TIMEOUT)

    def test_install_over_an_earlier_one_keeps_records_and_settings(self):
        self.assertEqual(self.install(), 0)
        self.installed(RECORD_FILE).write_bytes(RECORDS)
        self.session.reg_set_dword(SETTINGS_KEY, HOTKEY_RUN, CUSTOM_HOTKEY)

        self.assertEqual(self.install(), 0)

        self.assertEqual(self.installed(RECORD_FILE).read_bytes(), RECORDS)
        self.assertEqual(self.session.reg_query(SETTINGS_KEY, HOTKEY_RUN), CUSTOM_HOTKEY)
        self.assertTrue(self.installed("Mirvex.exe").is_file())

    def test_installer_changes_nothing_while_mirvex_runs(self):
        self.mirvex().start()

        with self.subTest("silent: ends at once with the code winget reads as packageInUse"):
            code = self.install()
            self.assertEqual(code, EXIT_MIRVEX_RUNNING)
            self.assertEqual(self.return_responses.get(code), "packageInUse")
            self.assert_nothing_installed()

        with self.subTest("interactive, Korean: asks to close Mirvex; Cancel ends it"):
            setup = self.session.spawn(["wine", str(self.setup_exe)], locale="ko_KR.UTF-8")
            box = wait_until("the request to close Mirvex",
                             lambda: self.session.winctl("list", MESSAGE_BOX_CLASS),
                             WINDOW_TIMEOUT)[0]
            controls = self.session.winctl("controls", box["hwnd"])
            self.assertTrue(any("실행 중" in c["text"] for c in controls),
                            [c["text"] for c in controls])
            cancel = [c for c in controls if c["id"] == IDCANCEL]
            self.session.winctl("click", cancel[0]["hwnd"])
            self.assertEqual(wait_exit(setup), EXIT_MIRVEX_RUNNING)
            self.assert_nothing_installed()

    def test_only_mirvex_mutexes_keep_a_silent_install_from_running(self):
        cases = [
            # what another process holds, the installer's exit code
            (("hold-window", MAIN_CLASS), 0),  # a foreign window of Mirvex's class
            # mutexes that may not be opened: copies that run elevated
            (("hold-locked-mutex", MAIN_MUTEX), EXIT_MIRVEX_RUNNING),
            (("hold-locked-mutex", SERVICE_MUTEX), EXIT_MIRVEX_RUNNING),
        ]
        for holding, code in cases:
            with self.subTest(holding=holding):
                self.remove_installation()
                holder = hold(self.session, *holding, HOLD_SECONDS)
                try:
                    self.assertEqual(self.install(), code)
                finally:
                    holder.kill()
                    holder.wait()
                self.assertEqual(self.installed("Mirvex.exe").is_file(), code == 0)

    def test_silent_uninstall_removes_programs_shortcut_and_entry_but_keeps_user_data(self):
        # A folder shared with another product: its uninstaller is not ours.
        self.host_dir.mkdir(parents=True)
        self.installed(FOREIGN_UNINSTALLER).write_bytes(FOREIGN_BYTES)
        self.assertEqual(self.install(), 0)
        self.assertEqual(self.installed(FOREIGN_UNINSTALLER).read_bytes(), FOREIGN_BYTES)
        self.installed(RECORD_FILE).write_bytes(RECORDS)
        self.session.reg_set_dword(SETTINGS_KEY, HOTKEY_RUN, CUSTOM_HOTKEY)
        quiet = self.session.reg_values(self.uninstall_key)["QuietUninstallString"]
        uninstaller, arguments = re.fullmatch(r'"([^"]+)" (.*)', quiet).groups()

        # The uninstaller hands its work to a copy of itself and ends: wait
        # for the work, not for the process. Its own exit code is not
        # asserted: it only says that the copy was started, and Wine's loader
        # now and then fails an assertion of its own while that process ends
        # (exit code 127, seen once); what the copy did is
        # checked below.
        self.session.run(["wine", uninstaller, arguments], timeout=INSTALL_TIMEOUT, check=False)
        wait_until("the uninstaller to finish",
                   lambda: self.session.reg_values(self.uninstall_key) is None
                   and not self.installed(UNINSTALLER).exists(), INSTALL_TIMEOUT)

        for name in PROGRAMS:
            self.assertFalse(self.installed(name).exists(), name)
        self.assertFalse(self.shortcut.exists())
        self.assertEqual(self.installed(RECORD_FILE).read_bytes(), RECORDS)
        self.assertEqual(self.installed(FOREIGN_UNINSTALLER).read_bytes(), FOREIGN_BYTES)
        self.assertEqual(self.session.reg_query(SETTINGS_KEY, HOTKEY_RUN), CUSTOM_HOTKEY)

    def test_a_signed_build_signs_both_programs_the_installer_and_its_uninstaller(self):
        certificate = Certificate.make(self.session.scratch / "certificate")
        downloads = package(first_inputs(self.session.build_dir),
                            self.session.scratch / "signed", certificate)
        setup = downloads / self.setup_exe.name
        self.assertEqual(self.install(setup_exe=setup), 0)
        shipped = {name: self.installed(name) for name in (*PROGRAMS, UNINSTALLER)}
        shipped[setup.name] = setup
        with zipfile.ZipFile(downloads / f"Mirvex-{self.version}.zip") as archive:
            for name in PROGRAMS:
                shipped[f"{name} in the zip"] = archive.extract(name, self.folder)
        unsigned = [name for name, path in shipped.items() if not certificate.signed(path)]
        self.assertEqual(unsigned, [])


class DistFilesTest(E2ETestCase):
    """Reads the built files only: no Wine, no clean slate needed."""

    def setUp(self):
        pass

    def test_zip_holds_the_programs_and_a_windows_readme(self):
        build = self.session.build_dir
        with zipfile.ZipFile(dist_file(build, "Mirvex-{version}.zip")) as archive:
            self.assertEqual(sorted(archive.namelist()), sorted([*PROGRAMS, ZIP_README]))
            for name in PROGRAMS:
                self.assertEqual(archive.read(name), (build / "dist" / name).read_bytes(), name)
            readme = archive.read(ZIP_README).decode("utf-8-sig")
        self.assertNotRegex(readme, r"[^\r]\n", "a line of README.txt ends without CR LF")
        for needed in ("F3", "F4", RECORD_FILE, "writable"):
            self.assertIn(needed, readme)

    def test_installer_carries_the_build_version(self):
        data = dist_file(self.session.build_dir, "Mirvex-{version}-setup.exe").read_bytes()
        at = data.find(FIXED_FILE_INFO)
        self.assertNotEqual(at, -1, "the installer has no version resource")
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, at + 8)
        version = build_version(self.session.build_dir)
        self.assertEqual(version_text(file_ms, file_ls), version)
        self.assertEqual(version_text(product_ms, product_ls), version)
