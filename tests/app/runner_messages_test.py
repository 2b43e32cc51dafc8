#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What corvante tells a new user before and after a run: scripts saved
with a byte-order mark run; a device or a file with NUL bytes is refused
as not a script (status 2); a --ini file that is not there, and a --screen
file that cannot be written, are named with the program's name and fail
the run; output that is not a terminal makes it say on standard error
that it runs headless, and why.

Usage: runner_messages_test.py CORVANTE
"""

import os
import subprocess
import sys
import tempfile


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def run(corvante, *arguments, folder):
    return subprocess.run([corvante, *arguments], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=30)


def write(path, data):
    with open(path, "wb") as file:
        file.write(data)
    return path


def check_marks(corvante, folder):
    text = 'escreve mudo "ação"\n'
    for name, data in (("utf8", b"\xef\xbb\xbf" + text.encode("utf-8")),
                       ("utf16le", b"\xff\xfe" + text.encode("utf-16-le")),
                       ("utf16be", b"\xfe\xff" + text.encode("utf-16-be"))):
        script = write(os.path.join(folder, name + ".cor"), data)
        screen = os.path.join(folder, name + ".screen")
        result = run(corvante, "--headless", "--fast", "--audio", "null", "--screen", screen, script, folder=folder)
        if result.returncode != 0:
            fail(f"{name}: status {result.returncode}: {result.stderr!r}")
        shown = open(screen, encoding="utf-8").read().splitlines()
        if not shown or shown[0] != "ação":
            fail(f"{name}: the screen shows {shown[:2]!r}")


def check_not_scripts(corvante, folder):
    binary = write(os.path.join(folder, "programa.cor"), b"\x7fELF\x02\x01\x01\x00\x00\x00escreve 1\n")
    for path in ("/dev/zero", binary):
        result = run(corvante, "--headless", "--fast", "--audio", "null", path, folder=folder)
        if result.returncode != 2 or b"not a script" not in result.stderr:
            fail(f"{path}: status {result.returncode}, {result.stderr!r}")


def check_options(corvante, folder):
    script = write(os.path.join(folder, "ok.cor"), b'escreve mudo "ok"\n')
    missing_ini = os.path.join(folder, "nao-existe.ini")
    result = run(corvante, "--headless", "--fast", "--audio", "null", "--ini", missing_ini, script, folder=folder)
    if result.returncode != 2 or not result.stderr.startswith(b"corvante: ") \
            or missing_ini.encode() not in result.stderr:
        fail(f"--ini with a missing file: status {result.returncode}, {result.stderr!r}")
    unwritable = os.path.join(folder, "nao-existe", "tela.txt")
    result = run(corvante, "--headless", "--fast", "--audio", "null", "--screen", unwritable, script, folder=folder)
    if result.returncode == 0 or not result.stderr.startswith(b"corvante: ") \
            or b"cannot write the screen file" not in result.stderr:
        fail(f"--screen to an unwritable place: status {result.returncode}, {result.stderr!r}")


def check_headless_note(corvante, folder):
    script = write(os.path.join(folder, "ok.cor"), b'escreve mudo "ok"\n')
    # (Without a voice installed the run then ends on the missing voice;
    # only the note matters here.)
    result = run(corvante, "--fast", "--audio", "null", script, folder=folder)
    if b"running headless" not in result.stderr or b"not terminals" not in result.stderr:
        fail(f"output to a pipe: status {result.returncode}, {result.stderr!r}")
    # Asked for, it goes without saying.
    result = run(corvante, "--headless", "--fast", "--audio", "null", script, folder=folder)
    if b"headless" in result.stderr:
        fail(f"--headless still explained itself: {result.stderr!r}")


def main():
    corvante = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="corvante-messages-") as folder:
        os.environ["XDG_CONFIG_HOME"] = os.path.join(folder, "config")
        os.environ["XDG_DATA_HOME"] = os.path.join(folder, "data")
        check_marks(corvante, folder)
        check_not_scripts(corvante, folder)
        check_options(corvante, folder)
        check_headless_note(corvante, folder)
    print("runner messages: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
