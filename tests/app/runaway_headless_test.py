#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A script that never waits, run headless in real time, must still end:
on a scripted Ctrl+Break or close that arrives while it runs (status 0, as
for a waiting script), and on SIGINT, SIGTERM and SIGHUP, as those signals
end a program. The signals are tried once with the sound card's library
started too (its dummy driver), which must not swallow them.

Usage: runaway_headless_test.py CORVANTE
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

RUNAWAY_SCRIPT = """\
escreve mudo "correndo"
seja $i 0
@volta
soma $i 1
desvia @volta
"""

WAIT_SECONDS = 20


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def default_signals():
    """The signals tried keep their default action also when the tests run
    under nohup or in the background of a shell, which ignore some."""
    for number in (signal.SIGHUP, signal.SIGINT, signal.SIGTERM):
        signal.signal(number, signal.SIG_DFL)


def start(corvante, folder, name, extra, environment=None):
    script = os.path.join(folder, "runaway.cor")
    log = os.path.join(folder, name + ".log")
    command = [corvante, "--headless", "--log", log, *extra, script]
    return subprocess.Popen(command, cwd=folder, env=environment, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, preexec_fn=default_signals), log


def wait_until_running(program, log):
    """The moment the script wrote its line and entered its loop."""
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        if os.path.exists(log) and "correndo" in open(log, encoding="utf-8").read():
            return
        if program.poll() is not None:
            fail(f"the program ended (status {program.returncode}) before its loop")
        time.sleep(0.02)
    fail("the script did not start its loop")


def finish(program, what):
    try:
        return program.wait(timeout=WAIT_SECONDS)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
        fail(f"{what} did not end a script that never waits")


def main():
    corvante = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="corvante-runaway-") as folder:
        with open(os.path.join(folder, "runaway.cor"), "w") as file:
            file.write(RUNAWAY_SCRIPT)
        # Keys that arrive by themselves while the script is busy.
        for keys in ("{Wait 300}{Ctrl+Break}", "{Wait 300}{Close}"):
            program, _ = start(corvante, folder, "keys", ["--audio", "null", "--keys", keys])
            status = finish(program, keys)
            if status != 0:
                fail(f"{keys} ended a running script with status {status}, expected 0")
        with_sdl_audio = dict(os.environ, SDL_AUDIODRIVER="dummy")
        cases = [(number, ["--audio", "null"], None) for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)]
        cases += [(number, [], with_sdl_audio) for number in (signal.SIGINT, signal.SIGTERM)]
        for number, extra, environment in cases:
            what = f"{signal.Signals(number).name}{' with SDL audio' if environment else ''}"
            program, log = start(corvante, folder, "signal", extra, environment)
            wait_until_running(program, log)
            program.send_signal(number)
            status = finish(program, what)
            if status != -number:
                fail(f"{what} ended a running script with status {status}, expected {-number}")
    print("runaway scripts end: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
