"""Base class of the end-to-end tests: the run's shared Session and a clean
slate for every test (no Mirvex window left, no stored settings, a fresh
folder with its own copy of Mirvex.exe)."""

import re
import unittest

from apps import SETTINGS_KEY, Mirvex, main_windows
from harness import wait_until
from update_service import UpdateService

_session = None


def use_session(session):
    """run.py hands its Session over before the tests run."""
    global _session
    _session = session


class E2ETestCase(unittest.TestCase):
    session = None

    @classmethod
    def setUpClass(cls):
        if _session is None:
            raise unittest.SkipTest("run the end-to-end tests through tests/e2e/run.py")
        cls.session = _session

    def setUp(self):
        self.reset()
        self.folder = self.session.folder(re.sub(r"[^A-Za-z0-9_.-]", "_", self.id()))
        self.addCleanup(self.session.end_processes)

    def reset(self):
        """No process left running, no Mirvex window, no stored settings.
        Also for each case of a table, so one failed case leaves nothing
        behind for the next."""
        self.session.end_processes()
        wait_until("no Mirvex window left over", lambda: not main_windows(self.session), 30)
        self.session.reg_delete_key(SETTINGS_KEY)

    def mirvex(self):
        """A Mirvex copy in this test's folder (every call shares the folder,
        hence the record file)."""
        return Mirvex(self.session, self.folder)

    def https_stand_in(self):
        """A stand-in service that also serves HTTPS with the session's
        certificates; it ends with the test."""
        service = UpdateService(tls=self.session.certificates()).start()
        self.addCleanup(service.stop)
        return service
