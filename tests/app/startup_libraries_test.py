#!/usr/bin/env python3
"""The programs load the libraries of speech engines, braille displays, the
X11 desktop, the window and TLS when a feature first needs them, never at
start: linked in, espeak-ng alone (with its sound server clients) made an
empty script three times as slow to start. Neither program may link them,
directly or through another library, and a run that uses none of those
features must not load them."""
import os
import subprocess
import sys
import tempfile

# Libraries, and the trees they bring along, that only some features use.
FEATURE_LIBRARIES = (
    "libespeak-ng", "libpcaudio", "libsonic", "libpulse", "libasound",  # the espeak-ng engine
    "libbrlapi",  # braille
    "libxcb", "libX11", "libXau", "libXdmcp",  # the X11 desktop
    "libSDL2", "libfontconfig", "libfreetype",  # the window and the sound card
    "libssl", "libcrypto",  # TLS
    "libjpeg",  # JPEG pictures
)


def is_feature_library(name):
    return name.startswith(FEATURE_LIBRARIES)


def linked_libraries(program):
    """Every library the loader would map for `program`, by soname."""
    run = subprocess.run(["ldd", program], capture_output=True, text=True, timeout=30)
    assert run.returncode == 0, run
    names = [line.split()[0] for line in run.stdout.splitlines() if line.strip()]
    assert "libc.so.6" in names, "ldd listed nothing usable: " + run.stdout[:500]
    return names


def loaded_at_start(program, script):
    """Every library a headless run of `script` opened, as the loader reports it."""
    run = subprocess.run([program, "--headless", "--fast", script], capture_output=True, text=True, timeout=60,
                         env=dict(os.environ, LD_DEBUG="libs"))
    assert run.returncode == 0, run
    found = [line.split("find library=", 1)[1].split()[0] for line in run.stderr.splitlines()
             if "find library=" in line]
    assert "libc.so.6" in found, "the loader reported nothing: " + run.stderr[:500]
    return found


def main():
    corvante, nubrado = sys.argv[1], sys.argv[2]
    failures = []
    for program in (corvante, nubrado):
        linked = linked_libraries(program)
        failures += [f"{os.path.basename(program)} links {name}" for name in linked if is_feature_library(name)]
    with tempfile.TemporaryDirectory() as folder:
        script = os.path.join(folder, "vazio.cor")
        with open(script, "w", encoding="utf-8") as out:
            out.write("")
        loaded = loaded_at_start(corvante, script)
        failures += [f"an empty script loads {name}" for name in loaded if is_feature_library(name)]
    if failures:
        print("\n".join(failures))
        sys.exit(1)
    print("ok")


if __name__ == "__main__":
    main()
