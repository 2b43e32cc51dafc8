#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The tour of data/examples, driven headless through its menu.

The tour picks "Soletrar um nome" and types a name in the line editor, then
the numbers, then leaves with Esc; the speech log must say what a user
hears, in order, and the program must end normally.

Usage: tour_example_test.py CORVANTE TOUR_SCRIPT
"""

import os
import subprocess
import sys
import tempfile

KEYS = "{Enter}ana{Enter}x{Down}{Enter}x{Esc}"

EXPECTED_SPEECH = """\
speak: Bem-vindo ao nubrado.
speak: Esta é uma demonstração da fala em português.
speak: Uma tecla qualquer interrompe a fala.
speak: Escolha com as setas e Enter; Esc sai.
speak: Soletrar um nome
speak: Escreva um nome e tecle Enter:
char: a
char: n
char: a
spell: ana
speak: Uma tecla volta ao menu.
speak: Escolha com as setas e Enter; Esc sai.
speak: Soletrar um nome
speak: Ouvir números e um telefone
speak: Números: 7, 21, 1500 e 2024.
speak: Um telefone: 3211-4455.
speak: O sítio www.exemplo.com.br tem uma página.
speak: Uma tecla volta ao menu.
speak: Escolha com as setas e Enter; Esc sai.
speak: Ouvir números e um telefone
speak: Até logo.
speak: Fim do script
"""


def main():
    corvante, tour = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        speech = os.path.join(scratch, "speech.log")
        screen = os.path.join(scratch, "screen.txt")
        result = subprocess.run(
            [corvante, "--headless", "--fast", "--keys", KEYS, "--speech-log", speech, "--screen", screen,
             "--drive", "C=" + scratch, tour],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
        if result.returncode != 0:
            print(f"FAIL: the tour ended with status {result.returncode}\n{result.stdout.decode(errors='replace')}")
            return 1
        with open(speech, encoding="utf-8") as f:
            heard = f.read()
        if heard != EXPECTED_SPEECH:
            print("FAIL: the speech log differs:\n" + heard)
            return 1
        with open(screen, encoding="utf-8") as f:
            rows = f.read().splitlines()
        if not rows or rows[0].rstrip() != "Até logo.":
            print("FAIL: the last screen should be the farewell:\n" + "\n".join(rows))
            return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
