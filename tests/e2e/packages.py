"""The package managers' manifests that ./dev dist leaves in build/dist, read
back as a package manager reads them."""

import json
from pathlib import Path

import yaml

WINGET_IDENTIFIER = "Norvale.Mirvex"
WINGET_FILES = {
    "version": f"winget/{WINGET_IDENTIFIER}.yaml",
    "installer": f"winget/{WINGET_IDENTIFIER}.installer.yaml",
    "defaultLocale": f"winget/{WINGET_IDENTIFIER}.locale.en-US.yaml",
}
SCOOP_FILE = "scoop/mirvex.json"


def dist_dir(build_dir):
    return Path(build_dir) / "dist"


def winget_manifest(build_dir):
    """The winget manifest's documents, by manifest type."""
    return {kind: yaml.safe_load((dist_dir(build_dir) / name).read_text(encoding="utf-8"))
            for kind, name in WINGET_FILES.items()}


def scoop_manifest(build_dir):
    return json.loads((dist_dir(build_dir) / SCOOP_FILE).read_text(encoding="utf-8"))


def return_responses(installer):
    """The installer manifest's exit codes: {code: response}."""
    return {entry["InstallerReturnCode"]: entry["ReturnResponse"]
            for entry in installer.get("ExpectedReturnCodes") or []}
