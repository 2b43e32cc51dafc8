#!/usr/bin/env python3
"""The media libraries (the MPEG decoder, the MIDI synthesiser) are loaded
when a script first plays an MP3 or starts MIDI, never linked into the
program: every library the program names is searched for symbols at each
start, which costs every run, also those that play nothing. The program's
own list of the libraries it needs says what it links."""
import subprocess
import sys


def needed_libraries(program):
    run = subprocess.run(["readelf", "--dynamic", program], capture_output=True, text=True, timeout=30)
    assert run.returncode == 0, run
    # Lines like: 0x...1 (NEEDED)  Shared library: [libc.so.6]
    return [line.split("[", 1)[1].split("]", 1)[0] for line in run.stdout.splitlines() if "(NEEDED)" in line]


def main():
    program = sys.argv[1]
    needed = needed_libraries(program)
    assert "libc.so.6" in needed, needed
    for name in needed:
        assert not name.startswith(("libmpg123", "libfluidsynth")), f"{program} links {name}: {needed}"
    print("ok")


if __name__ == "__main__":
    main()
