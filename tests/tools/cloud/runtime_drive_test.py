#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The local cloud service as a script reaches it through the runtime.

Lays out a drive with scripts/install-cloud, starts its server, and runs a
script with corvante that uses the tools the way the application does:
"cmd /c ...mega-whoami >result", "megaclient.exe ... -o result" started
captured and watched with EXISTEPROG "megaclient.exe" while it prints its
progress, "cmd /c ...mega-sync -d" with the local path in the form the
sync list shows it, and, from the tools' own folder, "cmd /c megaclient get
""LINK"" ..." with a bare program name and an exported link. The server is stopped by the PID started.

Usage: runtime_drive_test.py CORVANTE INSTALL_CLOUD PROGRAM_FOLDER
"""

import os
import shutil
import subprocess
import sys
import tempfile

SCRIPT = r"""
abre #2 "c:\relato.txt" &
executa "cmd /c c:\nubrado\megacmd\mega-whoami >c:\nubrado\temp\result 2>&1" &&&
existeprog "cmd.exe" $roda
enquanto $roda = "1"
    espera ms 20
    existeprog "cmd.exe" $roda
fim enquanto
abre #1 "c:\nubrado\temp\result"
le #1 $linha
fecha #1
escreve #2 "quem: " $linha
executa "c:\nubrado\megacmd\megaclient.exe put ""c:\envio com espaço.bin"" -o c:\nubrado\temp\result" &&&
seja $visto = "0"
existeprog "megaclient.exe" $roda
enquanto $roda = "1"
    seja $visto = "1"
    le console $saida
    escreve #2 $saida
    espera ms 100
    existeprog "megaclient.exe" $roda
fim enquanto
le console $saida
escreve #2 $saida
escreve #2 "visto: " $visto
executa "cmd /c c:\nubrado\megacmd\mega-sync -d ""\\?\C:\sync\Documentos"" >c:\nubrado\temp\result 2>&1" &&&
existeprog "cmd.exe" $roda
enquanto $roda = "1"
    espera ms 20
    existeprog "cmd.exe" $roda
fim enquanto
abre #1 "c:\nubrado\temp\result"
le #1 $linha
fecha #1
escreve #2 "sync: " $linha
dir troca "c:\nubrado\megacmd"
executa "cmd /c megaclient get ""{LINK}"" c:\baixado -o c:\nubrado\temp\result" &&&
existeprog "cmd.exe" $roda
enquanto $roda = "1"
    espera ms 20
    existeprog "cmd.exe" $roda
fim enquanto
fecha #2
"""


def main():
    corvante, install, programs = (os.path.abspath(a) for a in sys.argv[1:4])
    scratch = tempfile.mkdtemp(prefix="cloud-runtime-")
    env = {k: v for k, v in os.environ.items() if not k.startswith("NUBRADO_CLOUD")}
    server = None
    failures = []
    try:
        drive = os.path.join(scratch, "c")
        subprocess.run([install, "--local", "--programs", programs, drive], env=env, check=True,
                       stdout=subprocess.DEVNULL, timeout=90)
        tools = os.path.join(drive, "nubrado", "megacmd")
        payload = os.urandom(1536 * 1024)
        with open(os.path.join(drive, "envio com espaço.bin"), "wb") as f:
            f.write(payload)
        local = os.path.join(drive, "sync", "Documentos")
        os.makedirs(local)
        server = subprocess.Popen([os.path.join(tools, "megacmdserver")], env=dict(env, NUBRADO_CLOUD_RATE="1M"),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        added = subprocess.run([os.path.join(tools, "megaclient"), "sync", local, "/Documentos"], env=env,
                               stdout=subprocess.PIPE, timeout=30).stdout.decode()
        if not added.startswith("Added sync"):
            failures.append("sync: " + added)
        shared = os.urandom(300 * 1024)
        with open(os.path.join(scratch, "por link.bin"), "wb") as f:
            f.write(shared)
        os.makedirs(os.path.join(drive, "baixado"))
        subprocess.run([os.path.join(tools, "megaclient"), "put", "por link.bin", "/"], env=env, cwd=scratch,
                       stdout=subprocess.DEVNULL, timeout=30)
        exported = subprocess.run([os.path.join(tools, "megaclient"), "export", "-a", "-f", "/por link.bin"], env=env,
                                  stdout=subprocess.PIPE, timeout=30).stdout.decode()
        link = exported[exported.find("https://"):].strip()
        if not link.startswith("https://nuvem.invalid/link/"):
            failures.append("export: " + exported)
        script = os.path.join(scratch, "cloud.cor")
        with open(script, "w", encoding="utf-8") as f:
            f.write(SCRIPT.replace("{LINK}", link))
        run = subprocess.run([corvante, "--headless", "--drive", "C=" + drive, script], env=env, cwd=scratch,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=90)
        if run.returncode != 0:
            failures.append("corvante ended with %d: %s" % (run.returncode, run.stdout.decode(errors="replace")))
        with open(os.path.join(drive, "relato.txt"), encoding="cp1252") as f:
            report = f.read()
        if "quem: Account e-mail: demo@nubrado.local" not in report:
            failures.append("whoami through cmd: " + report[:200])
        if "visto: 1" not in report:
            failures.append("EXISTEPROG never saw megaclient.exe running")
        if "(1.50/1.50 MB: 100.00 %)" not in report:
            failures.append("no final progress line in the captured output: " + report[-300:])
        if "sync: Sync 1 removed: " not in report:
            failures.append("mega-sync -d with the listed path: " + report[-200:])
        by_link = os.path.join(drive, "baixado", "por link.bin")
        if not os.path.exists(by_link) or open(by_link, "rb").read() != shared:
            failures.append("megaclient from its folder did not get the link: %r" % os.listdir(os.path.join(drive, "baixado")))
        with open(os.path.join(drive, "nubrado", "temp", "result"), encoding="utf-8") as f:
            answer = f.read()
        if answer != "":
            failures.append("get of the link answered: " + answer)
        uploaded = os.path.join(drive, "nubrado", "cloud-data", "accounts", "1", "files", "envio com espaço.bin")
        if not os.path.exists(uploaded) or open(uploaded, "rb").read() != payload:
            failures.append("the upload did not arrive whole")
    finally:
        if server and server.poll() is None:
            server.terminate()
            server.wait(timeout=10)
        shutil.rmtree(scratch, ignore_errors=True)
    for failure in failures:
        print("FAIL: " + failure)
    if failures:
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
