#!/usr/bin/env python3
"""corvante speaks with the phoneme-line voice (TIPOSAPI=3), heard through
the recorder (--audio). With the synthesiser library built beside the
program and its database laid out, the recording holds speech of a
plausible length; without them, a fake library on drive C shows that the
voice is loaded from there and given the sentence's phoneme lines."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

PHONEMES = ("_ a e i o u E O @ an en in on un w y wn yn p b t d k g f v s z x j tx dj "
            "m n nh l lh r rr r2 s2").split()


def recorded_seconds(path):
    with open(path, "rb") as wave:
        data = wave.read()
    riff, _, form = struct.unpack("<4sI4s", data[:12])
    assert (riff, form) == (b"RIFF", b"WAVE"), data[:12]
    channels, rate, _, align, bits = struct.unpack("<HIIHH", data[22:36])
    data_size = struct.unpack("<I", data[40:44])[0]
    assert data_size == len(data) - 44, (data_size, len(data))
    return data_size / (rate * align)


def main():
    program, top, fake_library = sys.argv[1], sys.argv[2], sys.argv[3]
    own_library = os.path.join(os.path.dirname(program), "libmbrola.so")
    real = os.path.exists(own_library) and os.path.exists(os.path.join(top, "data", "phoneme_voice", "br4"))
    if os.path.exists(own_library) and not real:
        print("skipped: the synthesiser is built but its database is not generated")
        return
    with tempfile.TemporaryDirectory() as folder:
        drive = os.path.join(folder, "c")
        subprocess.run([os.path.join(top, "scripts", "install-voice"), drive], check=True,
                       env=dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config")))
        voice = os.path.join(drive, "kestra", "bertatts")
        if not real:
            shutil.copy(fake_library, os.path.join(drive, "kestra", "libmbrola.so"))
            with open(os.path.join(voice, "br4"), "w") as database:
                database.write("samples=16000\n")
            if not os.path.exists(os.path.join(voice, "portug.dfn")):
                with open(os.path.join(voice, "portug.dfn"), "w") as definitions:
                    definitions.writelines(f"{a} {b}\n" for a in PHONEMES for b in PHONEMES)
        ini = os.path.join(drive, "windows", "Lumera.ini")
        with open(ini, "rb") as settings:
            text = settings.read()
        text = text.replace(b"[TRADUTOR]\r\n", b"[TRADUTOR]\r\nSAPI=Sim\r\n") + b"\r\n[SERVFALA]\r\nTIPOSAPI=3\r\n"
        with open(ini, "wb") as settings:
            settings.write(text)
        script = os.path.join(folder, "fala.cor")
        with open(script, "w", encoding="utf-8") as out:
            out.write('escreve "Bom dia, esta frase foi dita pela voz de fonemas."\n')
        recording = os.path.join(folder, "run.wav")
        environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                           XDG_DATA_HOME=os.path.join(folder, "data"))
        run = subprocess.run([program, "--headless", "--fast", "--drive", "C=" + drive, "--audio", recording, script],
                             capture_output=True, timeout=60, env=environment, stdin=subprocess.DEVNULL)
        assert run.returncode == 0, run
        seconds = recorded_seconds(recording)
        if real:
            # Eleven words and "Fim do script": between one and eight seconds.
            assert 1.0 < seconds < 8.0, seconds
        else:
            with open(os.path.join(voice, "br4.log"), "rb") as log:
                calls = log.read().decode("latin-1").splitlines()
            written = [call[len("write "):] for call in calls if call.startswith("write ")]
            # Both utterances, the sentence's first word among the lines.
            assert calls.count("flush") == 2, calls
            assert any(line.startswith("b ") for line in written), written
            assert all(line.endswith("\\r\\n") for line in written), written
            # 16000 samples an utterance: a second each, whatever format the
            # recording took.
            assert 1.9 < seconds < 2.1, seconds
    print("ok (real synthesiser)" if real else "ok (fake synthesiser on drive C)")


if __name__ == "__main__":
    main()
