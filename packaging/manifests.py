"""The package managers' manifests for one release: a winget multi-file
manifest for the installer and a Scoop app manifest for the portable zip.

Everything in them comes from the build's inputs (names, version, licence,
tags, addresses: CMakeLists.txt) and from the files just built (their
SHA-256), so the same commit and settings give the same bytes. The YAML is
written here rather than by a library, so that its bytes depend on nothing
but this file: mappings and lists in a fixed order, and every string that a
YAML reader could take for anything but that string in double quotes.
"""

import json
import re
import time
from pathlib import Path

from files import write_atomically

WINGET_DIR = "winget"
SCOOP_DIR = "scoop"
WINGET_SCHEMA_VERSION = "1.10.0"
LOCALE = "en-US"
# NSIS's own switch for a silent run; the installer has no other mode
# without its window, so winget's "silent with progress" runs silent too.
SILENT_SWITCH = "/S"
# NSIS's exit code when the user cancels the installer.
EXIT_CANCELLED = 1
# The installer's exit code when Mirvex runs (Mirvex.nsi takes it from here).
EXIT_MIRVEX_RUNNING = 2
# The programs need Windows 10 (_WIN32_WINNT in CMakeLists.txt).
MINIMUM_OS_VERSION = "10.0.0.0"
RECORD_FILE = "Mirvex.lst"
MAIN_PROGRAM = "Mirvex.exe"

# Words a YAML 1.1 reader takes for booleans or null when unquoted.
_YAML_WORDS = {"y", "n", "yes", "no", "on", "off", "true", "false", "null", "~"}
# A string that reads back as itself unquoted: starts with a letter or a
# slash, holds no ": " or " #", and has no space at either end.
_PLAIN = re.compile(r"[A-Za-z/][A-Za-z0-9 ,._/:+-]*")


def _scalar(value):
    if isinstance(value, bool):
        raise TypeError("no booleans in the manifests")
    if isinstance(value, int):
        return str(value)
    if (_PLAIN.fullmatch(value) and ": " not in value and " #" not in value
            and not value.endswith(" ") and value.lower() not in _YAML_WORDS):
        return value
    return json.dumps(value, ensure_ascii=False)


def _yaml_lines(value, indent):
    """Block-style YAML for a mapping; lists sit at their key's indent, as
    winget's own manifests have them."""
    pad = " " * indent
    lines = []
    for key, item in value.items():
        if isinstance(item, dict):
            lines.append(f"{pad}{key}:")
            lines += _yaml_lines(item, indent + 2)
        elif isinstance(item, list):
            lines.append(f"{pad}{key}:")
            for element in item:
                if isinstance(element, dict):
                    nested = _yaml_lines(element, indent + 2)
                    lines.append(f"{pad}- {nested[0].lstrip()}")
                    lines += nested[1:]
                else:
                    lines.append(f"{pad}- {_scalar(element)}")
        else:
            lines.append(f"{pad}{key}: {_scalar(item)}")
    return lines


def to_yaml(document, manifest_type):
    header = ("# Written by ./dev dist (packaging/manifests.py).\n"
              "# yaml-language-server: $schema=https://aka.ms/winget-manifest."
              f"{manifest_type}.{WINGET_SCHEMA_VERSION}.schema.json\n\n")
    return header + "\n".join(_yaml_lines(document, 0)) + "\n"


def package_identifier(product):
    return f"{product['publisher']}.{product['name']}"


def download_url(release_base, path):
    return f"{release_base}/{Path(path).name}"


def winget_documents(inputs, release_base, setup, setup_sha256, epoch):
    """The three documents of the winget manifest, by manifest type."""
    product = inputs["product"]
    common = {"PackageIdentifier": package_identifier(product),
              "PackageVersion": inputs["version"]}
    tail = {"ManifestVersion": WINGET_SCHEMA_VERSION}
    version = {**common, "DefaultLocale": LOCALE, "ManifestType": "version", **tail}
    installer = {
        **common,
        "InstallerLocale": LOCALE,
        "MinimumOSVersion": MINIMUM_OS_VERSION,
        "InstallerType": "nullsoft",
        "Scope": "user",
        "InstallModes": ["interactive", "silent", "silentWithProgress"],
        "InstallerSwitches": {"Silent": SILENT_SWITCH, "SilentWithProgress": SILENT_SWITCH},
        "ExpectedReturnCodes": [
            {"InstallerReturnCode": EXIT_CANCELLED, "ReturnResponse": "cancelledByUser"},
            {"InstallerReturnCode": EXIT_MIRVEX_RUNNING, "ReturnResponse": "packageInUse"},
        ],
        # The installer installs over an earlier one, keeping the user's data.
        "UpgradeBehavior": "install",
        # The name of the installer's uninstall entry (Mirvex.nsi).
        "ProductCode": product["name"],
        "ReleaseDate": time.strftime("%Y-%m-%d", time.gmtime(epoch)),
        "Installers": [{
            "Architecture": "x64",
            "InstallerUrl": download_url(release_base, setup),
            "InstallerSha256": setup_sha256.upper(),
        }],
        "ManifestType": "installer",
        **tail,
    }
    locale = {
        **common,
        "PackageLocale": LOCALE,
        "Publisher": product["publisher"],
        "PublisherUrl": product["publisher_url"],
        "PackageName": product["name"],
        "PackageUrl": product["product_url"],
        "License": product["license"],
        "Copyright": f"© {product['publisher']}",
        "ShortDescription": product["description"],
        "Moniker": product["name"].lower(),
        "Tags": product["tags"],
        "ManifestType": "defaultLocale",
        **tail,
    }
    return {"version": version, "installer": installer, "defaultLocale": locale}


# Scoop links the persisted record list into the program folder with a hard
# link, and Mirvex saves by putting a new file in its place, which ends the
# link. So before an update or an uninstall the list in the program folder,
# when it is no longer that link, becomes the kept one, and a list that
# Mirvex deleted (it was emptied) is not kept; a first install starts with an
# empty list, since Scoop would make a folder of a persisted name that does
# not exist yet.
_SCOOP_PRE_INSTALL = [
    f'if (!(Test-Path "$persist_dir\\{RECORD_FILE}")) {{ '
    f'New-Item "$dir\\{RECORD_FILE}" -ItemType File | Out-Null }}',
]
_SCOOP_PRE_UNINSTALL = [
    f'$list = Get-Item "$dir\\{RECORD_FILE}" -ErrorAction SilentlyContinue',
    "if ($list -and !$list.LinkType -and $persist_dir -and (Test-Path $persist_dir)) { "
    f'Copy-Item $list.FullName "$persist_dir\\{RECORD_FILE}" -Force }}',
    f'if (!$list -and $persist_dir) {{ Remove-Item "$persist_dir\\{RECORD_FILE}" '
    "-ErrorAction SilentlyContinue }",
]


def scoop_document(inputs, release_base, portable, portable_sha256):
    product = inputs["product"]
    return {
        "version": inputs["version"],
        "description": product["description"],
        "homepage": product["product_url"],
        "license": product["license"],
        "architecture": {"64bit": {"url": download_url(release_base, portable),
                                   "hash": portable_sha256}},
        "shortcuts": [[MAIN_PROGRAM, product["name"]]],
        "persist": RECORD_FILE,
        "pre_install": _SCOOP_PRE_INSTALL,
        "pre_uninstall": _SCOOP_PRE_UNINSTALL,
    }


def write_manifests(out, inputs, release_base, epoch, setup, setup_sha256, portable,
                    portable_sha256):
    """Writes winget/ and scoop/ into `out`; returns the files written."""
    out = Path(out)
    identifier = package_identifier(inputs["product"])
    names = {"version": f"{identifier}.yaml", "installer": f"{identifier}.installer.yaml",
             "defaultLocale": f"{identifier}.locale.{LOCALE}.yaml"}
    documents = winget_documents(inputs, release_base, setup, setup_sha256, epoch)
    written = [write_atomically(out / WINGET_DIR / names[kind],
                                to_yaml(document, kind).encode("utf-8"))
               for kind, document in documents.items()]
    scoop = scoop_document(inputs, release_base, portable, portable_sha256)
    name = f"{inputs['product']['name'].lower()}.json"
    text = json.dumps(scoop, indent=4, ensure_ascii=False) + "\n"
    written.append(write_atomically(out / SCOOP_DIR / name, text.encode("utf-8")))
    return written
