#!/usr/bin/env python3
"""Runs `corvante --check` on every script of the project.

usage: check_scripts.py CORVANTE TOP

Every .cor file under TOP/app, TOP/data, TOP/bench and TOP/tests (but
tests/fuzz/corpus, whose seeds are broken on purpose) is checked. A script
must check clean (no output, status 0), unless NAME.check beside it holds
what the checker must report for it, line for line, with the script named
by its file name (status 1 then).
"""
import os
import subprocess
import sys

SKIPPED = [os.path.join("tests", "fuzz", "corpus")]


def scripts_under(top):
    for root in ("app", "data", "bench", "tests"):
        for folder, folders, files in os.walk(os.path.join(top, root)):
            relative = os.path.relpath(folder, top)
            if any(relative == skipped or relative.startswith(skipped + os.sep) for skipped in SKIPPED):
                folders[:] = []
                continue
            folders.sort()
            for name in sorted(files):
                if name.endswith(".cor"):
                    yield os.path.join(folder, name)


def main():
    corvante, top = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    failures = 0
    count = 0
    for script in scripts_under(top):
        count += 1
        folder, name = os.path.split(script)
        expected_path = script[: -len(".cor")] + ".check"
        expected = b""
        if os.path.exists(expected_path):
            with open(expected_path, "rb") as f:
                expected = f.read()
        result = subprocess.run([corvante, "--check", name], cwd=folder, capture_output=True, timeout=60)
        expected_status = 1 if expected else 0
        if result.stderr != expected or result.returncode != expected_status or result.stdout:
            failures += 1
            print(f"{os.path.relpath(script, top)}: status {result.returncode}, expected {expected_status}")
            print("  reported:\n" + result.stderr.decode("utf-8", "replace"))
            print("  expected:\n" + expected.decode("utf-8", "replace"))
    if count < 50:
        print(f"only {count} scripts found under {top}")
        return 1
    print(f"{count} scripts checked, {failures} not as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
