#!/usr/bin/env python3
"""Runs one script test: SCRIPT.cor through `corvante --headless --fast`.

Beside the script, optional files say what to pass and what to expect:
  NAME.options  extra options for corvante, one per line (before the script)
  NAME.args     arguments after the script, one per line
  NAME.out      the expected console log (--log)
  NAME.speech   the expected speech log (--speech-log)
  NAME.screen   the expected screen at exit (--screen)
  NAME.status   the expected exit status (default 0)
At least one of .out and .speech must exist. Lines of .options may use
{dir}, the script's folder, and {tmp}, a scratch folder of the test.
"""
import difflib
import os
import subprocess
import sys
import tempfile


def read_optional(path):
    if os.path.exists(path):
        with open(path, "rb") as f:
            return f.read()
    return None


def show_difference(what, expected, actual):
    sys.stdout.write(f"--- {what} differs\n")
    diff = difflib.unified_diff(
        expected.decode("utf-8", "replace").splitlines(keepends=True),
        actual.decode("utf-8", "replace").splitlines(keepends=True),
        "expected", "actual")
    sys.stdout.writelines(diff)
    sys.stdout.write("\n")


def main():
    corvante, script = sys.argv[1], sys.argv[2]
    base = script[: -len(".cor")]
    folder = os.path.dirname(os.path.abspath(script))
    expected_out = read_optional(base + ".out")
    expected_speech = read_optional(base + ".speech")
    expected_screen = read_optional(base + ".screen")
    status_text = read_optional(base + ".status")
    expected_status = int(status_text.decode().strip()) if status_text else 0
    if expected_out is None and expected_speech is None:
        print(f"{script}: no .out or .speech file to compare with")
        return 1

    with tempfile.TemporaryDirectory() as tmp:
        def expand(line):
            return line.replace("{dir}", folder).replace("{tmp}", tmp)

        options = []
        for line in (read_optional(base + ".options") or b"").decode().splitlines():
            if line.strip():
                options.append(expand(line.rstrip("\n")))
        arguments = [expand(line) for line in (read_optional(base + ".args") or b"").decode().splitlines()]
        log = os.path.join(tmp, "console.log")
        speech = os.path.join(tmp, "speech.log")
        screen = os.path.join(tmp, "screen.txt")
        command = [corvante, "--headless", "--fast", "--log", log, "--speech-log", speech]
        if expected_screen is not None:
            command += ["--screen", screen]
        command += options + [script] + arguments
        try:
            result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=50, cwd=tmp)
        except subprocess.TimeoutExpired:
            print(f"{script}: timed out")
            return 1

        failed = False
        if result.returncode != expected_status:
            print(f"exit status {result.returncode}, expected {expected_status}")
            failed = True
        for what, expected, path in (("console log", expected_out, log),
                                     ("speech log", expected_speech, speech),
                                     ("screen", expected_screen, screen)):
            if expected is None:
                continue
            actual = read_optional(path) or b""
            if actual != expected:
                show_difference(what, expected, actual)
                failed = True
        if failed:
            sys.stdout.write("stderr:\n" + result.stderr.decode("utf-8", "replace"))
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
