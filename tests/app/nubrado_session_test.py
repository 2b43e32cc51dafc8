#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""nubrado's application script, driven headless with scripted keys.

Usage: nubrado_session_test.py NUBRADO SCENARIO [TOOLS_DIR]

Each scenario lays out a drive C in a scratch folder, runs
`nubrado --headless --fast --drive C=DIR` with its keys, and checks the
console log, the speech log, the exit status and what the run left on the
drive. Scenarios whose tools must misbehave (a client that never answers, a
result file that never comes, a listing that fails) write small fake tools
into c:\\nubrado\\megacmd; the others use the local cloud service installed
by scripts/install-cloud (TOOLS_DIR is the folder of its built programs).

The script finds and ends its tools by name ("megaclient.exe",
"taskkill /im megacmdserver.exe"), so every run happens in a PID namespace
of its own: it sees only its own processes, ends only those, and everything
it leaves running dies with the namespace. Where no namespace can be made
(not root), the test is skipped.
"""

import os
import re
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SKIP = 77

# Lines the waits write and say: how many turns a wait takes depends on how
# fast the machine runs the tools, so ordinary scenarios leave them out.
WAIT_NOISE = {
    "",
    "Em pausa, até receber resposta do mega-cmd",
    "Aguardando a resposta do mega-cmd para prosseguir",
}

FAKE_SERVER = """#!/bin/sh
# Stands in for the background server: notes each start, then stays.
echo started >> "$(dirname "$0")/server-starts"
while :; do sleep 1; done
"""

# The client behaves as the file client-mode beside it says: "hang" never
# ends, "silent" ends without writing its answer, anything else writes an
# empty answer (success). Each command line is noted in client-log.
FAKE_CLIENT = """#!/bin/sh
here=$(dirname "$0")
echo "$*" >> "$here/client-log"
out=""
while [ $# -gt 0 ]; do
    if [ "$1" = "-o" ]; then out=$2; shift; fi
    shift
done
case "$(cat "$here/client-mode" 2>/dev/null)" in
    hang) while :; do sleep 1; done ;;
    silent) exit 0 ;;
    *) : > "$out" ;;
esac
"""

FAKE_ANSWER = """#!/bin/sh
# Prints the file named after this program with ".answer", if there is one.
cat "$0.answer" 2>/dev/null
exit 0
"""


def write_program(path, text):
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)


def lay_out_fake_tools(drive, client_mode="", answers=None):
    tools = os.path.join(drive, "nubrado", "megacmd")
    os.makedirs(tools, exist_ok=True)
    os.makedirs(os.path.join(drive, "nubrado", "temp"), exist_ok=True)
    write_program(os.path.join(tools, "megacmdserver"), FAKE_SERVER)
    write_program(os.path.join(tools, "megaclient"), FAKE_CLIENT)
    for name in ("mega-whoami", "mega-cd", "mega-mount", "mega-ls"):
        write_program(os.path.join(tools, name), FAKE_ANSWER)
    answers = dict(answers or {})
    answers.setdefault("mega-whoami", "Account e-mail: ana@exemplo.com.br\n")
    for name, text in answers.items():
        with open(os.path.join(tools, name + ".answer"), "w", encoding="utf-8") as f:
            f.write(text)
    with open(os.path.join(tools, "client-mode"), "w") as f:
        f.write(client_mode)
    return tools


def namespace_works():
    if shutil.which("unshare") is None:
        return False
    probe = subprocess.run(["unshare", "--pid", "--fork", "--mount-proc", "true"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return probe.returncode == 0


# Runs inside the namespace: the optional start command, nubrado, then a
# list of the processes still alive (one command line a line).
INSIDE = """
if [ -n "$PRESTART" ]; then sh -c "$PRESTART" & sleep 0.3; fi
"$@"
status=$?
for p in /proc/[0-9]*; do tr '\\0' ' ' < "$p/cmdline" 2>/dev/null; echo; done > "$PROCESS_LIST"
exit $status
"""


class Run:
    def __init__(self, status, console, speech, processes, stderr):
        self.status = status
        self.console = console
        self.speech = speech
        self.processes = processes
        self.stderr = stderr


def run_nubrado(nubrado, drive, keys, scratch, prestart="", extra_options=(), timeout=120):
    log = os.path.join(scratch, "console.log")
    speech = os.path.join(scratch, "speech.log")
    processes = os.path.join(scratch, "processes.txt")
    for path in (log, speech, processes):
        if os.path.exists(path):
            os.remove(path)
    environment = dict(os.environ)
    environment.update(PRESTART=prestart, PROCESS_LIST=processes, XDG_CONFIG_HOME=os.path.join(scratch, "config"))
    command = ["unshare", "--pid", "--fork", "--mount-proc", "--kill-child", "sh", "-c", INSIDE, "sh",
               nubrado, "--headless", "--fast", "--drive", "C=" + drive, "--log", log, "--speech-log", speech,
               "--keys", keys, *extra_options]
    result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout,
                            cwd=scratch, env=environment)

    def lines(path):
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()
    return Run(result.returncode, lines(log), lines(speech), lines(processes),
               result.stderr.decode("utf-8", "replace"))


def without_noise(lines):
    return [line.rstrip() for line in lines if line.strip() not in WAIT_NOISE]


class Failure(Exception):
    pass


def expect(condition, message, run=None):
    if not condition:
        if run is not None:
            message += "\n--- console log\n" + "\n".join(run.console)
            message += "\n--- speech log\n" + "\n".join(run.speech[-60:])
            message += "\n--- stderr\n" + run.stderr
        raise Failure(message)


def expect_lines(run, expected, what="console log"):
    actual = without_noise(run.console)
    if actual != expected:
        import difflib
        diff = "\n".join(difflib.unified_diff(expected, actual, "expected", "actual", lineterm=""))
        expect(False, f"the {what} differs:\n{diff}", run)


def count(lines, text):
    return sum(1 for line in lines if line.rstrip() == text)


START = [
    "Nubrado - interface de acesso ao mega via lumera versão 5",
]
PROMPT_ANA = ["Nubrado - ana@exemplo.com.br", "Qual sua opção?"]
LEAVE = ["Confirma fim?", "Até logo."]


def scenario_client_never_answers(nubrado, scratch, tools_dir):
    """Log-out with a client that never ends: after 120 turns the abort
    question; Enter waits another 120 turns, Esc ends both programs."""
    drive = os.path.join(scratch, "c")
    lay_out_fake_tools(drive, client_mode="hang")
    run = run_nubrado(nubrado, drive, "o{Enter}{Esc}", scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    question = ["O mega está demorando para responder.",
                "Você pode abortar o acesso ou pode continuar aguardando",
                "Pressione enter para continuar aguardando, ou esc para abortar o acesso."]
    expect_lines(run, START + PROMPT_ANA + ["Desconectando..."] + question + question + ["Programa encerrado."])
    # Each round of 120 turns says it is pausing once and waiting three
    # times, and beeps at 10, 20, 40, 50, 70, 80, 100 and 110; going on
    # waiting beeps once more.
    expect(count(run.console, "Em pausa, até receber resposta do mega-cmd") == 2, "two pause notices", run)
    expect(count(run.console, "Aguardando a resposta do mega-cmd para prosseguir") == 6, "six waiting notices", run)
    expect(run.speech.count("sound: <beep>") == 2 * 8 + 1, "17 beeps", run)
    expect(run.speech[-1] == "speak: Programa encerrado.", "the end is silent after the last message", run)
    expect(not any("megacmdserver" in p or "megaclient" in p for p in run.processes),
           "the server and the client were ended:\n" + "\n".join(run.processes), run)


def scenario_result_file_never_comes(nubrado, scratch, tools_dir):
    """A client that ends without writing its answer: 100 checks, then the
    program ends after Enter."""
    drive = os.path.join(scratch, "c")
    lay_out_fake_tools(drive, client_mode="silent")
    run = run_nubrado(nubrado, drive, "o{Enter}", scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + PROMPT_ANA + [
        "Desconectando...",
        "Erro: não está sendo gerado o arquivo c:\\nubrado\\temp\\result",
        "Relate isso ao desenvolvedor do programa.",
        "O nubrado será encerrado.",
        "Tecle enter.",
    ])
    expect("speak: Fim do script" not in run.speech, "the end is silent", run)


def scenario_listing_error(nubrado, scratch, tools_dir):
    """A root listing whose answer begins "[API:err": the message, and back
    to the prompt without a menu."""
    drive = os.path.join(scratch, "c")
    lay_out_fake_tools(drive, answers={"mega-mount": "[API:err: Acesso negado]\n"})
    run = run_nubrado(nubrado, drive, "d{Esc}s", scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + PROMPT_ANA + [
        "Aguarde",
        "Erro ao obter a lista de pastas e arquivos.",
        "Mensagem do mega:",
        "[API:err: Acesso negado]",
    ] + PROMPT_ANA + LEAVE)


def scenario_server_running(nubrado, scratch, tools_dir):
    """A server already running is not started again; a missing one is
    started once."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive)
    starts = os.path.join(tools, "server-starts")
    run = run_nubrado(nubrado, drive, "{Esc}s", scratch, prestart=os.path.join(tools, "megacmdserver"))
    expect(run.status == 0, f"exit status {run.status}", run)
    with open(starts) as f:
        expect(f.read().count("started") == 1, "the running server was started again", run)
    os.remove(starts)
    run = run_nubrado(nubrado, drive, "{Esc}s", scratch)
    with open(starts) as f:
        expect(f.read().count("started") == 1, "the server was not started exactly once", run)
    expect_lines(run, START + PROMPT_ANA + LEAVE)


def scenario_local_marker(nubrado, scratch, tools_dir):
    """The local stand-in says so right after the start-up line; capital
    letters at the prompt act as small ones; keys of functions still to come
    say so and keep the program running."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive)
    open(os.path.join(tools, "local-service"), "w").close()
    run = run_nubrado(nubrado, drive, "QTIK/{Del}O{Esc}S", scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    unavailable = ["Esta função ainda não está disponível."] + PROMPT_ANA
    expect_lines(run, START + [
        "Atenção: as ferramentas instaladas são o serviço local de testes, não o serviço real do mega.",
    ] + PROMPT_ANA + unavailable * 6 + [
        "Desconectando...",
        "Nubrado - Acesso sem login", "Qual sua opção?",
    ] + LEAVE)
    with open(os.path.join(tools, "client-log")) as f:
        expect(f.read().split("\n")[0].startswith("logout -o /"), "the client got logout and the mapped result file")


SCENARIOS = {
    "client_never_answers": scenario_client_never_answers,
    "result_file_never_comes": scenario_result_file_never_comes,
    "listing_error": scenario_listing_error,
    "server_running": scenario_server_running,
    "local_marker": scenario_local_marker,
}


def main():
    if len(sys.argv) < 3 or sys.argv[2] not in SCENARIOS:
        print(__doc__)
        print("scenarios: " + " ".join(SCENARIOS))
        return 2
    nubrado, name = sys.argv[1], sys.argv[2]
    tools_dir = sys.argv[3] if len(sys.argv) > 3 else ""
    if not namespace_works():
        print("skipped: no PID namespace can be made here (the script ends its tools by name)")
        return SKIP
    with tempfile.TemporaryDirectory() as scratch:
        try:
            SCENARIOS[name](os.path.abspath(nubrado), scratch, tools_dir)
        except Failure as failure:
            print(f"FAIL {name}: {failure}")
            return 1
    print(f"ok {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
