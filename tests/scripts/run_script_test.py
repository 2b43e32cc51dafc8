#!/usr/bin/env python3
"""Runs one script test: SCRIPT.cor through `corvante --headless --fast`.

Beside the script, optional files say what to pass and what to expect:
  NAME.options  extra options for corvante, one per line (before the script)
  NAME.args     arguments after the script, one per line
  NAME.out      the expected console log (--log)
  NAME.speech   the expected speech log (--speech-log)
  NAME.screen   the expected screen at exit (--screen)
  NAME.status   the expected exit status (default 0)
  NAME.stderr   what standard error must end with ({script} is the path
                of the script as given to corvante)
  NAME.peer     a loopback peer to run beside the script: one line, the
                command (with {dir} and {tmp}); it must print
                "READY key=value ..." when it can be reached and is stopped
                when the script has ended. Its values are {key} in .options
                and .args, and the upper-case ones are set in the
                environment of corvante.
At least one of .out and .speech must exist. Lines of .options may use
{dir}, the script's folder, and {tmp}, a scratch folder of the test.

The script runs twice, from its decoded lines and with --text-path, and both
runs must give what is expected.
"""
import difflib
import os
import select
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


def start_peer(command, tmp):
    """Starts the peer and waits for its READY line; (process, values) or (None, reason)."""
    peer = subprocess.Popen(command, cwd=tmp, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    ready, _, _ = select.select([peer.stdout], [], [], 20)
    line = peer.stdout.readline().decode() if ready else ""
    words = line.split()
    if not words or words[0] != "READY":
        stop_peer(peer)
        return None, f"peer did not start: {line!r}"
    return peer, dict(word.split("=", 1) for word in words[1:] if "=" in word)


def stop_peer(peer):
    peer.terminate()
    try:
        peer.wait(5)
    except subprocess.TimeoutExpired:
        peer.kill()
        peer.wait()


def main():
    corvante, script = sys.argv[1], sys.argv[2]
    base = script[: -len(".cor")]
    folder = os.path.dirname(os.path.abspath(script))
    expected_out = read_optional(base + ".out")
    expected_speech = read_optional(base + ".speech")
    expected_screen = read_optional(base + ".screen")
    expected_stderr = read_optional(base + ".stderr")
    status_text = read_optional(base + ".status")
    expected_status = int(status_text.decode().strip()) if status_text else 0
    if expected_out is None and expected_speech is None:
        print(f"{script}: no .out or .speech file to compare with")
        return 1

    expected = (expected_out, expected_speech, expected_screen, expected_stderr, expected_status)
    for extra_options in ([], ["--text-path"]):
        if not run_once(corvante, script, base, folder, expected, extra_options):
            if extra_options:
                print("(run with " + " ".join(extra_options) + ")")
            return 1
    return 0


def run_once(corvante, script, base, folder, expected, extra_options):
    """Runs the script once; returns True when it gave what was expected."""
    expected_out, expected_speech, expected_screen, expected_stderr, expected_status = expected
    with tempfile.TemporaryDirectory() as tmp:
        values = {}

        def expand(line):
            line = line.replace("{dir}", folder).replace("{tmp}", tmp)
            for key, value in values.items():
                line = line.replace("{" + key + "}", value)
            return line

        peer = None
        peer_text = read_optional(base + ".peer")
        if peer_text is not None:
            peer, values = start_peer(expand(peer_text.decode().strip()).split(), tmp)
            if peer is None:
                print(f"{script}: {values}")
                return False
        environment = dict(os.environ)
        environment.update({key: value for key, value in values.items() if key.isupper()})

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
        command += extra_options + options + [script] + arguments
        try:
            result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=50, cwd=tmp,
                                    env=environment)
        except subprocess.TimeoutExpired:
            print(f"{script}: timed out")
            return False
        finally:
            if peer is not None:
                stop_peer(peer)

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
        if expected_stderr is not None:
            tail = expected_stderr.replace(b"{script}", script.encode())
            if not result.stderr.endswith(tail):
                show_difference("end of stderr", tail, result.stderr)
                failed = True
        if failed:
            sys.stdout.write("stderr:\n" + result.stderr.decode("utf-8", "replace"))
            return False
    return True


if __name__ == "__main__":
    sys.exit(main())
