#!/usr/bin/env python3
"""Throwaway TLS certificates for the stand-in update service, made at test
time in the build folder and never committed.

Two self-signed certificates for 127.0.0.1, each with its own key:
    trusted    added to the ROOT store of a test Wine prefix (and of no other
               store), so that an HTTPS stand-in with it can be reached;
    untrusted  trusted nowhere: an HTTPS stand-in with it is what a program
               must refuse.

    python3 tools/test_certificates.py FOLDER [--trust]
makes the two in FOLDER when they are missing; with --trust it also adds the
trusted one to the ROOT store of the Wine prefix in $WINEPREFIX.
"""

import argparse
import hashlib
import os
import ssl
import struct
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
# Where Windows keeps the machine's trusted roots: one key per certificate,
# named by its SHA-1 thumbprint, whose value Blob holds the serialized
# certificate.
ROOT_STORE_KEY = r"HKLM\Software\Microsoft\SystemCertificates\Root\Certificates"
# A serialized store element: property id, encoding, length, then the data.
CERTIFICATE_ELEMENT = 0x20
X509_ASN_ENCODING = 1


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


def trust_command(certificate):
    """The `wine reg add` that puts `certificate` into a prefix's ROOT store."""
    der = ssl.PEM_cert_to_DER_cert(Path(certificate).read_text(encoding="ascii"))
    thumbprint = hashlib.sha1(der).hexdigest().upper()
    blob = struct.pack("<III", CERTIFICATE_ELEMENT, X509_ASN_ENCODING, len(der)) + der
    return ["wine", "reg", "add", rf"{ROOT_STORE_KEY}\{thumbprint}", "/v", "Blob", "/t",
            "REG_BINARY", "/d", blob.hex(), "/f"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--trust", action="store_true",
                        help="add the trusted certificate to $WINEPREFIX's ROOT store")
    args = parser.parse_args()
    certificates = ensure(args.folder)
    if args.trust:
        if not os.environ.get("WINEPREFIX"):
            print("--trust needs WINEPREFIX: the test prefix, never ~/.wine", file=sys.stderr)
            return 2
        subprocess.run(trust_command(certificates["trusted"][0]), check=True,
                       timeout=WINE_TIMEOUT, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    return 0


if __name__ == "__main__":
    sys.exit(main())
