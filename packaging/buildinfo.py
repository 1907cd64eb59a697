"""BUILDINFO: what a rebuild needs to give the same bytes, in the manner of
Debian's .buildinfo files. The same commit rebuilds to the same downloads
only with the same tools (two osslsigncode versions sign differently, two
compilers compile differently), so beside the commit and its time it names
the exact Debian package versions of everything that shapes the bytes.
"""

import os
import platform
import subprocess
import sys
from pathlib import Path

from files import write_atomically

BUILDINFO_FILE = "BUILDINFO"
# Set by a build from a copy of the sources outside git (the
# reproducibility test's second build): the commit they are a copy of.
COMMIT_VARIABLE = "MIRVEX_SOURCE_COMMIT"
UNKNOWN = "unknown"
OS_RELEASE = Path("/etc/os-release")
# The Debian packages whose versions shape the downloads' bytes.
PACKAGES = (
    "g++-mingw-w64-x86-64-posix",  # the compiler
    "gcc-mingw-w64-x86-64-posix-runtime",  # libstdc++ and libgcc, linked in
    "mingw-w64-x86-64-dev",  # Windows headers and the C runtime, linked in
    "binutils-mingw-w64-x86-64",  # linker, resource compiler
    "libz-mingw-w64-dev",  # zlib, linked in
    "nsis",  # makensis
    "nsis-common",  # the installer's stub and plug-ins
    "osslsigncode",  # signatures
    "python3",  # the packaging scripts
    "zlib1g",  # the zip's compression, through Python
)
TOOL_TIMEOUT = 60


def _run(command):
    """A command's output, or None when it cannot run or fails."""
    try:
        result = subprocess.run(command, capture_output=True, text=True, timeout=TOOL_TIMEOUT)
    except (OSError, subprocess.TimeoutExpired):
        return None
    return result.stdout.strip() if result.returncode == 0 else None


def source_commit(source_dir):
    """The commit the sources are, with "+modified" when tracked files
    differ from it (then the commit alone does not rebuild these bytes)."""
    named = os.environ.get(COMMIT_VARIABLE, "").strip()
    if named:
        return named
    git = ["git", "-C", str(source_dir)]
    commit = _run(git + ["rev-parse", "HEAD"])
    if not commit:
        return UNKNOWN
    changes = _run(git + ["status", "--porcelain", "--untracked-files=no"])
    return commit + ("+modified" if changes else "")


def package_version(name):
    return _run(["dpkg-query", "-W", "-f", "${Version}", name]) or "not installed"


def _python_package():
    """The Debian package of the Python running this; None for another."""
    owner = _run(["dpkg-query", "-S", os.path.realpath(sys.executable)])
    return owner.split(":")[0] if owner else None


def _system():
    try:
        for line in OS_RELEASE.read_text(encoding="utf-8").splitlines():
            if line.startswith("PRETTY_NAME="):
                return line.partition("=")[2].strip('"')
    except OSError:
        pass
    return UNKNOWN


def buildinfo_text(inputs, epoch):
    python = platform.python_version()
    owner = _python_package()
    python += (f", {owner} (= {package_version(owner)})" if owner
               else ", not from a Debian package")
    depends = ",\n".join(f" {name} (= {package_version(name)})" for name in PACKAGES)
    return (f"Format: 1.0\n"
            f"Source: {inputs['product']['name']}\n"
            f"Version: {inputs['version']}\n"
            f"Commit: {source_commit(inputs['source_dir'])}\n"
            f"Source-Date-Epoch: {epoch}\n"
            f"Build-Origin: {_system()}\n"
            f"Build-Architecture: {_run(['dpkg', '--print-architecture']) or UNKNOWN}\n"
            f"Python: {python}\n"
            f"Installed-Build-Depends:\n{depends}\n")


def write_buildinfo(out, inputs, epoch):
    return write_atomically(Path(out) / BUILDINFO_FILE,
                            buildinfo_text(inputs, epoch).encode("utf-8"))
