# SPDX-License-Identifier: GPL-3.0-or-later
"""A tmux server of a test's own, to run corvante on a real terminal and
read the pane back; shared by the terminal tests."""

import os
import signal
import subprocess
import time

WAIT_SECONDS = 8


class Tmux:
    def __init__(self, folder, name):
        # A server of its own for each check: a new one on the socket of a
        # server that is still shutting down fails to start.
        self.socket = os.path.join(folder, name + ".sock")
        self.folder = folder

    def run(self, *arguments, check=True):
        return subprocess.run(["tmux", "-S", self.socket, "-f", "/dev/null", *arguments],
                              capture_output=True, text=True, check=check, timeout=10)

    def start(self, command, extended_keys=False):
        self.run("new-session", "-d", "-x", "100", "-y", "30", "-s", "e2e", command)
        if extended_keys:
            # Ctrl+Enter, Ctrl+Tab and Ctrl+Backspace reach a program only as
            # extended keys, which tmux sends when this is on and it asks.
            self.run("set-option", "-s", "extended-keys", "on")

    def keys(self, *keys, literal=False):
        self.run("send-keys", "-t", "e2e", *(["-l"] if literal else []), *keys)

    def pane(self, colours=False):
        result = self.run("capture-pane", "-p", "-t", "e2e", *(["-e"] if colours else []), check=False)
        return result.stdout

    def cursor(self):
        shown = self.run("display-message", "-p", "-t", "e2e", "#{cursor_x} #{cursor_y}").stdout.split()
        return int(shown[0]), int(shown[1])

    def wait_for(self, text, colours=False):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            pane = self.pane(colours)
            if text in pane:
                return pane
            time.sleep(0.05)
        raise AssertionError(f"'{text}' did not appear; the pane shows:\n{self.pane()}")

    def stop(self):
        self.run("kill-server", check=False)


def stop_shells(folder):
    """Ends the wrappers' shells (their pids in FOLDER/*.shell), which
    ignore the hang-up of kill-server."""
    for name in os.listdir(folder):
        if not name.endswith(".shell"):
            continue
        try:
            with open(os.path.join(folder, name)) as file:
                os.kill(int(file.read().strip()), signal.SIGKILL)
        except (OSError, ValueError):
            pass
