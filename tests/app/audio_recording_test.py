#!/usr/bin/env python3
"""A run recorded with --audio that plays nothing still leaves a wave file
that other programs read: a 44-byte header with an empty data chunk."""
import os
import struct
import subprocess
import sys
import tempfile


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        # An empty drive C and no settings: no voice, so nothing is heard.
        drive = os.path.join(folder, "c")
        os.makedirs(drive)
        script = os.path.join(folder, "quiet.cor")
        with open(script, "w", encoding="utf-8") as out:
            out.write("seja a = 1\n")
        recording = os.path.join(folder, "run.wav")
        environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                           XDG_DATA_HOME=os.path.join(folder, "data"))
        run = subprocess.run([program, "--headless", "--fast", "--drive", "C=" + drive, "--audio", recording, script],
                             capture_output=True, text=True, timeout=30, env=environment, stdin=subprocess.DEVNULL)
        assert run.returncode == 0, run
        with open(recording, "rb") as wave:
            data = wave.read()
        assert len(data) == 44, len(data)
        riff, riff_size, form, fmt, fmt_size, pcm, channels, rate, byte_rate, align, bits, tag, data_size = \
            struct.unpack("<4sI4s4sIHHIIHH4sI", data)
        assert (riff, form, fmt, tag) == (b"RIFF", b"WAVE", b"fmt ", b"data"), data
        assert riff_size == 36 and fmt_size == 16 and pcm == 1 and data_size == 0, data
        assert channels in (1, 2) and bits in (8, 16) and rate > 0, data
        assert byte_rate == rate * align and align == channels * bits // 8, data
    print("ok")


if __name__ == "__main__":
    main()
