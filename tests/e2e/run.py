#!/usr/bin/env python3
"""Runs every end-to-end test (tests/e2e/test_*.py) against the built
Mirvex.exe under Wine in a private Xvfb, then prints one summary line.

    python3 tests/e2e/run.py --build build [--exe PATH] [--tools DIR] [-k PATTERN]

Exit code 0 when every test passed, 1 otherwise.
"""

import argparse
import shutil
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import e2ecase  # noqa: E402
from harness import TOOL_NAMES, Session, find_tools_dir  # noqa: E402

# xrandr cuts a display into monitors; the last four build, sign and check
# the downloads.
REQUIRED_COMMANDS = ("wine", "wineserver", "Xvfb", "xdotool", "xrandr", "makensis",
                     "osslsigncode", "openssl", "faketime")


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the build folder")
    parser.add_argument("--exe", help="Mirvex.exe to test (default BUILD/dist/Mirvex.exe)")
    parser.add_argument("--tools", help="folder of ClickTarget/WinCtl/MinimalWindow/TrustRoot.exe")
    parser.add_argument("-k", dest="patterns", action="append",
                        help="run only tests whose name matches (unittest -k)")
    return parser.parse_args()


def check_prerequisites(exe, tools):
    problems = [f"{c} is not installed" for c in REQUIRED_COMMANDS if not shutil.which(c)]
    for program in (exe, exe.parent / "MirvexService.exe"):
        if not program.is_file():
            problems.append(f"{program} is missing (build it first)")
    if tools is None:
        problems.append(", ".join(TOOL_NAMES) + " are not all built")
    return problems


def main():
    args = parse_args()
    build = Path(args.build).resolve()
    exe = Path(args.exe).resolve() if args.exe else build / "dist" / "Mirvex.exe"
    tools = Path(args.tools).resolve() if args.tools else find_tools_dir(build)
    problems = check_prerequisites(exe, tools)
    if problems:
        for problem in problems:
            print(f"e2e: {problem}", file=sys.stderr)
        return 1

    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [p if "*" in p else f"*{p}*" for p in args.patterns]
    suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))

    started = time.monotonic()
    with Session(build, exe=exe, tools_dir=tools, name="e2e") as session:
        e2ecase.use_session(session)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    # A test with failing subtests has one entry per subtest: count tests.
    failed = len({getattr(test, "test_case", test).id()
                  for test, _ in result.failures + result.errors}
                 | {test.id() for test in result.unexpectedSuccesses})
    skipped = len(result.skipped)
    passed = result.testsRun - failed - skipped
    print(f"e2e ({time.monotonic() - started:.0f} s):")
    print(f"{passed} passed, {failed} failed, {skipped} skipped")
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
