#!/usr/bin/env python3
"""Drives the line editor of the real corvante on a terminal inside tmux.

Usage: line_editor_tmux_test.py CORVANTE REPOSITORY_TOP

Types a line into LE's editor on the terminal backend and checks the pane
and the cursor after typing, Backspace, Home, End, Ctrl+Left and
Ctrl+Right, then the value the script got. Exits 77 (skipped) when tmux is
not installed.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from tmux_driver import WAIT_SECONDS, Tmux, stop_shells  # noqa: E402

SKIPPED = 77
PROMPT = "Nome:"

SCRIPT = f"""\
escreve mudo "{PROMPT}" &
le $a
escreve mudo "lido=[" $a "]"
le mudo $k &
"""


def wait_until(condition, describe):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.05)
    raise AssertionError(describe())


def prompt_line(tmux):
    return next((line.rstrip() for line in tmux.pane().splitlines() if line.startswith(PROMPT)), "")


def expect_field(tmux, text, cursor_in_text):
    """Waits until the field shows `text` with the cursor before its character `cursor_in_text`."""
    wanted_line = PROMPT + text
    wanted_cursor = len(PROMPT) + cursor_in_text

    def shown():
        return prompt_line(tmux) == wanted_line and tmux.cursor()[0] == wanted_cursor

    wait_until(shown, lambda: f"wanted {wanted_line!r} with the cursor at column {wanted_cursor}; "
                              f"the pane shows {prompt_line(tmux)!r} with the cursor at {tmux.cursor()}")


def check_editing(folder, corvante):
    script = os.path.join(folder, "editor.cor")
    with open(script, "w") as file:
        file.write(SCRIPT)
    wrapper = os.path.join(folder, "editor.sh")
    with open(wrapper, "w") as file:
        file.write(f"""#!/bin/sh
cd '{folder}'
echo $$ > editor.shell
'{corvante}' --fast --audio null --drive 'C={folder}/c' --speech-log editor.speech '{script}'
echo "EXIT=$?"
exec sleep 60
""")
    os.chmod(wrapper, 0o755)
    tmux = Tmux(folder, "editor")
    tmux.start(wrapper)
    try:
        wait_until(lambda: PROMPT in tmux.pane(), lambda: f"no prompt; the pane shows:\n{tmux.pane()}")
        tmux.keys("ana mariz", literal=True)
        expect_field(tmux, "ana mariz", 9)
        tmux.keys("BSpace")
        expect_field(tmux, "ana mari", 8)
        tmux.keys("Home")
        expect_field(tmux, "ana mari", 0)
        tmux.keys("x", literal=True)
        expect_field(tmux, "xana mari", 1)
        tmux.keys("End")
        expect_field(tmux, "xana mari", 9)
        tmux.keys("a", literal=True)
        expect_field(tmux, "xana maria", 10)
        tmux.keys("C-Left")
        expect_field(tmux, "xana maria", 5)
        tmux.keys("C-Left")
        expect_field(tmux, "xana maria", 0)
        tmux.keys("C-Right")
        expect_field(tmux, "xana maria", 5)
        tmux.keys("BSpace")
        expect_field(tmux, "xanamaria", 4)
        tmux.keys("Enter")
        wait_until(lambda: "lido=[xanamaria]" in tmux.pane(),
                   lambda: f"the value is not shown; the pane shows:\n{tmux.pane()}")
        tmux.keys("Enter")
        wait_until(lambda: "EXIT=0" in tmux.pane(), lambda: f"no normal end; the pane shows:\n{tmux.pane()}")
    finally:
        tmux.stop()
    with open(os.path.join(folder, "editor.speech"), encoding="utf-8") as log:
        heard = log.read().splitlines()
    for cue in ("char: a", "sound: _DEL", "sound: <click>"):
        if cue not in heard:
            raise AssertionError(f"'{cue}' was not heard: {heard}")


def main():
    if shutil.which("tmux") is None:
        print("SKIPPED: tmux is not installed (scripts/packages/terminal.txt lists it)")
        return SKIPPED
    corvante, top = os.path.abspath(sys.argv[1]), sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="corvante-editor-tmux-") as folder:
        os.environ["XDG_CONFIG_HOME"] = os.path.join(folder, "config")
        os.makedirs(os.environ["XDG_CONFIG_HOME"])
        os.environ.pop("COLORTERM", None)
        subprocess.run([os.path.join(top, "scripts", "install-voice"), os.path.join(folder, "c")],
                       check=True, capture_output=True)
        try:
            check_editing(folder, corvante)
        except (AssertionError, subprocess.CalledProcessError, subprocess.TimeoutExpired) as failure:
            print(f"FAILED: {failure}")
            return 1
        finally:
            stop_shells(folder)
    print("line editor on the terminal: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
