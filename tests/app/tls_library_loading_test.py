#!/usr/bin/env python3
"""The TLS library is loaded by the first TLS connection, not at start: a
run that never opens one must not load libssl or libcrypto (they cost every
start more than a millisecond). The dynamic loader's own report says what
a run loaded."""
import os
import subprocess
import sys
import tempfile


def loaded_libraries(program, script):
    run = subprocess.run([program, "--headless", "--fast", script], capture_output=True, text=True, timeout=30,
                         env=dict(os.environ, LD_DEBUG="libs"))
    assert run.returncode == 0, run
    # Each library the loader opens is reported as "find library=NAME".
    found = [line.split("find library=", 1)[1].split()[0] for line in run.stderr.splitlines()
             if "find library=" in line]
    assert found, "the loader reported nothing: " + run.stderr[:500]
    return found


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        script = os.path.join(folder, "conta.cor")
        with open(script, "w", encoding="utf-8") as out:
            out.write('seja $n = 0\nrepete $i 10\n    soma $n $i\nfim repete\nescreve mudo $n\n')
        found = loaded_libraries(program, script)
        assert "libc.so.6" in found, found
        for name in found:
            assert not name.startswith(("libssl", "libcrypto")), f"{name} loaded at start: {found}"
    print("ok")


if __name__ == "__main__":
    main()
