#!/usr/bin/env python3
"""Builds what a Windows user downloads: the installer, the portable zip and
beside them the package managers' manifests (manifests.py), BUILDINFO
(buildinfo.py) and SHA256SUMS over all of them, signed when the maker
supplies a certificate.

    make_dist.py build --inputs dist-inputs.json --out DIR
    make_dist.py sign FILE

`build` is what the CMake target `dist` runs; the inputs file (written by
packaging/CMakeLists.txt) names the version, the product's names, the
release base address, the two programs, the NSIS script, the icon, the
README and the source folder. `sign` signs one file in place with the
certificate from the environment; the installer script runs it on the
uninstaller before storing it.

The same commit gives the same bytes, in any folder and at any time:
- every time written into a download is SOURCE_DATE_EPOCH: the variable
  when it is set, otherwise the time of the source folder's last commit,
  otherwise the earliest time a zip can hold (1980-01-01);
- the installer stores no file times (Mirvex.nsi), the zip a fixed order,
  time and permissions (make_zip.py);
- a signature's signing time is SOURCE_DATE_EPOCH as well, and an RSA
  signature (PKCS#1 v1.5) holds nothing random, so one certificate signs
  one file to the same bytes every time.

The manifests name the downloads under the release base address:
MIRVEX_RELEASE_BASE from the environment when set, otherwise the build's
(the CMake cache variable of the same name).

Signing: MIRVEX_SIGN_PFX names a PKCS#12 file holding the code-signing
certificate and its key, MIRVEX_SIGN_PASS_FILE a file whose content is its
password. Both programs, the uninstaller and the installer get a SHA-256
Authenticode signature (osslsigncode). Without MIRVEX_SIGN_PFX everything
is built unsigned, and one line says so.
"""

import argparse
import hashlib
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from buildinfo import write_buildinfo  # noqa: E402
from files import write_atomically  # noqa: E402
from make_zip import write_zip  # noqa: E402
from manifests import EXIT_MIRVEX_RUNNING, write_manifests  # noqa: E402

SIGN_PFX = "MIRVEX_SIGN_PFX"
SIGN_PASS_FILE = "MIRVEX_SIGN_PASS_FILE"
EPOCH_VARIABLE = "SOURCE_DATE_EPOCH"
# 1980-01-01 00:00:00 UTC: a source tree outside git has no commit time.
FALLBACK_EPOCH = 315532800
SUMS_FILE = "SHA256SUMS"
# The description a signature carries (Windows shows it in the consent
# prompt).
SIGNED_DESCRIPTION = "Mirvex"
RELEASE_BASE = "MIRVEX_RELEASE_BASE"
# http(s)://host[:port] and a path, without query or fragment.
RELEASE_BASE_FORM = re.compile(r"https?://[A-Za-z0-9.-]+(:[0-9]+)?(/[A-Za-z0-9._~%/+-]*)?")


class DistError(Exception):
    """A download could not be built; the message says why."""


def source_date_epoch(source_dir):
    """Seconds since 1970 that stand for the build's time."""
    value = os.environ.get(EPOCH_VARIABLE, "").strip()
    if value:
        if not value.isdigit():
            raise DistError(f"{EPOCH_VARIABLE} must be a whole number of seconds, not {value!r}")
        return int(value)
    try:
        commit = subprocess.run(["git", "-C", str(source_dir), "log", "-1", "--format=%ct"],
                                capture_output=True, text=True, check=True).stdout.strip()
        return int(commit)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return FALLBACK_EPOCH


@dataclass(frozen=True)
class Signer:
    pfx: Path
    password_file: Path

    @classmethod
    def from_environment(cls):
        """The maker's certificate, or None when none is given. A given one
        that cannot be used stops the build: a release meant to be signed
        must not go out unsigned."""
        pfx = os.environ.get(SIGN_PFX, "")
        if not pfx:
            return None
        password_file = os.environ.get(SIGN_PASS_FILE, "")
        if not password_file:
            raise DistError(f"{SIGN_PFX} is set but {SIGN_PASS_FILE} is not")
        for path in (pfx, password_file):
            if not Path(path).is_file():
                raise DistError(f"{path} does not exist")
        return cls(Path(pfx).resolve(), Path(password_file).resolve())

    def sign(self, path, epoch):
        """Gives the file a SHA-256 Authenticode signature, in place."""
        path = Path(path)
        signed = path.with_name(path.name + ".signed")
        signed.unlink(missing_ok=True)
        try:
            result = subprocess.run(
                ["osslsigncode", "sign", "-pkcs12", str(self.pfx), "-readpass",
                 str(self.password_file), "-h", "sha256", "-n", SIGNED_DESCRIPTION,
                 "-time", str(epoch), "-in", str(path), "-out", str(signed)],
                capture_output=True, text=True)
        except OSError as error:
            raise DistError(f"cannot run osslsigncode: {error}") from error
        if result.returncode != 0:
            signed.unlink(missing_ok=True)
            raise DistError(f"signing {path.name} failed:\n{result.stdout}{result.stderr}")
        os.replace(signed, path)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def write_sums(out, files):
    """SHA256SUMS in the form `sha256sum -c` reads in `out`: the files by
    their path from there, sorted."""
    names = sorted(Path(f).relative_to(out).as_posix() for f in files)
    lines = "".join(f"{sha256(out / name)}  {name}\n" for name in names)
    write_atomically(out / SUMS_FILE, lines.encode("ascii"))


def release_base(inputs, environ=os.environ):
    """The address the downloads are published under, without a final slash."""
    base = environ.get(RELEASE_BASE, "").strip() or inputs["release_base"]
    base = base.rstrip("/")
    if not RELEASE_BASE_FORM.fullmatch(base):
        raise DistError(f"{RELEASE_BASE} must be http(s)://host[:port][/path], not {base!r}")
    return base


def make_installer(inputs, programs, setup, signer, epoch):
    """Runs makensis on the shipped programs; the uninstaller it stores is
    signed by this script's `sign` as NSIS writes it."""
    partial = setup.with_name(setup.name + ".part")
    defines = {
        "VERSION": inputs["version"],
        "PRODUCT": inputs["product"]["name"],
        "PUBLISHER": inputs["product"]["publisher"],
        "EXIT_MIRVEX_RUNNING": EXIT_MIRVEX_RUNNING,
        "MAIN_EXE": programs["Mirvex.exe"],
        "SERVICE_EXE": programs["MirvexService.exe"],
        "ICON": inputs["icon"],
        "OUTFILE": partial,
    }
    if signer:
        defines["SIGN_COMMAND"] = shlex.join([sys.executable, str(Path(__file__).resolve()),
                                              "sign"])
    command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8",
               *[f"-D{name}={value}" for name, value in defines.items()], inputs["script"]]
    env = dict(os.environ, **{EPOCH_VARIABLE: str(epoch)})
    result = subprocess.run(command, capture_output=True, text=True, env=env)
    if result.returncode != 0:
        partial.unlink(missing_ok=True)
        raise DistError(f"makensis failed:\n{result.stdout}{result.stderr}")
    if signer:
        signer.sign(partial, epoch)
    os.replace(partial, setup)


def build(inputs_file, out):
    inputs = json.loads(Path(inputs_file).read_text(encoding="utf-8"))
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    epoch = source_date_epoch(inputs["source_dir"])
    base = release_base(inputs)
    signer = Signer.from_environment()
    if signer is None:
        print(f"dist: unsigned: no code-signing certificate ({SIGN_PFX} is not set)")

    version = inputs["version"]
    setup = out / f"Mirvex-{version}-setup.exe"
    portable = out / f"Mirvex-{version}.zip"
    # The programs as shipped: signed copies when there is a certificate.
    staging = out / ".programs"
    shutil.rmtree(staging, ignore_errors=True)
    staging.mkdir()
    try:
        programs = {}
        for source in map(Path, inputs["programs"]):
            shipped = staging / source.name
            shutil.copyfile(source, shipped)
            if signer:
                signer.sign(shipped, epoch)
            programs[source.name] = shipped
        make_installer(inputs, programs, setup, signer, epoch)
        write_zip(portable, inputs["readme"], list(programs.values()), epoch)
    finally:
        shutil.rmtree(staging, ignore_errors=True)
    manifests = write_manifests(out, inputs, base, epoch, setup, sha256(setup), portable,
                                sha256(portable))
    write_sums(out, [setup, portable, write_buildinfo(out, inputs, epoch), *manifests])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    build_command = commands.add_parser(
        "build", help="the installer, the zip, the manifests, BUILDINFO and SHA256SUMS")
    build_command.add_argument("--inputs", required=True, help="the inputs file CMake wrote")
    build_command.add_argument("--out", required=True, help="the folder for the downloads")
    sign_command = commands.add_parser("sign", help="sign one file in place")
    sign_command.add_argument("file")
    args = parser.parse_args()
    try:
        if args.command == "build":
            build(args.inputs, args.out)
        else:
            signer = Signer.from_environment()
            if signer is None:
                raise DistError(f"nothing to sign with: {SIGN_PFX} is not set")
            signer.sign(args.file, source_date_epoch(Path(__file__).resolve().parents[1]))
    except DistError as error:
        print(f"dist: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
