#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""scripts/install-cloud, in both of its forms.

Local: the drive holds the programs, the marker, the user list and a data
folder whose demonstration account is logged in, with a folder inside a
folder, a contact's shared folder and a pending invitation; no server is
left running. Real: the adapters hand their arguments, untouched, to the
service's own tools, played here by recording fakes on PATH.

Usage: install_cloud_test.py INSTALL_CLOUD PROGRAM_FOLDER
"""

import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

FAILURES = []

FAKE_TOOL = """#!/usr/bin/env python3
import json, os, sys
with open(os.environ["FAKE_LOG"], "a") as log:
    log.write(json.dumps([os.path.basename(sys.argv[0])] + sys.argv[1:]) + "\\n")
print("answer of " + os.path.basename(sys.argv[0]))
"""

NASTY = ["put", "a b;$(touch PWNED)&c", "'\\\"quoted\\\"' \\x", "-o", "--", "*"]


def check(condition, message):
    if not condition:
        FAILURES.append(message)
        print("FAIL: " + message)


def clean_env(**extra):
    env = {k: v for k, v in os.environ.items() if not k.startswith("NUBRADO_CLOUD")}
    env.update(extra)
    return env


def test_local(install, programs, scratch):
    drive = os.path.join(scratch, "local-c")
    run = subprocess.run([install, "--local", "--programs", programs, drive], env=clean_env(),
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=90)
    check(run.returncode == 0, "local install failed: " + run.stdout.decode())
    tools = os.path.join(drive, "nubrado", "megacmd")
    for name in ("megacmdserver", "megaclient", "mega-whoami", "mega-cd", "mega-mount", "mega-ls", "mega-sync"):
        check(os.access(os.path.join(tools, name), os.X_OK), name + " is not installed")
    check(os.path.isfile(os.path.join(tools, "local-service")), "no local-service marker")
    with open(os.path.join(drive, "nubrado", "usuarios"), encoding="utf-8") as f:
        users = f.read().split("\n")
    check(users[0] == "Acesso sem login" and users[1].split(":")[0] == "demo@nubrado.local", "usuarios: %r" % users)
    for folder in ("temp", "downloads"):
        check(os.path.isdir(os.path.join(drive, "nubrado", folder)), folder + " is missing")

    # No server of the install may still hold the socket.
    data = os.path.join(drive, "nubrado", "cloud-data")
    probe = socket.socket(socket.AF_UNIX)
    try:
        probe.connect(os.path.join(data, "megacmd.socket"))
        check(False, "the install left its server running")
    except OSError:
        pass
    finally:
        probe.close()

    server = subprocess.Popen([os.path.join(tools, "megacmdserver")], env=clean_env(),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        def tool(name, *words):
            return subprocess.run([os.path.join(tools, name), *words], env=clean_env(), cwd=scratch,
                                  stdout=subprocess.PIPE, timeout=30).stdout.decode()
        check(tool("mega-whoami") == "Account e-mail: demo@nubrado.local\n", "the demo account is not logged in")
        root = tool("mega-ls", "/").split("\n")
        check("Documentos" in root, "root: %r" % root)
        check("Trabalho" in tool("mega-ls", "/Documentos").split("\n"), "no folder inside a folder")
        check("INSHARE on //from/ana@nubrado.local:Fotos da Ana" in tool("mega-mount"), "no shared folder")
        pending = tool("megaclient", "showpcr", "--in")
        check(pending.startswith("Incoming PCRs:") and "joao@nubrado.local\t(id:" in pending, "pending: " + pending)
        check(tool("megaclient", "users", "-n").startswith("[1] ana@nubrado.local. "), "no contact")
    finally:
        server.terminate()
        server.wait(timeout=10)

    # A second install keeps the accounts.
    with open(os.path.join(data, "state.txt"), encoding="utf-8") as f:
        before = f.read()
    run = subprocess.run([install, "--local", "--programs", programs, drive], env=clean_env(),
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=90)
    with open(os.path.join(data, "state.txt"), encoding="utf-8") as f:
        check(run.returncode == 0 and f.read() == before, "a second install changed the accounts")


def test_real(install, scratch):
    fakes = os.path.join(scratch, "fake-bin")
    os.makedirs(fakes)
    for name in ("mega-exec", "mega-cmd-server", "mega-whoami", "mega-cd", "mega-mount", "mega-ls", "mega-sync"):
        path = os.path.join(fakes, name)
        with open(path, "w") as f:
            f.write(FAKE_TOOL)
        os.chmod(path, 0o755)
    log = os.path.join(scratch, "calls.log")
    env = clean_env(PATH=fakes + os.pathsep + os.environ["PATH"], FAKE_LOG=log)
    drive = os.path.join(scratch, "real-c")
    # Without a choice, the installed tools win.
    run = subprocess.run([install, drive], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    check(run.returncode == 0, "real install failed: " + run.stdout.decode())
    tools = os.path.join(drive, "nubrado", "megacmd")
    check(not os.path.exists(os.path.join(tools, "local-service")), "the marker names a local service")

    result = os.path.join(scratch, "result file")
    work = os.path.join(scratch, "work")
    os.makedirs(work)
    subprocess.run([os.path.join(tools, "megaclient"), *NASTY, "-o", result], env=env, cwd=work, timeout=30)
    with open(result) as f:
        check(f.read() == "answer of mega-exec\n", "the answer did not reach the result file")
    out = subprocess.run([os.path.join(tools, "mega-ls"), "-l", "a b", "$(x)"], env=env, cwd=work,
                         stdout=subprocess.PIPE, timeout=30).stdout.decode()
    check(out == "answer of mega-ls\n", "mega-ls printed %r" % out)
    server = subprocess.run([os.path.join(tools, "megacmdserver"), "--x"], env=env, cwd=work, timeout=30)
    check(server.returncode == 0, "the server adapter failed")

    with open(log) as f:
        calls = [json.loads(line) for line in f]
    check(calls == [["mega-exec", *NASTY], ["mega-ls", "-l", "a b", "$(x)"], ["mega-cmd-server", "--x"]],
          "calls: %r" % calls)
    check(not os.path.exists(os.path.join(work, "PWNED")), "an argument was run by a shell")

    # Asked for explicitly without the tools, the real form refuses.
    bare = clean_env(PATH="/usr/bin:/bin", FAKE_LOG=log)
    run = subprocess.run([install, "--real", os.path.join(scratch, "none-c")], env=bare,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    check(run.returncode != 0, "--real installed without the tools")


def main():
    install = os.path.abspath(sys.argv[1])
    programs = os.path.abspath(sys.argv[2])
    scratch = tempfile.mkdtemp(prefix="cloud-install-")
    try:
        test_local(install, programs, scratch)
        test_real(install, scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    if FAILURES:
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
