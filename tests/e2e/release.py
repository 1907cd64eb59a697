"""A second build of the shipped programs and the packaging of downloads, for
the tests that check what a release holds: that one commit gives the same
bytes, and that a signed release carries its maker's signature.

The second build copies the source tree to another folder and builds the two
programs there from scratch, a day later than the clock says (faketime), so
any build folder or moment that reaches an artefact makes it differ from the
first build's.
"""

import os
import re
import secrets
import shutil
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MAKE_DIST = ROOT / "packaging" / "make_dist.py"
sys.path.insert(0, str(MAKE_DIST.parent))

from buildinfo import COMMIT_VARIABLE, source_commit  # noqa: E402
from make_dist import EPOCH_VARIABLE, SIGN_PASS_FILE, SIGN_PFX, SUMS_FILE, source_date_epoch  # noqa: E402,E501

# The second build runs this much later than the first, as faketime counts.
LATER = "+1d"
# What the second build's configure takes over from the first's.
CACHED_SETTINGS = ("CMAKE_BUILD_TYPE", "MIRVEX_WEB_HOST", "MIRVEX_LINK_HOST")
# Folders of the source tree that are no source.
NOT_SOURCE = ("build", ".git", "__pycache__")
SHIPPED_TARGETS = ("Mirvex", "MirvexService")
BUILD_TIMEOUT = 1800
PACKAGE_TIMEOUT = 300
TOOL_TIMEOUT = 60


def first_inputs(build_dir):
    """What `./dev dist` packages from the ordinary Windows build."""
    return Path(build_dir) / "win" / "packaging" / "dist-inputs.json"


def _cached(build_dir, name):
    cache = (Path(build_dir) / "win" / "CMakeCache.txt").read_text(encoding="utf-8")
    match = re.search(rf"^{name}:[A-Z]+=(.*)$", cache, re.MULTILINE)
    return match[1] if match else ""


def _environment(certificate=None):
    """The packaging's environment: the commit and its time (a copy of the
    sources has no git), and the given certificate or none (whatever the
    caller's environment names)."""
    env = {k: v for k, v in os.environ.items() if k not in (SIGN_PFX, SIGN_PASS_FILE)}
    env[EPOCH_VARIABLE] = str(source_date_epoch(ROOT))
    env[COMMIT_VARIABLE] = source_commit(ROOT)
    if certificate:
        env.update({SIGN_PFX: str(certificate.pfx), SIGN_PASS_FILE: str(certificate.password)})
    return env


def build_elsewhere(build_dir, folder):
    """Copies the sources into `folder`, configures as the first build was
    and builds the shipped programs a day later; returns the inputs file for
    packaging them."""
    shutil.rmtree(folder, ignore_errors=True)
    source, binary = folder / "src", folder / "win"
    shutil.copytree(ROOT, source, ignore=shutil.ignore_patterns(*NOT_SOURCE), symlinks=True)
    settings = [f"-D{name}={_cached(build_dir, name)}" for name in CACHED_SETTINGS]
    subprocess.run(["cmake", "-S", source, "-B", binary, "-G", "Ninja", *settings,
                    f"-DCMAKE_TOOLCHAIN_FILE={source / 'cmake' / 'mingw-w64.cmake'}"],
                   check=True, stdout=subprocess.DEVNULL, timeout=BUILD_TIMEOUT)
    # The build itself sees no SOURCE_DATE_EPOCH, like ./dev's.
    env = {k: v for k, v in os.environ.items() if k != EPOCH_VARIABLE}
    subprocess.run(["faketime", "-f", LATER, "cmake", "--build", binary, "--target",
                    *SHIPPED_TARGETS], check=True, stdout=subprocess.DEVNULL, env=env,
                   timeout=BUILD_TIMEOUT)
    return binary / "packaging" / "dist-inputs.json"


def package(inputs, out, certificate=None, later=False):
    """The downloads and SHA256SUMS from `inputs` in `out`, as `./dev dist`
    makes them; `later`: a day later."""
    shutil.rmtree(out, ignore_errors=True)
    command = [sys.executable, str(MAKE_DIST), "build", "--inputs", str(inputs), "--out",
               str(out)]
    subprocess.run((["faketime", "-f", LATER] if later else []) + command, check=True,
                   stdout=subprocess.DEVNULL, env=_environment(certificate),
                   timeout=PACKAGE_TIMEOUT)
    return Path(out)


def sums_check(folder):
    """`sha256sum -c` over the folder's SHA256SUMS: its exit code."""
    return subprocess.run(["sha256sum", "-c", SUMS_FILE], cwd=folder, capture_output=True,
                          timeout=TOOL_TIMEOUT).returncode


@dataclass(frozen=True)
class Certificate:
    """A throwaway self-signed code-signing certificate with a subject of its
    own, as a PKCS#12 file with a password file beside it."""
    subject: str
    pem: Path
    pfx: Path
    password: Path

    @classmethod
    def make(cls, folder):
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        subject = f"Mirvex throwaway signer {secrets.token_hex(4)}"
        key, pem, pfx, password = (folder / n for n in ("key.pem", "cert.pem", "cert.pfx",
                                                        "password.txt"))
        password.write_text(secrets.token_hex(8) + "\n", encoding="ascii")
        for command in (
                ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                 "-out", pem, "-days", "30", "-subj", f"/CN={subject}",
                 "-addext", "extendedKeyUsage=codeSigning"],
                ["openssl", "pkcs12", "-export", "-inkey", key, "-in", pem, "-out", pfx,
                 "-passout", f"file:{password}"]):
            subprocess.run(command, check=True, capture_output=True, timeout=TOOL_TIMEOUT)
        return cls(subject, pem, pfx, password)

    def signed(self, path):
        """Whether the file carries a valid signature by this certificate."""
        result = subprocess.run(["osslsigncode", "verify", "-in", str(path), "-CAfile",
                                 str(self.pem)], capture_output=True, text=True,
                                timeout=TOOL_TIMEOUT)
        return result.returncode == 0 and f"Subject: /CN={self.subject}" in result.stdout
