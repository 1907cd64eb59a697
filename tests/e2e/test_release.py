"""One commit gives the same downloads: built twice, in two folders and a day
apart, the programs, the installer, the zip, the package managers' manifests,
BUILDINFO and SHA256SUMS are the same byte for byte, unsigned and signed with
one certificate.

What this can catch: a build folder or a moment (link time, file times,
signing time) that reaches any of them, and an order that is not fixed. What
it cannot: anything that differs only between machines (other tool versions,
time zone, user, umask), since both builds run here.
"""

import json
from pathlib import Path

from e2ecase import E2ETestCase
from release import Certificate, build_elsewhere, first_inputs, package, sums_check


def release_files(inputs, downloads):
    """The shipped programs, by name, and every file of the downloads, by
    its path there."""
    programs = json.loads(Path(inputs).read_text(encoding="utf-8"))["programs"]
    files = {p.name: p for p in map(Path, programs)}
    files.update({p.relative_to(downloads).as_posix(): p
                  for p in sorted(downloads.rglob("*")) if p.is_file()})
    return files


class ReproducibleTest(E2ETestCase):
    """Builds and compares files only; the Wine session stays untouched."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        build = cls.session.build_dir
        cls.work = build / "release-check"
        cls.first = first_inputs(build)
        cls.second = build_elsewhere(build, cls.work / "second")
        cls.certificate = Certificate.make(cls.work / "certificate")

    def setUp(self):
        pass

    def test_two_folders_a_day_apart_give_the_same_bytes(self):
        for signed in (False, True):
            with self.subTest(signed=signed):
                certificate = self.certificate if signed else None
                kind = "signed" if signed else "unsigned"
                first = release_files(self.first, package(
                    self.first, self.work / f"first-{kind}", certificate))
                second = release_files(self.second, package(
                    self.second, self.work / f"second-{kind}", certificate, later=True))
                self.assertEqual(sorted(first), sorted(second))
                differing = [name for name in first
                             if first[name].read_bytes() != second[name].read_bytes()]
                self.assertEqual(differing, [])
                self.assertEqual(sums_check(first["SHA256SUMS"].parent), 0)
                self.assertIn("BUILDINFO", first)
                self.assertIn("scoop/mirvex.json", first)
