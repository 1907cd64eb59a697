"""The package managers' manifests that ./dev dist writes: valid by the
published schemas (kept unchanged beside the project, in
../shared/package-schemas), and naming the files just built by their hashes.
Installing with the manifest's switches is in test_install.py."""

import hashlib
import json
from pathlib import Path

import jsonschema
import yaml

from e2ecase import E2ETestCase
from packages import SCOOP_FILE, WINGET_FILES, dist_dir, scoop_manifest, winget_manifest
from release import ROOT, sums_check
from test_install import build_version

# release.py puts packaging/ on the path.
from make_dist import SUMS_FILE, DistError, release_base  # noqa: E402
from manifests import to_yaml  # noqa: E402

SCHEMAS = ROOT.parent / "shared" / "package-schemas"
WINGET_SCHEMA = "winget-1.10.0/manifest.{kind}.1.10.0.json"
SCOOP_SCHEMA = "scoop/schema.json"
BUILDINFO = "BUILDINFO"


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def schema_errors(document, schema_file):
    schema = json.loads((SCHEMAS / schema_file).read_text(encoding="utf-8"))
    validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
    return [f"{'/'.join(map(str, e.path))}: {e.message}" for e in validator.iter_errors(document)]


class ManifestsTest(E2ETestCase):
    """Reads the built files only: no Wine, no clean slate needed."""

    def setUp(self):
        pass

    def test_every_manifest_validates_against_its_published_schema(self):
        build = self.session.build_dir
        documents = [(WINGET_FILES[kind], document, WINGET_SCHEMA.format(kind=kind))
                     for kind, document in winget_manifest(build).items()]
        documents.append((SCOOP_FILE, scoop_manifest(build), SCOOP_SCHEMA))
        for name, document, schema in documents:
            with self.subTest(name):
                self.assertEqual(schema_errors(document, schema), [])

    def test_manifests_name_this_build_and_its_files_by_their_hashes(self):
        build = self.session.build_dir
        version = build_version(build)
        setup = dist_dir(build) / f"Mirvex-{version}-setup.exe"
        portable = dist_dir(build) / f"Mirvex-{version}.zip"
        winget = winget_manifest(build)
        scoop = scoop_manifest(build)
        [installer] = winget["installer"]["Installers"]
        download = scoop["architecture"]["64bit"]

        self.assertEqual({(d["PackageIdentifier"], d["PackageVersion"]) for d in winget.values()},
                         {("Norvale.Mirvex", version)})
        self.assertEqual(scoop["version"], version)
        self.assertEqual(installer["InstallerSha256"].lower(), sha256(setup))
        self.assertEqual(download["hash"], sha256(portable))
        self.assertTrue(installer["InstallerUrl"].endswith("/" + setup.name))
        self.assertTrue(download["url"].endswith("/" + portable.name))
        self.assertEqual(installer["InstallerUrl"].rpartition("/")[0],
                         download["url"].rpartition("/")[0])

        # SHA256SUMS covers the manifests and BUILDINFO too, and holds.
        listed = (dist_dir(build) / SUMS_FILE).read_text(encoding="ascii").splitlines()
        self.assertEqual(sorted(line.split("  ", 1)[1] for line in listed),
                         sorted([setup.name, portable.name, BUILDINFO, SCOOP_FILE,
                                 *WINGET_FILES.values()]))
        self.assertEqual(sums_check(dist_dir(build)), 0)

    def test_release_base_takes_only_an_http_address_of_a_folder(self):
        cases = [
            # base, accepted as
            ("https://download.mirvex.example/releases/",
             "https://download.mirvex.example/releases"),
            ("http://127.0.0.1:8080", "http://127.0.0.1:8080"),
            ("https://host.example/a b", None),
            ("https://host.example/releases?v=1", None),
            ("ftp://host.example/releases", None),
            ("download.mirvex.example/releases", None),
        ]
        for base, expected in cases:
            with self.subTest(base=base):
                if expected is None:
                    with self.assertRaises(DistError):
                        release_base({"release_base": base}, environ={})
                else:
                    self.assertEqual(release_base({"release_base": base}, environ={}), expected)

    def test_yaml_strings_that_look_like_other_types_read_back_as_strings(self):
        values = ["1.10", "0123E5", "yes", "No", "null", "~", "a: b", "x #y", "© Norvale",
                  " lead", "", "/S", "https://a.example/b"]
        document = {"Tags": values, "Nested": {"Key": values[0]}, "Code": 2}
        self.assertEqual(yaml.safe_load(to_yaml(document, "version")), document)
