#!/usr/bin/env python3
"""A program copied away from the SDL2 module: headless runs need nothing of
it, a run with sound goes on silent and says why, and --window says plainly
why the window cannot open."""
import os
import shutil
import subprocess
import sys
import tempfile


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        alone = os.path.join(folder, os.path.basename(program))
        shutil.copy2(program, alone)
        script = os.path.join(folder, "ola.cor")
        with open(script, "w", encoding="utf-8") as out:
            out.write('escreve "ola"\n')
        log = os.path.join(folder, "console.log")
        headless = subprocess.run([alone, "--headless", "--fast", "--log", log, script],
                                  capture_output=True, text=True, timeout=30)
        assert headless.returncode == 0, headless
        with open(log, encoding="utf-8") as text:
            assert "ola" in text.read()
        # A run that wants the sound card goes on silent, and says why. It
        # speaks, so it gets a drive C with the voice of its own: the user's
        # (or none, on a fresh machine) must not decide the outcome.
        drive_c = os.path.join(folder, "c")
        subprocess.run([os.path.join(sys.argv[2], "scripts", "install-voice"), drive_c], check=True,
                       stdout=subprocess.DEVNULL, env=dict(os.environ, XDG_CONFIG_HOME=folder))
        sound = subprocess.run([alone, "--fast", "--drive", "C=" + drive_c, "--ini",
                                os.path.join(drive_c, "windows", "Lumera.ini"), script],
                               capture_output=True, text=True, timeout=30, stdin=subprocess.DEVNULL)
        assert sound.returncode == 0, sound
        assert "no sound: " in sound.stderr and "libcorvante_sdl.so" in sound.stderr, sound.stderr
        window = subprocess.run([alone, "--window", "--fast", script], capture_output=True, text=True,
                                timeout=30, env=dict(os.environ, DISPLAY=":99999"))
        assert window.returncode != 0, window
        message = window.stdout + window.stderr
        assert "the window is not available" in message, message
        assert "libcorvante_sdl.so" in message, message
    print("ok")


if __name__ == "__main__":
    main()
