#!/usr/bin/env python3
"""Drives the real corvante on a terminal inside tmux and reads the pane back.

Usage: terminal_tmux_test.py CORVANTE REPOSITORY_TOP

Checks text and colours on the screen, a line read with LE (typing,
Backspace, Enter), single keys read with LE & (arrows, a function key, a
lone Esc, and Ctrl+Enter / Ctrl+Backspace through tmux's extended keys),
and that the terminal's settings (stty -g) are the same after a normal end
and after the program was killed with SIGTERM, that the console's last
text is left on the terminal after a normal end, and that a program started
by a plain EXECUTA gets the user's settings and the console comes back
drawn whole; a terminal smaller than 80x25 is said once at the bottom and shows the
row being typed on,
a hang-up ends the program by itself, a script that never waits still
ends on Ctrl+\\ and on SIGINT, SIGTERM and SIGHUP, and the braille chord keyboard
asked for by the settings is refused with a note. Exits 77 (skipped) when tmux
is not installed.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from tmux_driver import WAIT_SECONDS, Tmux, stop_shells  # noqa: E402

SKIPPED = 77

KEYS_SCRIPT = """\
cor 14
fundo 1
escreve mudo "Ola terminal"
cor 7
fundo 0
escreve mudo "Digite:" &
le mudo $a
escreve mudo "lido=[" $a "]"
le mudo $k &
escreve mudo "seta=" $k
le mudo $k &
escreve mudo "f5=" $k
le mudo $k &
escreve mudo "esc=" $k
le mudo $k &
escreve mudo "ctrlenter=" $k
le mudo $k &
escreve mudo "ctrlbs=" $k
escreve mudo "fim"
le mudo $k &
"""

WAITING_SCRIPT = """\
escreve mudo "esperando"
le mudo $k &
"""

# A script that never waits: it must still end on Ctrl+\\ (the terminal's
# Ctrl+Break) and on SIGINT, SIGTERM and SIGHUP.
RUNAWAY_SCRIPT = """\
escreve mudo "correndo"
seja $i 0
@volta
soma $i 1
desvia @volta
"""

# The line being typed is the console's last row, which an 80x24 terminal
# cannot show in place.
SMALL_SCRIPT = """\
repete $i 24
    escreve mudo "linha " $i
fim repete
escreve mudo "Digite:" &
le mudo $a
escreve mudo "lido=" $a
le mudo $k &
"""

# A plain EXECUTA lends the terminal, as the user set it up, to the program.
HANDOVER_SCRIPT = """\
escreve mudo "antes"
executa "{child}"
escreve mudo "depois"
le mudo $k &
"""


def read(path):
    with open(path) as file:
        return file.read()


def wrapper(folder, corvante, script, name):
    """A shell that notes the terminal's settings around one run, then stays."""
    path = os.path.join(folder, name + ".sh")
    with open(path, "w") as file:
        file.write(f"""#!/bin/sh
cd '{folder}'
# The shell outlives a hang-up to note how the program ended.
trap '' HUP
echo $$ > {name}.shell
stty -g > {name}.before
sh -c 'echo $$ > {name}.pid; exec "$0" "$@"' '{corvante}' --fast --audio null \\
    --drive 'C={folder}/c' --speech-log {name}.speech '{script}'
status=$?
echo $status > {name}.status
echo "EXIT=$status"
stty -g > {name}.after
echo "DONE {name}"
exec sleep 60
""")
    os.chmod(path, 0o755)
    return path


def check_keys(folder, corvante):
    script = os.path.join(folder, "keys.cor")
    with open(script, "w") as file:
        file.write(KEYS_SCRIPT)
    tmux = Tmux(folder, "keys")
    tmux.start(wrapper(folder, corvante, script, "keys"), extended_keys=True)
    try:
        tmux.wait_for("Digite:")
        # The settings ask for the braille chord keyboard, which needs key
        # releases that tmux does not report: the user is told so.
        tmux.wait_for("Teclado braille desligado")
        coloured = tmux.pane(colours=True)
        first = next(line for line in coloured.splitlines() if "Ola terminal" in line)
        # Yellow on blue: the nearest of the terminal's 16 colours.
        if "93" not in first.split("Ola")[0] or "44" not in first.split("Ola")[0]:
            raise AssertionError(f"no yellow on blue before the text: {first!r}")
        tmux.keys("abcx", literal=True)
        tmux.keys("BSpace")
        tmux.keys("d", literal=True)
        pane = tmux.wait_for("Digite:abcd")
        if "Teclado braille" in pane:
            raise AssertionError(f"the note stayed after a key:\n{pane}")
        tmux.keys("Enter")
        tmux.wait_for("lido=[abcd]")
        tmux.keys("Up")
        tmux.wait_for("seta=#0#72")
        tmux.keys("F5")
        tmux.wait_for("f5=#0#63")
        tmux.keys("Escape")
        tmux.wait_for("esc=#27")
        tmux.keys("C-Enter")
        tmux.wait_for("ctrlenter=#10")
        # Byte 127 comes back as itself, shown as the console's glyph.
        tmux.keys("C-BSpace")
        tmux.wait_for("ctrlbs=\u2302")
        tmux.wait_for("fim")
        tmux.keys("Enter")
        tmux.wait_for("DONE keys")
        pane = tmux.pane()
        if "EXIT=0" not in pane:
            raise AssertionError(f"the program did not end normally:\n{pane}")
        # The console's last text stays on the terminal's own screen,
        # above what the shell wrote after the end.
        kept = pane.split("EXIT=0")[0]
        for text in ("Ola terminal", "Digite:abcd", "lido=[abcd]", "fim"):
            if text not in kept:
                raise AssertionError(f"'{text}' was not left on the terminal after the end:\n{pane}")
    finally:
        tmux.stop()
    if read(os.path.join(folder, "keys.before")) != read(os.path.join(folder, "keys.after")):
        raise AssertionError("the terminal's settings changed after a normal end")


def check_killed(folder, corvante):
    script = os.path.join(folder, "waiting.cor")
    with open(script, "w") as file:
        file.write(WAITING_SCRIPT)
    tmux = Tmux(folder, "waiting")
    tmux.start(wrapper(folder, corvante, script, "waiting"), extended_keys=True)
    try:
        tmux.wait_for("esperando")
        # Smaller than the console: it says so on its last row and goes on.
        tmux.run("resize-window", "-t", "e2e", "-x", "60", "-y", "20")
        tmux.wait_for("60x20")
        pid = int(read(os.path.join(folder, "waiting.pid")).strip())
        os.kill(pid, signal.SIGTERM)
        pane = tmux.wait_for("DONE waiting")
        if "EXIT=143" not in pane:
            raise AssertionError(f"SIGTERM did not end the program as SIGTERM does:\n{pane}")
    finally:
        tmux.stop()
    if read(os.path.join(folder, "waiting.before")) != read(os.path.join(folder, "waiting.after")):
        raise AssertionError("the terminal's settings changed after SIGTERM")


def check_runaway(folder, corvante):
    script = os.path.join(folder, "runaway.cor")
    with open(script, "w") as file:
        file.write(RUNAWAY_SCRIPT)
    # How each way of stopping must end the program: Ctrl+\\ closes it as
    # Ctrl+Break does (status 0), a SIGHUP as a hang-up does, SIGINT and
    # SIGTERM as those signals do.
    stops = [("key", None, 0), ("hup", signal.SIGHUP, 0), ("int", signal.SIGINT, 130),
             ("term", signal.SIGTERM, 143)]
    for how, number, expected in stops:
        name = "runaway-" + how
        tmux = Tmux(folder, name)
        tmux.start(wrapper(folder, corvante, script, name), extended_keys=True)
        try:
            tmux.wait_for("correndo")
            if number is None:
                tmux.keys("C-\\")
            else:
                pid = int(read(os.path.join(folder, name + ".pid")).strip())
                os.kill(pid, number)
            pane = tmux.wait_for("DONE " + name)
            if f"EXIT={expected}" not in pane:
                raise AssertionError(f"the running script did not end as {how} should end it:\n{pane}")
        finally:
            tmux.stop()
        if read(os.path.join(folder, name + ".before")) != read(os.path.join(folder, name + ".after")):
            raise AssertionError(f"the terminal's settings changed after {how} ended a running script")


def check_small(folder, corvante):
    script = os.path.join(folder, "small.cor")
    with open(script, "w") as file:
        file.write(SMALL_SCRIPT)
    tmux = Tmux(folder, "small")
    tmux.start(wrapper(folder, corvante, script, "small"), extended_keys=True)
    try:
        tmux.wait_for("Digite:")
        tmux.run("resize-window", "-t", "e2e", "-x", "80", "-y", "24")
        # Said once, whole, and the row typed on in sight below it.
        pane = tmux.wait_for("80x24 menor que 80x25: a tela acompanha o cursor.")
        if "Digite:" not in pane:
            raise AssertionError(f"the row being typed on is not shown:\n{pane}")
        tmux.keys("xy", literal=True)
        pane = tmux.wait_for("Digite:xy")
        if "menor que" in pane:
            raise AssertionError(f"the note stayed after a key:\n{pane}")
        tmux.keys("Enter")
        tmux.wait_for("lido=xy")
        tmux.keys("Enter")
        tmux.wait_for("DONE small")
    finally:
        tmux.stop()


def check_hangup(folder, corvante):
    script = os.path.join(folder, "hangup.cor")
    with open(script, "w") as file:
        file.write(WAITING_SCRIPT)
    tmux = Tmux(folder, "hangup")
    tmux.start(wrapper(folder, corvante, script, "hangup"), extended_keys=True)
    try:
        tmux.wait_for("esperando")
    finally:
        # The terminal goes away under the waiting program.
        tmux.stop()
    status_path = os.path.join(folder, "hangup.status")
    deadline = time.monotonic() + WAIT_SECONDS
    while not os.path.exists(status_path) and time.monotonic() < deadline:
        time.sleep(0.05)
    if not os.path.exists(status_path):
        raise AssertionError("the program did not end after the terminal hung up")
    time.sleep(0.1)
    status = int(read(status_path).strip() or "-1")
    if not 0 <= status < 128:
        raise AssertionError(f"the program ended by a signal ({status}) after a hang-up, not by itself")


def check_handover(folder, corvante):
    child = os.path.join(folder, "child.sh")
    with open(child, "w") as file:
        file.write(f"#!/bin/sh\nstty -g > '{folder}/child.stty'\necho child-ran\n")
    os.chmod(child, 0o755)
    script = os.path.join(folder, "handover.cor")
    with open(script, "w") as file:
        file.write(HANDOVER_SCRIPT.format(child=child))
    tmux = Tmux(folder, "handover")
    tmux.start(wrapper(folder, corvante, script, "handover"), extended_keys=True)
    try:
        pane = tmux.wait_for("depois")
        if "antes" not in pane or "child-ran" in pane:
            raise AssertionError(f"the console was not drawn again after the program:\n{pane}")
        tmux.keys("Enter")
        tmux.wait_for("DONE handover")
    finally:
        tmux.stop()
    if read(os.path.join(folder, "handover.before")) != read(os.path.join(folder, "child.stty")):
        raise AssertionError("the program started by EXECUTA did not get the user's terminal settings")


def main():
    if shutil.which("tmux") is None:
        print("SKIPPED: tmux is not installed (scripts/packages/terminal.txt lists it)")
        return SKIPPED
    corvante, top = os.path.abspath(sys.argv[1]), sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="corvante-tmux-") as folder:
        environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config"))
        os.makedirs(environment["XDG_CONFIG_HOME"])
        subprocess.run([os.path.join(top, "scripts", "install-voice"), os.path.join(folder, "c")],
                       check=True, env=environment, capture_output=True)
        with open(os.path.join(folder, "c", "windows", "Lumera.ini"), "a") as settings:
            settings.write("\n[BRAILLE]\nMODO=1\n")
        os.environ.update(XDG_CONFIG_HOME=environment["XDG_CONFIG_HOME"])
        os.environ.pop("COLORTERM", None)
        try:
            check_keys(folder, corvante)
            check_killed(folder, corvante)
            check_handover(folder, corvante)
            check_hangup(folder, corvante)
            check_runaway(folder, corvante)
            check_small(folder, corvante)
        except (AssertionError, subprocess.CalledProcessError, subprocess.TimeoutExpired) as failure:
            print(f"FAILED: {failure}")
            return 1
        finally:
            stop_shells(folder)
    print("terminal end-to-end: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
