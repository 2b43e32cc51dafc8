#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The braille display end to end, through brltty.

Starts brltty with its Virtual driver listening on a socket of the test's
own folder, its BrlAPI server on a port of its own and the Portuguese text
table (brltty makes characters of the chords typed on the display with it); the test is the
display on the driver's socket ("cells 40", then "Braille" lines arrive and
key commands go back). corvante runs a script headless with --braille
brlapi: the rows it writes must arrive as the expected dots (capital sign,
number sign, the caret's dots 7 and 8), and chords and keys sent from the
display must reach LE. When brltty goes away in the middle of a run the
program must go on without the display. It also prints the time from a key sent to the dots
of the row it changed, the round trip through brltty.

Usage: braille_brltty_test.py CORVANTE
"""

import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

SKIP = 77
CELLS = 40

LOSS_SCRIPT = """escreve mudo "um"
espera ms 1500
escreve mudo "dois"
escreve mudo "fim"
"""

SCRIPT = """escreve mudo "Casa 12"
escreve mudo "ABCdef 1.000 1.5"
le $a
escreve mudo "[" $a "]"
le $b
escreve mudo "<" $b ">"
"""


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def cells(text):
    """A Braille line's cells from dot lists: "46 14 1" -> ["46", "14", "1"]."""
    return text.split()


def padded(dot_lists, caret=None):
    row = list(dot_lists) + [""] * (CELLS - len(dot_lists))
    if caret is not None:
        row[caret] = "".join(sorted(row[caret] + "78"))
    return row


class Display:
    """The fake display on the Virtual driver's socket."""

    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX)
        deadline = time.time() + 10
        while True:
            try:
                self.socket.connect(path)
                break
            except OSError:
                if time.time() > deadline:
                    fail("brltty's Virtual driver did not listen on " + path)
                time.sleep(0.05)
        self.socket.sendall(b"cells %d\n" % CELLS)
        self.pending = b""
        self.rows = []  # (time, cells) of every Braille line, oldest first
        self.seen = 0

    def send(self, command):
        self.socket.sendall(command.encode() + b"\n")

    def read_for(self, seconds):
        self.socket.settimeout(0.02)
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                data = self.socket.recv(65536)
            except socket.timeout:
                continue
            if not data:
                return
            arrived = time.time()
            self.pending += data
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                line = line.rstrip(b"\r").decode("utf-8", "replace")
                if line.startswith('Braille "'):
                    self.rows.append((arrived, [c.strip() for c in line[9:-1].split("|")]))

    def wait_for(self, row, seconds=5):
        """The time the row arrived, waiting for it if need be; only rows
        after the one the last wait found count."""
        deadline = time.time() + seconds
        while True:
            for index in range(self.seen, len(self.rows)):
                arrived, shown = self.rows[index]
                if shown == row:
                    self.seen = index + 1
                    return arrived
            if time.time() > deadline:
                return None
            self.read_for(0.05)

    def last_rows(self, count):
        return ["|".join(shown) for _, shown in self.rows[-count:]]


def start_brltty(folder):
    port_offset = 200 + os.getpid() % 700
    socket_path = os.path.join(folder, "virtual.sock")
    configuration = os.path.join(folder, "brltty.conf")
    open(configuration, "w").close()
    command = ["brltty", "-n", "-q", "-e", "-f", configuration, "-F", os.path.join(folder, "preferences"),
               "-W", folder, "-U", folder, "-P", os.path.join(folder, "brltty.pid"),
               "-t", "pt", "-b", "vr", "-d", "server:" + socket_path, "-x", "no", "-s", "no",
               "-A", "auth=none,host=127.0.0.1:%d" % port_offset]
    log = open(os.path.join(folder, "brltty.log"), "w")
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    return process, socket_path, "127.0.0.1:%d" % port_offset


def stop(process):
    """brltty ignores SIGTERM while it waits: a grace period, then SIGKILL."""
    if process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=1)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def main():
    if len(sys.argv) != 2:
        fail("usage: braille_brltty_test.py CORVANTE")
    corvante = sys.argv[1]
    if shutil.which("brltty") is None:
        print("SKIP: brltty is not installed")
        sys.exit(SKIP)
    folder = tempfile.mkdtemp(prefix="corvante-braille-")
    brltty, socket_path, host = start_brltty(folder)
    program = None
    try:
        display = Display(socket_path)
        script = os.path.join(folder, "braille.cor")
        with open(script, "w") as file:
            file.write(SCRIPT)
        screen = os.path.join(folder, "screen.txt")
        environment = dict(os.environ, BRLAPI_HOST=host)
        program = subprocess.Popen([corvante, "--headless", "--braille", "brlapi", "--screen", screen, script],
                                   env=environment, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)

        # "Casa 12": capital sign, casa, blank, number sign, a b; the caret
        # after the text is on the blank that follows (cell 9).
        casa = padded(cells("46 14 1 234 1 0 3456 1 12"), caret=9)
        casa = ["" if cell == "0" else cell for cell in casa]
        if display.wait_for(casa, 10) is None:
            fail("the first row did not arrive; last rows: %s" % display.last_rows(3))
        # "ABCdef 1.000 1.5": double capital sign, abc, the sign that ends
        # the capitals, def; one number sign over 1.000, a new one after the
        # point of 1.5.
        second = ("46 46 1 12 14 5 145 15 124 0 3456 1 3 245 245 245 0 3456 1 3 3456 15")
        second_row = [("" if cell == "0" else cell) for cell in cells(second)]
        if display.wait_for(padded(second_row, caret=len(second_row)), 5) is None:
            fail("the second row did not arrive; last rows: %s" % display.last_rows(3))
        # LE waits on the third row, which is blank with the caret at its start.
        if display.wait_for(padded([], caret=0), 5) is None:
            fail("the row of LE did not arrive; last rows: %s" % display.last_rows(3))

        # Chords typed on the display: c cedilla (1-2-3-4-6), then a; each
        # echo is timed from the key sent to its dots arriving.
        round_trips = []
        typed = []
        for dots, cell in (("1,2,3,4,6", "12346"), ("1", "1"), ("1,2", "12"), ("1,4", "14"), ("1,4,5", "145")):
            mask = sum(1 << (int(dot) - 1) for dot in dots.split(","))
            sent = time.time()
            display.send("PassDots %d" % mask)
            typed.append(cell)
            arrived = display.wait_for(padded(typed, caret=len(typed)), 5)
            if arrived is None:
                fail("the chord %s did not reach LE; last rows: %s" % (dots, display.last_rows(3)))
            round_trips.append((arrived - sent) * 1000)
        # Return (Enter) ends LE; the row written after it shows the text.
        display.send("Return")
        ended = padded(cells("246 3 12346 1 12 14 145 1256 12456"), caret=9)
        if display.wait_for(ended, 5) is None:
            fail("Return did not end LE; last rows: %s" % display.last_rows(3))

        # The second LE: the display's Home command moves the caret to the
        # start, End back to the end, and Backspace erases.
        display.send("PassDots 1")
        if display.wait_for(padded(cells("1"), caret=1), 5) is None:
            fail("the second LE did not get 'a'; last rows: %s" % display.last_rows(3))
        display.send("PassDots 3")
        if display.wait_for(padded(cells("1 12"), caret=2), 5) is None:
            fail("the second LE did not get 'ab'; last rows: %s" % display.last_rows(3))
        display.send("Home")
        if display.wait_for(padded(cells("1 12"), caret=0), 5) is None:
            fail("Home did not reach LE; last rows: %s" % display.last_rows(3))
        display.send("KEY_END")
        if display.wait_for(padded(cells("1 12"), caret=2), 5) is None:
            fail("End did not reach LE; last rows: %s" % display.last_rows(3))
        display.send("KEY_BACKSPACE")
        if display.wait_for(padded(cells("1"), caret=1), 5) is None:
            fail("Backspace did not reach LE; last rows: %s" % display.last_rows(3))
        display.send("Return")
        try:
            status = program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            fail("the program did not end after the last Return")
        if status != 0:
            fail("the program ended with %d: %s" % (status, program.stderr.read().decode(errors="replace")))
        with open(screen, encoding="utf-8") as file:
            lines = file.read().split("\n")
        if lines[3] != "[\u00e7abcd]" or lines[5] != "<a>":
            fail("the screen shows %r and %r" % (lines[3], lines[5]))
        print("round trip, key sent to its echo's dots, through brltty: median %.1f ms, max %.1f ms (%d keys)"
              % (statistics.median(round_trips), max(round_trips), len(round_trips)))
    finally:
        if program is not None and program.poll() is None:
            program.kill()
            program.wait()
        stop(brltty)
    try:
        check_server_loss(corvante, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("PASS")


def check_server_loss(corvante, parent):
    """brltty killed while the program shows rows: the program goes on."""
    folder = tempfile.mkdtemp(dir=parent)
    brltty, socket_path, host = start_brltty(folder)
    program = None
    try:
        display = Display(socket_path)
        script = os.path.join(folder, "loss.cor")
        with open(script, "w") as file:
            file.write(LOSS_SCRIPT)
        screen = os.path.join(folder, "screen.txt")
        environment = dict(os.environ, BRLAPI_HOST=host)
        program = subprocess.Popen([corvante, "--headless", "--braille", "brlapi", "--screen", screen, script],
                                   env=environment, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        # "um": the letters u and m.
        if display.wait_for(padded(cells("136 134"), caret=2), 10) is None:
            fail("the first row before the loss did not arrive; last rows: %s" % display.last_rows(3))
        brltty.kill()
        brltty.wait()
        try:
            status = program.wait(timeout=20)
        except subprocess.TimeoutExpired:
            fail("the program did not end after brltty went away")
        if status != 0:
            fail("the program ended with %d after brltty went away" % status)
        with open(screen, encoding="utf-8") as file:
            lines = file.read().split("\n")
        if lines[:3] != ["um", "dois", "fim"]:
            fail("after the loss the screen shows %r" % lines[:3])
    finally:
        if program is not None and program.poll() is None:
            program.kill()
            program.wait()
        stop(brltty)


if __name__ == "__main__":
    main()
