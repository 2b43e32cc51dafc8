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
while :; do sleep 600; done
"""

# The client behaves as the file client-mode beside it says: "hang" never
# ends, "silent" ends without writing its answer. Otherwise it prints
# progress-COMMAND if there is one, sleeps delay-COMMAND seconds, writes
# answer-COMMAND (or nothing: success) as its answer, and for "get" makes
# the file in the current folder. A log-in with the password "errada" is
# refused. Each command's arguments are noted in client-log, "|" after each.
FAKE_CLIENT = """#!/bin/sh
here=$(dirname "$0")
printf '%s|' "$@" >> "$here/client-log"
echo >> "$here/client-log"
command=$1
item=$2
password=$3
out=""
while [ $# -gt 0 ]; do
    if [ "$1" = "-o" ]; then out=$2; shift; fi
    shift
done
case "$(cat "$here/client-mode" 2>/dev/null)" in
    hang) while :; do sleep 600; done ;;
    silent) exit 0 ;;
esac
if [ -f "$here/progress-$command" ]; then cat "$here/progress-$command"; fi
if [ -f "$here/delay-$command" ]; then sleep "$(cat "$here/delay-$command")"; fi
if [ "$command" = login ] && [ "$password" = errada ]; then
    echo "[API:err: Login failed: invalid email or password]" > "$out"
    exit 0
fi
case "$command" in
    login) echo "$item" > "$here/session" ;;
    logout) rm -f "$here/session" ;;
esac
if [ -f "$here/answer-$command" ]; then
    cp "$here/answer-$command" "$out"
else
    : > "$out"
fi
if [ "$command" = get ] && [ ! -f "$here/answer-get" ]; then echo baixado > "./$(basename "$item")"; fi
exit 0
"""

# Says who is logged in, as the client's log-in and log-out left it.
FAKE_WHOAMI = """#!/bin/sh
here=$(dirname "$0")
if [ -f "$here/session" ]; then echo "Account e-mail: $(cat "$here/session")"; else echo "Not logged in."; fi
"""

# Lists the root (with "/") from mega-ls.answer, any other folder from
# mega-ls.answer-folder.
FAKE_LS = """#!/bin/sh
if [ "$1" = "/" ]; then cat "$0.answer" 2>/dev/null; else cat "$0.answer-folder" 2>/dev/null; fi
exit 0
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


def lay_out_fake_tools(drive, client_mode="", answers=None, client=None, logged_in="ana@exemplo.com.br"):
    tools = os.path.join(drive, "nubrado", "megacmd")
    os.makedirs(tools, exist_ok=True)
    os.makedirs(os.path.join(drive, "nubrado", "temp"), exist_ok=True)
    write_program(os.path.join(tools, "megacmdserver"), FAKE_SERVER)
    write_program(os.path.join(tools, "megaclient"), FAKE_CLIENT)
    for name in ("mega-cd", "mega-mount"):
        write_program(os.path.join(tools, name), FAKE_ANSWER)
    write_program(os.path.join(tools, "mega-whoami"), FAKE_WHOAMI)
    write_program(os.path.join(tools, "mega-ls"), FAKE_LS)
    if logged_in:
        with open(os.path.join(tools, "session"), "w") as f:
            f.write(logged_in + "\n")
    answers = dict(answers or {})
    for name, text in answers.items():
        with open(os.path.join(tools, name + ".answer"), "w", encoding="utf-8") as f:
            f.write(text)
    with open(os.path.join(tools, "client-mode"), "w") as f:
        f.write(client_mode)
    for name, text in (client or {}).items():
        with open(os.path.join(tools, name), "w", encoding="utf-8") as f:
            f.write(text)
    return tools


def client_calls(tools):
    """The client's command lines, each a list of its arguments."""
    path = os.path.join(tools, "client-log")
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [line.split("|")[:-1] for line in f.read().splitlines()]


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
for p in /proc/[0-9]*; do tr '\\0' ' ' < "$p/cmdline" 2>/dev/null; echo " [$(cut -d' ' -f1-4 "$p/stat" 2>/dev/null)]"; done > "$PROCESS_LIST"
exit $status
"""


class Run:
    def __init__(self, status, console, speech, processes, stderr):
        self.status = status
        self.console = console
        self.speech = speech
        self.processes = processes
        self.stderr = stderr


def run_nubrado(nubrado, drive, keys, scratch, prestart="", extra_options=(), timeout=120, fast=True):
    log = os.path.join(scratch, "console.log")
    speech = os.path.join(scratch, "speech.log")
    processes = os.path.join(scratch, "processes.txt")
    for path in (log, speech, processes):
        if os.path.exists(path):
            os.remove(path)
    environment = dict(os.environ)
    environment.update(PRESTART=prestart, PROCESS_LIST=processes, XDG_CONFIG_HOME=os.path.join(scratch, "config"))
    command = ["unshare", "--pid", "--fork", "--mount-proc", "--kill-child", "sh", "-c", INSIDE, "sh",
               nubrado, "--headless", *(["--fast"] if fast else []), "--drive", "C=" + drive, "--log", log, "--speech-log", speech,
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
    """The log without the waits' lines and without menus: a menu draws its
    rows padded with blanks and no line end, so a line's text is what
    follows its last run of three blanks."""
    kept = []
    for line in lines:
        line = re.split(" {3,}", line.rstrip())[-1]
        if line.strip() not in WAIT_NOISE:
            kept.append(line)
    return kept


class Failure(Exception):
    pass


class Skip(Exception):
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
    letters at the prompt act as small ones."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive)
    open(os.path.join(tools, "local-service"), "w").close()
    run = run_nubrado(nubrado, drive, "QO{Esc}S", scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + [
        "Atenção: as ferramentas instaladas são o serviço local de testes, não o serviço real do mega.",
    ] + PROMPT_ANA + ["Erro ao tentar obter informações sobre espaço na nuvem."] + PROMPT_ANA + [
        "Desconectando...",
        "Nubrado - Acesso sem login", "Qual sua opção?",
    ] + LEAVE)
    result = os.path.join(drive, "nubrado", "temp", "result")
    calls = client_calls(tools)
    expect(calls == [["df", "-h", "-o", result], ["logout", "-o", result]], f"the client got {calls}", run)


def read_lines(path):
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines()


def scenario_log_in(nubrado, scratch, tools_dir):
    """Log-in at the start from the list of known users, a refused log-in,
    a new user added to the list, a known one (in capitals) not added again,
    a name begun from the chooser, Esc in the chooser, and log-out."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive, logged_in="")
    users = os.path.join(drive, "nubrado", "usuarios")
    with open(users, "w") as f:
        f.write("Acesso sem login\r\nana@exemplo.com.br:segredo\r\n")
    keys = ("{Enter}{Down}{Enter}"
            "lbia@exemplo.com.br{Enter}errada{Enter}"
            "Lbia@exemplo.com.br{Enter}certa{Enter}"
            "lANA@EXEMPLO.COM.BR{Enter}segredo{Enter}"
            "l{Enter}c{End}arla{Enter}x{Enter}"
            "l{Enter}{Esc}"
            "o{Esc}s")
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    ask = ["Conectar", "Informe seu usuário", "Ou use setas para mais opções"]
    expect_lines(run, START + ask + ["Aguarde.", "Conectado."] + PROMPT_ANA
        + ask + ["bia@exemplo.com.br", "Informe sua senha", "******", "Aguarde.", "Erro ao conectar.",
                 "Mensagem do mega:", "[API:err: Login failed: invalid email or password]",
                 "Nubrado - Acesso sem login", "Qual sua opção?"]
        + ask + ["bia@exemplo.com.br", "Informe sua senha", "*****", "Aguarde.", "Conectado.",
                 "Nubrado - bia@exemplo.com.br", "Qual sua opção?"]
        + ask + ["ANA@EXEMPLO.COM.BR", "Informe sua senha", "*******", "Aguarde.", "Conectado.",
                 "Nubrado - ANA@EXEMPLO.COM.BR", "Qual sua opção?"]
        + ask + ["ccarlaInforme sua senha", "*", "Aguarde.", "Conectado.", "Nubrado - carla", "Qual sua opção?"]
        + ask + ["Nubrado - carla", "Qual sua opção?", "Desconectando...", "Nubrado - Acesso sem login",
                 "Qual sua opção?"] + LEAVE)
    expect(read_lines(users) == ["Acesso sem login", "ana@exemplo.com.br:segredo", "bia@exemplo.com.br", "carla"],
           "the user list is " + repr(read_lines(users)), run)
    logins = [call[1:3] for call in client_calls(tools) if call[0] == "login"]
    expect(logins == [["ana@exemplo.com.br", "segredo"], ["bia@exemplo.com.br", "errada"],
                      ["bia@exemplo.com.br", "certa"], ["ANA@EXEMPLO.COM.BR", "segredo"], ["carla", "x"]],
           f"the log-ins were {logins}", run)
    expect("spell: c" in run.speech, "the key that begins a new name is spelled", run)


ACCOUNT_ANSWERS = {
    "answer-signup": "Enviando o pedido\nAccount <novo@exemplo.com.br> created succesfully. Confirm it.\n",
    "answer-confirm": "Account novo@exemplo.com.br confirmed succesfully. You can login with it now\n",
    "answer-cancel": "Account pendind cancel confirmation. You will receive a link.\n",
    "answer-confirmcancel": "Account novo@exemplo.com.br cancelled. The session ended: Bad session ID\n",
}
ACCOUNT_ERRORS = {
    "answer-signup": "Enviando o pedido\n[API:err: Email already in use]\n",
    "answer-confirm": "[API:err: Invalid confirmation link]\n",
    "answer-cancel": "[API:err: Not logged in]\n",
    "answer-confirmcancel": "[API:err: Invalid link]\n",
}


def scenario_accounts(nubrado, scratch, tools_dir):
    """New account (passwords that differ, then agree), confirmation with
    the link, cancellation (a stray key asks again) and its confirmation;
    then, in a fresh run, each of them refused."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive, client=ACCOUNT_ANSWERS)
    link = "https://mega.invalid/#confirmABC"
    keys = ("nnovo@exemplo.com.br{Enter}abc{Enter}abd{Enter}abc{Enter}abc{Enter}"
            "c" + link + "{Enter}"
            "zxs"
            "0https://mega.invalid/#cancelXYZ{Enter}abc{Enter}"
            "{Esc}xn{Esc}s")
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + PROMPT_ANA + [
        "Nova conta", "Informe seu endereço de e-mail:", "novo@exemplo.com.br",
        "Informe uma senha:", "***", "Repita a senha:", "***",
        "As senhas não conferem.", "Faça o processo de novo.",
        "Informe uma senha:", "***", "Repita a senha:", "***",
        "Enviando pedido. Aguarde.",
        "Conta criada com sucesso!",
        "Verifique o e-mail novo@exemplo.com.br.",
        "Assim que receber a mensagem para confirmar sua conta,",
        "copie o link de confirmação e o insira no nubrado, na opção confirmar conta.",
    ] + PROMPT_ANA + [
        "Digite ou cole o link de confirmação da sua conta", link,
        "Enviando pedido de confirmação. Aguarde.",
        "Conta confirmada com sucesso!",
        "Agora, vocêjá pode fazer login, usando seu email e senha, na opção login.",
    ] + PROMPT_ANA + [
        "Cancelar conta.", "Atenção:",
        "Se você cancelar sua conta, todos os seus dados serão perdidos.",
        "Esta operação não poderá ser desfeita depois.",
        "Deseja continuar?", "Deseja continuar?",
        "Pedido de cancelamento realizado com sucesso.",
        "Verifique o email associado a sua conta.",
        "Caso tenha recebido um link para confirmar o cancelamento, copie e cole no nubrado, "
        "na opção confirmar cancelamento de conta.",
        "O cancelamento só acontece depois de confirmado.",
    ] + PROMPT_ANA + [
        "Digite ou cole o link para cancelar sua conta:", "https://mega.invalid/#cancelXYZ",
        "Digite sua senha:", "***", "Aguarde.", "Cancelamento de conta confirmado.",
    ] + PROMPT_ANA + ["Confirma fim?", "Confirma fim?"] + PROMPT_ANA + LEAVE)
    calls = [call[:-2] for call in client_calls(tools)]
    expect(calls == [["logout"], ["signup", "novo@exemplo.com.br", "abc"],
                     ["confirm", link, "novo@exemplo.com.br", "abc"], ["cancel"],
                     ["confirmcancel", "https://mega.invalid/#cancelXYZ", "abc"]],
           f"the client got {calls}", run)

    with open(os.path.join(tools, "session"), "w") as f:
        f.write("ana@exemplo.com.br\n")
    for name, text in ACCOUNT_ERRORS.items():
        with open(os.path.join(tools, name), "w") as f:
            f.write(text)
    keys = ("nnovo@exemplo.com.br{Enter}abc{Enter}abc{Enter}"
            "c" + link + "{Enter}"
            "zs"
            "0https://mega.invalid/#cancelXYZ{Enter}abc{Enter}"
            "{Esc}s")
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + PROMPT_ANA + [
        "Nova conta", "Informe seu endereço de e-mail:", "novo@exemplo.com.br",
        "Informe uma senha:", "***", "Repita a senha:", "***",
        "Enviando pedido. Aguarde.", "Erro ao criar conta.", "Favor tentar novamente.",
    ] + PROMPT_ANA + [
        "Digite ou cole o link de confirmação da sua conta", link,
        "Enviando pedido de confirmação. Aguarde.",
        "Erro ao confirmar a conta.", "Mensagem:", "[API:err: Invalid confirmation link]",
    ] + PROMPT_ANA + [
        "Cancelar conta.", "Atenção:",
        "Se você cancelar sua conta, todos os seus dados serão perdidos.",
        "Esta operação não poderá ser desfeita depois.",
        "Deseja continuar?",
        "Falha ao solicitar cancelamento de sua conta.", "Favor tentar novamente.",
    ] + PROMPT_ANA + [
        "Digite ou cole o link para cancelar sua conta:", "https://mega.invalid/#cancelXYZ",
        "Digite sua senha:", "***", "Aguarde.",
        "Erro ao cancelar sua conta.", "Verifique e tente novamente.",
    ] + PROMPT_ANA + LEAVE)


LISTING = {
    "mega-mount": "INSHARE on //from/bia@exemplo.com.br:Fotos da Bia (read access)\n",
    "mega-ls": "Documentos\nmúsica.mp3\nnotas.txt\n",
    "mega-ls.answer-folder": "relatório.txt\nplanilha.ods\n",
}


def lay_out_listing(tools):
    for name, text in LISTING.items():
        path = os.path.join(tools, name if "." in name else name + ".answer")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def scenario_listing_and_transfers(nubrado, scratch, tools_dir):
    """The root listing with a shared folder, its help, a folder opened and
    left with Backspace, the shared folder opened, an item downloaded from
    the listing, an MP3 item, F5; a link downloaded into the folder the
    program started in (".") and a file uploaded."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive, client={"delay-get": "0.2", "delay-put": "0.2"})
    lay_out_listing(tools)
    with open(os.path.join(drive, "nubrado", "notas-locais.txt"), "w") as f:
        f.write("local\n")
    keys = ("d{F1}{Down}{Enter}{Backspace}{Enter}{Backspace}{Esc}"
            "d{Down}{Down}{Down}r{Enter}{Up}{Enter}{F5}{Esc}"
            "rhttps://exemplo.invalid/arquivo.zip{Enter}.{Enter}"
            "ec:\\nubrado\\notas-locais.txt{Enter}"
            "{Esc}s")
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    root = ["Nível 0", "4 ítens", "Selecione com setas", "Para ajuda, aperte f1"]
    folder = ["Nível 1", "2 ítens", "Selecione com setas", "Para ajuda, aperte f1"]
    save = ["Informe o caminho para salvar, ou enter para aceitar o padrão.",
            "Use . (ponto), para salvar no diretório corrente", "Ou digite o caminho desejado."]
    expect_lines(run, START + PROMPT_ANA + ["Aguarde"] + root + [
        "Opções:", "Enter: troca para o diretório selecionado.", "Backspace: vai para o diretório pai.",
        "r: receber.", "e: criar link de download.", "x: excluir link de download.", "a: apagar.",
        "c: criar diretório", "p: opções de compartilhamento", "s: opções de sincronização",
        "Aguarde."] + folder + ["Aguarde."] + root + ["Aguarde."] + folder + ["Aguarde."] + root + PROMPT_ANA
        + ["Aguarde"] + root + save + ["c:\\nubrado\\downloadsSerá salvo em c:\\nubrado\\downloads",
                                       "Download concluído.",
                                       "Aguarde.", "Não consegui carregar o conteúdo solicitado:"] + root
        + PROMPT_ANA
        + ["Entre com a url para download", "https://exemplo.invalid/arquivo.zip"] + save
        + [".Será salvo em " + scratch, "Download concluído."] + PROMPT_ANA
        + ["Enviar", "Entre com o caminho do arquivo ou pasta que deseja enviar", "c:\\nubrado\\notas-locais.txt",
           "Iniciando upload", "Envio concluído."] + PROMPT_ANA + LEAVE)
    calls = [call[:-2] for call in client_calls(tools)]
    expect(calls == [["cd", "Documentos"], ["cd", ".."], ["cd", "//from/bia@exemplo.com.br:Fotos da Bia"],
                     ["cd", ".."], ["get", "notas.txt"], ["get", "música.mp3"],
                     ["get", "https://exemplo.invalid/arquivo.zip"],
                     ["put", os.path.join(drive, "nubrado", "notas-locais.txt")]],
           f"the client got {calls}", run)
    downloads = os.path.join(drive, "nubrado", "downloads")
    expect(os.listdir(downloads) == ["notas.txt"], f"downloads holds {os.listdir(downloads)}", run)
    # The MP3 item came to the temporary folder and went once it was tried.
    temp = os.path.join(drive, "nubrado", "temp")
    expect("música.mp3" not in os.listdir(temp), f"the temporary folder holds {os.listdir(temp)}", run)
    # "." saves in the folder the program was started in.
    expect(os.path.exists(os.path.join(scratch, "arquivo.zip")), "the link was not saved in the current folder", run)
    expect("speak: @Fotos da Bia" in run.speech and "speak: música.mp3" in run.speech,
           "the menu says the shared folder and the converted name", run)


PROGRESS = "TRANSFERRING ||#####.....||(5.00/10.00 MB:  50.00 %) 1.00 MB/s\n"


def segments(speech, marker):
    """The speech between the lines that begin with the marker."""
    parts = [[]]
    for line in speech:
        if line.startswith(marker):
            parts.append([])
        else:
            parts[-1].append(line)
    return parts


def scenario_transfer_monitor(nubrado, scratch, tools_dir):
    """Enter tells the progress; Space three times goes from speaking to
    beeping to silence and back; Esc asks, "x" asks again, "s" stops the
    download and starts the server anew. An upload left with "n" goes on."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive, client={"progress-get": PROGRESS, "delay-get": "60",
                                              "progress-put": PROGRESS, "delay-put": "60"})
    lay_out_listing(tools)
    # The monitor only looks whether a key waits, so each of its keys is
    # timed to arrive by itself.
    ten, now = "{Wait 10500}", "{Wait 100}"
    keys = ("d{End}r{Enter}" + (ten + "{Enter}" + now + "{Space}") * 3 + ten + "{Enter}" + now
            + "{Esc}xs{Esc}{Esc}s")
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    told = "Baixando. 50%de 10.00 MB - notas.txt"
    expect(count(run.console, told) == 4, "Enter tells the progress", run)
    # From the start of the transfer: the menu beeps at its last item.
    start = run.speech.index("speak: Será salvo em c:\\nubrado\\downloads")
    parts = segments(run.speech[start:], "speak: " + told)
    expect(len(parts) == 5, "four reports", run)
    spoken = [part.count("speak: 50%") for part in parts[:4]]
    beeps = [part.count("sound: <beep>") for part in parts[:4]]
    expect(spoken[0] >= 1 and spoken[1] == 0 and spoken[2] == 0 and spoken[3] >= 1,
           f"spoken progress per mode: {spoken}", run)
    expect(beeps[0] == 0 and beeps[1] >= 1 and beeps[2] == 0 and beeps[3] == 0, f"beeps per mode: {beeps}", run)
    expect_lines(run, START + PROMPT_ANA + ["Aguarde", "Nível 0", "4 ítens", "Selecione com setas",
        "Para ajuda, aperte f1",
        "Informe o caminho para salvar, ou enter para aceitar o padrão.",
        "Use . (ponto), para salvar no diretório corrente", "Ou digite o caminho desejado.",
        "c:\\nubrado\\downloadsSerá salvo em c:\\nubrado\\downloads"] + [told] * 4 + [
        "Deseja parar o download?", "Deseja parar o download?", "Download interrompido."] + PROMPT_ANA + LEAVE)
    servers = [p for p in run.processes if "megacmdserver" in p]
    expect(len(servers) == 1, "the server was ended and started again: " + repr(servers), run)
    expect(not any("megaclient" in p for p in run.processes), "the download was stopped", run)

    keys = "ec:\\nubrado\\usuarios{Enter}{Wait 1000}{Enter}{Wait 100}{Esc}n{Esc}s"
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + PROMPT_ANA + [
        "Enviar", "Entre com o caminho do arquivo ou pasta que deseja enviar", "c:\\nubrado\\usuarios",
        "Iniciando upload", "Enviando. 50%de 10.00 MB - c:\\nubrado\\usuarios", "Deseja parar o envio?"]
        + PROMPT_ANA + LEAVE)
    expect(any("megaclient" in p and "put" in p for p in run.processes), "the upload goes on", run)


def scenario_help_menu_leave(nubrado, scratch, tools_dir):
    """The main help; the main menu by arrow down, F9 and arrow up (Esc in
    it goes back, Enter runs the chosen function); leaving answered with a
    stray key, then "n", then "s" from the menu's last item."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive)
    keys = "{F1}{Down}{Down}{Down}{Down}{Enter}{F9}{Esc}{Esc}xn{Up}{End}{Enter}s"
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + PROMPT_ANA + [
        "Opções:", "n - nova conta.", "c - Confirmar conta.", "l - login.", "o - logout.",
        "d - diretórios e arquivos.", "e - enviar.", "r - receber.", "i - importar.", "/ - terminal de comando.",
        "z - cancelar conta.", "0 - Confirmar cancelamento de conta.", "Del - reiniciar programas em segundo plano.",
        "q - verificar espaço.", "k - Ver e copiar sua chave mestra", "t - gerenciar contatos", "f1 - ajuda.",
        "f9, seta acima e seta abaixo -  menu.", "Esc - sair."] + PROMPT_ANA + [
        "Desconectando...", "Nubrado - Acesso sem login", "Qual sua opção?",
        "Nubrado - Acesso sem login", "Qual sua opção?",
        "Confirma fim?", "Confirma fim?", "Nubrado - Acesso sem login", "Qual sua opção?",
        "Confirma fim?", "Até logo."])
    expect(client_calls(tools)[0][0] == "logout", "item 4 logs out", run)
    expect("speak: Desconectar" in run.speech and "speak: Sair" in run.speech, "the menu says its items", run)


def start_web_server(work):
    """nginx on loopback serving WORK/www, as the network tests start it;
    (process, port)."""
    peer = subprocess.Popen([sys.executable, os.path.join(ROOT, "tests", "net", "peers", "net_peer.py"), "nginx", work],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    line = peer.stdout.readline().decode()
    words = dict(word.split("=", 1) for word in line.split()[1:] if "=" in word)
    if not line.startswith("READY") or "port" not in words:
        peer.kill()
        peer.wait()
        raise Failure("the web server did not start: " + line)
    return peer, words["port"]


def stop_web_server(peer):
    peer.terminate()
    try:
        peer.wait(10)
    except subprocess.TimeoutExpired:
        peer.kill()
        peer.wait()


def pack_tools(tools, package):
    """Packs the folder `tools` as megacmd/ into the 7za archive `package`."""
    os.makedirs(os.path.dirname(package), exist_ok=True)
    staging = os.path.join(os.path.dirname(tools), "staging")
    os.makedirs(staging)
    shutil.copytree(tools, os.path.join(staging, "megacmd"), symlinks=True)
    # The fastest compression: debug builds of the programs are large.
    packed = subprocess.run(["7za", "a", "-bd", "-mx=1", package, "megacmd"], cwd=staging, capture_output=True)
    if packed.returncode != 0:
        raise Failure("7za could not pack the tools: " + packed.stdout.decode(errors="replace"))


def install_and_start(nubrado, scratch, tools, keys, expected_after_start):
    """Serves `tools` packed as the package, runs nubrado on an empty drive C
    with the package URL in its settings, and checks the installation."""
    www = os.path.join(scratch, "web")
    pack_tools(tools, os.path.join(www, "www", "programas", "nubrado", "megacmd.7z"))
    peer, port = start_web_server(www)
    try:
        drive = os.path.join(scratch, "vazio")
        os.makedirs(drive)
        ini = os.path.join(scratch, "Lumera.ini")
        with open(ini, "w") as f:
            f.write(f"[NUBRADO]\r\nPACOTE_MEGACMD=http://127.0.0.1:{port}/programas/nubrado/megacmd.7z\r\n")
        started = time.monotonic()
        run = run_nubrado(nubrado, drive, keys, scratch, extra_options=("--ini", ini))
        elapsed = time.monotonic() - started
    finally:
        stop_web_server(peer)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, ["Baixando mega-cmd. Aguarde", "Extraindo pacote", "Pronto."] + expected_after_start)
    installed = os.path.join(drive, "nubrado", "megacmd")
    expect(os.path.isdir(installed), "the tools were not unpacked", run)
    expect(not os.path.exists(os.path.join(drive, "nubrado", "megacmd.7z")), "the package was not removed", run)
    for folder in ("temp", "downloads"):
        expect(os.path.isdir(os.path.join(drive, "nubrado", folder)), f"c:\\nubrado\\{folder} is missing", run)
    return run, drive, elapsed


def scenario_install(nubrado, scratch, tools_dir):
    """Start-up with the tools missing: the package is fetched from the URL
    of the settings, unpacked, removed, and the server started."""
    if shutil.which("7za") is None:
        print("skipped: 7za is not installed")
        raise Skip()
    source = os.path.join(scratch, "source")
    tools = lay_out_fake_tools(os.path.join(source, "c"))
    run, drive, _ = install_and_start(nubrado, scratch, tools, "{Esc}s", START + PROMPT_ANA + LEAVE)
    expect(any("megacmdserver" in p for p in run.processes), "the server was not started", run)


LOCAL_NOTICE = "Atenção: as ferramentas instaladas são o serviço local de testes, não o serviço real do mega."
PROMPT_DEMO = ["Nubrado - demo@nubrado.local", "Qual sua opção?"]
PROMPT_NONE = ["Nubrado - Acesso sem login", "Qual sua opção?"]


def install_local_service(tools_dir, drive):
    if not tools_dir or not os.path.exists(os.path.join(tools_dir, "megaclient")):
        raise Failure("the local cloud service's programs are not built: " + repr(tools_dir))
    installed = subprocess.run([os.path.join(ROOT, "scripts", "install-cloud"), "--local", "--programs", tools_dir,
                                drive], capture_output=True, timeout=60)
    if installed.returncode != 0:
        raise Failure("install-cloud failed: " + installed.stderr.decode(errors="replace"))
    return os.path.join(drive, "nubrado", "cloud-data")


def mailed_link(data, address, kind):
    """The link of the newest mail of that kind (confirm, cancel) to the address."""
    folder = os.path.join(data, "mailbox", address)
    names = sorted(name for name in os.listdir(folder) if name.endswith("-" + kind + ".txt"))
    expect(bool(names), f"no {kind} mail for {address}")
    with open(os.path.join(folder, names[-1]), encoding="utf-8") as f:
        found = re.findall(r"https://\S+", f.read())
    expect(bool(found), f"no link in the {kind} mail")
    return found[-1]


def accounts_in(data):
    with open(os.path.join(data, "state.txt"), encoding="utf-8") as f:
        return [line.split("\t")[2] for line in f.read().splitlines() if line.startswith("account\t")]


def files_of(data, address):
    with open(os.path.join(data, "state.txt"), encoding="utf-8") as f:
        for line in f.read().splitlines():
            fields = line.split("\t")
            if fields[0] == "account" and fields[2] == address:
                return os.path.join(data, "accounts", fields[1], "files")
    raise Failure(f"no account {address}")


def message_after(run, line):
    """The console line that follows the given one."""
    lines = without_noise(run.console)
    expect(line in lines, f"no line {line!r}", run)
    return lines[lines.index(line) + 1]


def scenario_cloud_walk(nubrado, scratch, tools_dir):
    """Against the local cloud service, in the order a user meets them: a new
    account, a log-in refused before confirmation, confirmation with the
    link from the mailbox, log-in and log-out, the demo account chosen from
    the list, the listing at the root and inside a folder and a shared
    folder, Backspace, a download and an upload; leaving with "n" and "s"."""
    drive = os.path.join(scratch, "c")
    data = install_local_service(tools_dir, drive)
    with open(os.path.join(drive, "nubrado", "nota.txt"), "w", encoding="utf-8") as f:
        f.write("Nota enviada pelo nubrado.\n")

    run = run_nubrado(nubrado, drive, "nnovo@nubrado.local{Enter}segredo1{Enter}segredo1{Enter}{Esc}n{Esc}s", scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + [LOCAL_NOTICE] + PROMPT_DEMO + [
        "Nova conta", "Informe seu endereço de e-mail:", "novo@nubrado.local",
        "Informe uma senha:", "********", "Repita a senha:", "********",
        "Enviando pedido. Aguarde.", "Conta criada com sucesso!", "Verifique o e-mail novo@nubrado.local.",
        "Assim que receber a mensagem para confirmar sua conta,",
        "copie o link de confirmação e o insira no nubrado, na opção confirmar conta.",
    ] + PROMPT_DEMO + ["Confirma fim?"] + PROMPT_DEMO + LEAVE)
    link = mailed_link(data, "novo@nubrado.local", "confirm")

    keys = ("novo@nubrado.local{Enter}segredo1{Enter}"
            "c" + link + "{Enter}novo@nubrado.local{Enter}segredo1{Enter}"
            "lnovo@nubrado.local{Enter}segredo1{Enter}"
            "o"
            "l{Enter}{Down}{Enter}"
            "d{Down}{Down}{Enter}{Home}r{Enter}{Backspace}{Home}{Enter}{Backspace}{Esc}"
            "ec:\\nubrado\\nota.txt{Enter}"
            "{Esc}s")
    run = run_nubrado(nubrado, drive, keys, scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    refused = message_after(run, "Mensagem do mega:")
    expect(refused.startswith("[API:err"), "the refusal is the service's message", run)
    ask = ["Conectar", "Informe seu usuário", "Ou use setas para mais opções"]
    root = ["Nível 0", "5 ítens", "Selecione com setas", "Para ajuda, aperte f1"]
    save = ["Informe o caminho para salvar, ou enter para aceitar o padrão.",
            "Use . (ponto), para salvar no diretório corrente", "Ou digite o caminho desejado."]
    expect_lines(run, START + [LOCAL_NOTICE] + ask + [
        "novo@nubrado.local", "Informe sua senha", "********", "Aguarde.",
        "Erro ao conectar.", "Mensagem do mega:", refused] + PROMPT_NONE + [
        "Digite ou cole o link de confirmação da sua conta", link,
        "Informe o endereço de email usado para criar a conta", "novo@nubrado.local",
        "Informe a senha usada para criar a conta", "********",
        "Enviando pedido de confirmação. Aguarde.", "Conta confirmada com sucesso!",
        "Agora, vocêjá pode fazer login, usando seu email e senha, na opção login."] + PROMPT_NONE
        + ask + ["novo@nubrado.local", "Informe sua senha", "********", "Aguarde.", "Conectado.",
                 "Nubrado - novo@nubrado.local", "Qual sua opção?", "Desconectando..."] + PROMPT_NONE
        + ask + ["Aguarde.", "Conectado."] + PROMPT_DEMO
        + ["Aguarde"] + root + ["Aguarde.", "Nível 1", "2 ítens", "Selecione com setas", "Para ajuda, aperte f1"]
        + save + ["c:\\nubrado\\downloadsSerá salvo em c:\\nubrado\\downloads", "Download concluído.",
                  "Aguarde."] + root + ["Aguarde.", "Nível 1", "1 ítens", "Selecione com setas",
                                        "Para ajuda, aperte f1", "Aguarde."] + root + PROMPT_DEMO
        + ["Enviar", "Entre com o caminho do arquivo ou pasta que deseja enviar", "c:\\nubrado\\nota.txt",
           "Iniciando upload", "Envio concluído."] + PROMPT_DEMO + LEAVE)
    for item in ("@Fotos da Ana", "bem-vindo.txt", "Documentos", "compras.txt", "Viagem"):
        expect("speak: " + item in run.speech, f"the listing did not say {item}", run)
    with open(os.path.join(drive, "nubrado", "downloads", "compras.txt"), encoding="utf-8") as f:
        expect(f.read() == "Lista de compras: pão, leite, café.\n", "the download's content", run)
    with open(os.path.join(files_of(data, "demo@nubrado.local"), "nota.txt"), encoding="utf-8") as f:
        expect(f.read() == "Nota enviada pelo nubrado.\n", "the upload's content", run)
    users = read_lines(os.path.join(drive, "nubrado", "usuarios"))
    expect(users == ["Acesso sem login", "demo@nubrado.local:demo", "novo@nubrado.local"], f"the user list {users}", run)


def scenario_cloud_stop_and_cancel(nubrado, scratch, tools_dir):
    """Against the local cloud service: a slow upload reported with Enter and
    stopped with Esc and "s" (the server starts again and answers the next
    listing), then the account cancelled and, with the mailed link, the
    cancellation confirmed: the account is gone."""
    drive = os.path.join(scratch, "c")
    data = install_local_service(tools_dir, drive)
    with open(os.path.join(drive, "nubrado", "grande.bin"), "wb") as f:
        f.write(b"\x5a" * (1024 * 1024))
    os.environ["NUBRADO_CLOUD_RATE"] = "100K"
    try:
        keys = "ec:\\nubrado\\grande.bin{Enter}{Wait 3000}{Enter}{Wait 100}{Esc}sd{Esc}zs{Esc}s"
        run = run_nubrado(nubrado, drive, keys, scratch)
    finally:
        del os.environ["NUBRADO_CLOUD_RATE"]
    expect(run.status == 0, f"exit status {run.status}", run)
    told = message_after(run, "Iniciando upload")
    expect(re.fullmatch(r"Enviando\. \d+%de 1\.00 MB - c:\\nubrado\\grande\.bin", told) is not None,
           f"Enter told {told!r}", run)
    expect_lines(run, START + [LOCAL_NOTICE] + PROMPT_DEMO + [
        "Enviar", "Entre com o caminho do arquivo ou pasta que deseja enviar", "c:\\nubrado\\grande.bin",
        "Iniciando upload", told, "Deseja parar o envio?", "Envio interrompido."] + PROMPT_DEMO + [
        "Aguarde", "Nível 0", "5 ítens", "Selecione com setas", "Para ajuda, aperte f1"] + PROMPT_DEMO + [
        "Cancelar conta.", "Atenção:", "Se você cancelar sua conta, todos os seus dados serão perdidos.",
        "Esta operação não poderá ser desfeita depois.", "Deseja continuar?",
        "Pedido de cancelamento realizado com sucesso.", "Verifique o email associado a sua conta.",
        "Caso tenha recebido um link para confirmar o cancelamento, copie e cole no nubrado, "
        "na opção confirmar cancelamento de conta.",
        "O cancelamento só acontece depois de confirmado."] + PROMPT_DEMO + LEAVE)
    expect(not os.path.exists(os.path.join(files_of(data, "demo@nubrado.local"), "grande.bin")),
           "the stopped upload arrived", run)

    link = mailed_link(data, "demo@nubrado.local", "cancel")
    run = run_nubrado(nubrado, drive, "0" + link + "{Enter}demo{Enter}{Esc}s", scratch)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + [LOCAL_NOTICE] + PROMPT_DEMO + [
        "Digite ou cole o link para cancelar sua conta:", link, "Digite sua senha:", "****", "Aguarde.",
        "Cancelamento de conta confirmado."] + PROMPT_DEMO + LEAVE)
    expect("demo@nubrado.local" not in accounts_in(data), "the account is still there", run)


def scenario_install_local_service(nubrado, scratch, tools_dir):
    """The first run end to end: the local service packed with 7za and
    served by nginx, nubrado started on an empty drive C downloads and
    unpacks it, starts its server, finds nobody logged in and asks for a
    log-in, then shows the prompt."""
    if shutil.which("7za") is None:
        print("skipped: 7za is not installed")
        raise Skip()
    tools = os.path.join(scratch, "pacote", "megacmd")
    os.makedirs(tools)
    for program in ("megacmdserver", "megaclient", "mega-whoami", "mega-cd", "mega-mount", "mega-ls", "mega-sync"):
        shutil.copy2(os.path.join(tools_dir, program), os.path.join(tools, program))
        if shutil.which("strip"):
            subprocess.run(["strip", os.path.join(tools, program)], capture_output=True)
    with open(os.path.join(tools, "local-service"), "w") as f:
        f.write("local\n")
    run, drive, elapsed = install_and_start(
        nubrado, scratch, tools, "{Esc}{Esc}{Esc}s",
        START + [LOCAL_NOTICE, "Conectar", "Informe seu usuário", "Ou use setas para mais opções",
                 "Nubrado - Acesso sem login.", "Qual sua opção?"] + LEAVE)
    expect(any("megacmdserver" in p for p in run.processes), "the server was not started", run)
    expect(os.path.isdir(os.path.join(drive, "nubrado", "cloud-data")), "the server made no data folder", run)
    expect(read_lines(os.path.join(drive, "nubrado", "usuarios")) == ["Acesso sem login"], "the user list", run)
    print(f"first run with installation: {elapsed:.2f} s")


SCENARIOS = {
    "client_never_answers": scenario_client_never_answers,
    "result_file_never_comes": scenario_result_file_never_comes,
    "listing_error": scenario_listing_error,
    "server_running": scenario_server_running,
    "local_marker": scenario_local_marker,
    "log_in": scenario_log_in,
    "accounts": scenario_accounts,
    "listing_and_transfers": scenario_listing_and_transfers,
    "transfer_monitor": scenario_transfer_monitor,
    "help_menu_leave": scenario_help_menu_leave,
    "install": scenario_install,
    "cloud_walk": scenario_cloud_walk,
    "cloud_stop_and_cancel": scenario_cloud_stop_and_cancel,
    "install_local_service": scenario_install_local_service,
}


def run_scenario_from_arguments(scenarios, usage):
    """Runs the scenario named by the command line: NUBRADO NAME [TOOLS_DIR]."""
    if len(sys.argv) < 3 or sys.argv[2] not in scenarios:
        print(usage)
        print("scenarios: " + " ".join(scenarios))
        return 2
    nubrado, name = sys.argv[1], sys.argv[2]
    tools_dir = sys.argv[3] if len(sys.argv) > 3 else ""
    if not namespace_works():
        print("skipped: no PID namespace can be made here (the script ends its tools by name)")
        return SKIP
    with tempfile.TemporaryDirectory() as scratch:
        try:
            scenarios[name](os.path.abspath(nubrado), scratch, tools_dir)
        except Failure as failure:
            print(f"FAIL {name}: {failure}")
            return 1
        except Skip:
            return SKIP
    print(f"ok {name}")
    return 0


def main():
    return run_scenario_from_arguments(SCENARIOS, __doc__)


if __name__ == "__main__":
    sys.exit(main())
