#!/usr/bin/env python3
"""Throwaway TLS certificates for the stand-in update service, made at test
time in the build folder and never committed.

Two self-signed certificates for 127.0.0.1, each with its own key:
    trusted    added to the ROOT store of a test Wine prefix (and of no other
               store), so that an HTTPS stand-in with it can be reached;
    untrusted  trusted nowhere: an HTTPS stand-in with it is what a program
               must refuse.

    python3 tools/test_certificates.py FOLDER [--trust TRUSTROOT_EXE]
makes the two in FOLDER when they are missing; with --trust it also adds the
trusted one to the local machine's ROOT store of the Wine prefix in
$WINEPREFIX, through the store functions as a Windows program would
(TrustRoot.exe, built in tools/), not by writing the store's registry keys.
"""

import argparse
import os
import subprocess
import sys
from pathlib import Path

NAMES = ("trusted", "untrusted")
SUBJECT = "/CN=127.0.0.1"
# Wine matches the address against DNS names only, Windows against the IP
# entry: both are given.
ALT_NAMES = "subjectAltName=IP:127.0.0.1,DNS:127.0.0.1"
VALID_DAYS = 3650
OPENSSL_TIMEOUT = 60
WINE_TIMEOUT = 120


def paths(folder, name):
    folder = Path(folder)
    return folder / f"{name}.pem", folder / f"{name}.key"


def ensure(folder):
    """{name: (certificate file, key file)}, made with openssl when missing."""
    Path(folder).mkdir(parents=True, exist_ok=True)
    made = {}
    for name in NAMES:
        certificate, key = paths(folder, name)
        if not (certificate.is_file() and key.is_file()):
            subprocess.run(
                ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", str(key),
                 "-out", str(certificate), "-days", str(VALID_DAYS), "-subj", SUBJECT,
                 "-addext", ALT_NAMES],
                check=True, timeout=OPENSSL_TIMEOUT, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)
        made[name] = (str(certificate), str(key))
    return made


def trust_command(certificate, tool):
    """The command that adds `certificate` to a Wine prefix's trusted roots
    with `tool` (TrustRoot.exe)."""
    windows_path = "Z:" + str(Path(certificate).resolve()).replace("/", "\\")
    return ["wine", str(tool), windows_path]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--trust", metavar="TRUSTROOT_EXE",
                        help="add the trusted certificate to $WINEPREFIX's ROOT store with "
                             "this TrustRoot.exe")
    args = parser.parse_args()
    certificates = ensure(args.folder)
    if args.trust:
        if not os.environ.get("WINEPREFIX"):
            print("--trust needs WINEPREFIX: the test prefix, never ~/.wine", file=sys.stderr)
            return 2
        subprocess.run(trust_command(certificates["trusted"][0], args.trust), check=True,
                       timeout=WINE_TIMEOUT, stdout=subprocess.DEVNULL)
    return 0


if __name__ == "__main__":
    sys.exit(main())
