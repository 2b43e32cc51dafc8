#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The local cloud service end to end, through its programs.

Starts megacmdserver on a data folder of its own, then walks two accounts
through signup, confirmation, log-in, uploads and downloads, sharing,
invitations, a sync, deletion and log-out with megaclient (answers in a
result file) and the mega- commands (answers on the output), checking the
answers and the files on disk. The server is stopped by the PID started.

Usage: cloud_service_test.py PROGRAM_FOLDER
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)
        print("FAIL: " + message)


class Service:
    def __init__(self, programs, scratch):
        self.programs = programs
        self.scratch = scratch
        self.drive_c = os.path.join(scratch, "c")
        self.data = os.path.join(self.drive_c, "nubrado", "cloud-data")
        self.result = os.path.join(scratch, "result")
        self.env = dict(os.environ, NUBRADO_CLOUD_DATA=self.data, NUBRADO_CLOUD_RATE="2M")
        self.client_folder = os.path.join(scratch, "client")
        os.makedirs(self.client_folder)
        self.server = None

    def start(self):
        self.server = subprocess.Popen(
            [os.path.join(self.programs, "megacmdserver"), "--sync-interval=100"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        check(wait_for(lambda: os.path.exists(os.path.join(self.data, "megacmd.socket"))), "the server did not start")

    def stop(self):
        if self.server and self.server.poll() is None:
            self.server.terminate()
            self.server.wait(timeout=10)

    def client(self, *words, cwd=None):
        """megaclient WORDS -o RESULT: (first line, whole answer, output)."""
        if os.path.exists(self.result):
            os.remove(self.result)
        run = subprocess.run([os.path.join(self.programs, "megaclient"), *words, "-o", self.result],
                             env=self.env, cwd=cwd or self.client_folder,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
        with open(self.result, encoding="utf-8") as f:
            answer = f.read()
        return answer.split("\n")[0], answer, run.stdout.decode("utf-8")

    def wrapper(self, name, *words):
        run = subprocess.run([os.path.join(self.programs, "mega-" + name), *words], env=self.env,
                             cwd=self.client_folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
        return run.returncode, run.stdout.decode("utf-8")

    def mailed_link(self, email, kind):
        folder = os.path.join(self.data, "mailbox", email)
        newest = sorted(name for name in os.listdir(folder) if kind in name)[-1]
        with open(os.path.join(folder, newest), encoding="utf-8") as f:
            text = f.read()
        start = text.index("https://")
        return text[start:text.index("\n", start)]

    def account_folder(self, number):
        return os.path.join(self.data, "accounts", str(number), "files")


def wait_for(condition, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


def walk(service):
    s = service
    # A second server on the same data folder gives way (after a second
    # in which a server killed just now would have let go of the lock).
    second = subprocess.run([os.path.join(s.programs, "megacmdserver")], env=s.env, timeout=30,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(second.returncode == 1, "a second server started: %d" % second.returncode)
    for email, password in (("ana@exemplo.com", "senha ana"), ("bob@exemplo.com", "s&nha;$(bob)")):
        first, answer, _ = s.client("signup", email, password)
        lines = answer.split("\n")
        check(len(lines) > 1 and "> created succesfully." in lines[1], "signup answer: " + answer)
        first, _, _ = s.client("confirm", s.mailed_link(email, "confirm"), email, password)
        check("confirmed succesfully." in first, "confirm answer: " + first)

    first, _, _ = s.client("login", "ana@exemplo.com", "wrong")
    check(first != "", "a wrong password logs in")
    first, _, _ = s.client("login", "ana@exemplo.com", "senha ana")
    check(first == "", "login answer: " + first)
    status, out = s.wrapper("whoami")
    check(status == 0 and out == "Account e-mail: ana@exemplo.com\n", "whoami: " + out)

    # A name full of shell syntax goes up and down as plain text.
    odd_name = "relatório $(touch PWNED); a&b 'c' \"d\".txt"
    payload = bytes(range(256)) * 4096  # 1 MiB
    with open(os.path.join(s.client_folder, odd_name), "wb") as f:
        f.write(payload)
    started = time.monotonic()
    first, answer, output = s.client("put", odd_name)
    elapsed = time.monotonic() - started
    check(first == "" and answer == "", "put answer: " + answer)
    check("%" in output and "1.00 MB: 100.00 %" in output, "put progress: " + output[-200:])
    check(elapsed >= 0.35, "a 1 MiB upload at 2 MiB/s took only %.2f s" % elapsed)
    with open(os.path.join(s.account_folder(1), odd_name), "rb") as f:
        check(f.read() == payload, "the uploaded file differs")
    first, _, _ = s.client("mkdir", "-p", "Compartilhada/por dentro")
    check(first == "", "mkdir answer: " + first)
    first, _, _ = s.client("put", odd_name, "Compartilhada")
    check(first == "", "put into a folder: " + first)

    # The root listing exactly as the application asks for it.
    listing = os.path.join(s.scratch, "listing")
    p = s.programs
    line = (f"'{p}/mega-cd' / && '{p}/mega-mount' >>'{listing}' 2>&1 && echo ------ >>'{listing}'"
            f" && '{p}/mega-ls' / >>'{listing}' 2>&1")
    subprocess.run(["/bin/sh", "-c", line], env=s.env, cwd=s.client_folder, timeout=60, stdout=subprocess.DEVNULL)
    with open(listing, encoding="utf-8") as f:
        root = f.read().split("\n")
    check("------" in root and root[root.index("------") + 1:] == ["Compartilhada", odd_name, ""],
          "root listing: %r" % root)

    first, _, _ = s.client("invite", "bob@exemplo.com", "--message=Olá, Bob!")
    check(first == "Invitation sent to bob@exemplo.com", "invite: " + first)
    s.client("logout")
    first, _, _ = s.client("login", "bob@exemplo.com", "s&nha;$(bob)")
    check(first == "", "bob's login: " + first)
    first, answer, _ = s.client("showpcr", "--in")
    check(first == "Incoming PCRs:" and "ana@exemplo.com\t(id:" in answer, "pending: " + answer)
    first, _, _ = s.client("ipc", "-a", "ana@exemplo.com")
    check(first == "Accepted invitation by ana@exemplo.com", "accept: " + first)
    first, _, _ = s.client("users", "-n")
    check(first.startswith("[1] ana@exemplo.com. "), "contacts: " + first)

    s.client("logout")
    s.client("login", "ana@exemplo.com", "senha ana")
    first, _, _ = s.client("share", "-a", "--with=bob@exemplo.com", "--level=1", "Compartilhada")
    check(not first.startswith("[API:err"), "share: " + first)
    first, _, _ = s.client("export", "-a", "-f", odd_name)
    check(first.startswith("Exported /" + odd_name + ": https://nuvem.invalid/link/"), "export: " + first)
    link = first[first.find("https://"):]
    s.client("logout")
    s.client("login", "bob@exemplo.com", "s&nha;$(bob)")
    status, mounts = s.wrapper("mount")
    check("INSHARE on //from/ana@exemplo.com:Compartilhada (read/write access)" in mounts, "mount: " + mounts)
    first, _, _ = s.client("cd", "//from/ana@exemplo.com:Compartilhada")
    check(first == "", "cd into the share: " + first)
    downloads = os.path.join(s.scratch, "downloads")
    os.makedirs(downloads)
    first, _, output = s.client("get", odd_name, cwd=downloads)
    check(first == "" and "100.00 %" in output, "get: " + first)
    with open(os.path.join(downloads, odd_name), "rb") as f:
        check(f.read() == payload, "the downloaded file differs")
    first, _, _ = s.client("rm", odd_name)
    check(first.startswith("[API:err"), "read/write access deleted a file: " + first)

    # An exported link downloads like a path, with the same progress lines.
    by_link = os.path.join(s.scratch, "by link")
    os.makedirs(by_link)
    first, answer, output = s.client("get", link, by_link)
    check(answer == "" and "1.00 MB: 100.00 %" in output, "get of a link: %r %r" % (answer, output[-200:]))
    if os.path.exists(os.path.join(by_link, odd_name)):
        with open(os.path.join(by_link, odd_name), "rb") as f:
            check(f.read() == payload, "the file downloaded by its link differs")
    else:
        check(False, "the link's file is not in its folder: %r" % os.listdir(by_link))
    first, _, _ = s.client("get", link + "0", by_link)
    check(first.startswith("[API:err: "), "get of an unknown link: " + first)

    # A server killed during a download leaves its hidden part behind; the
    # next server removes it, and the name is free again.
    cut_folder = os.path.join(s.scratch, "cut by a crash")
    os.makedirs(cut_folder)
    part = os.path.join(cut_folder, "." + odd_name + ".part")
    cut = subprocess.Popen([os.path.join(p, "megaclient"), "get", odd_name, "-o", s.result],
                           env=s.env, cwd=cut_folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(wait_for(lambda: os.path.exists(part)), "no part file while downloading")
    s.server.kill()
    s.server.wait()
    cut.wait(timeout=30)
    check(os.path.exists(part), "the download ended before the server was killed")
    s.start()
    check(wait_for(lambda: not os.path.exists(part)), "a restarted server left %r" % os.listdir(cut_folder))
    first, _, _ = s.client("get", odd_name, cut_folder)
    check(first == "" and os.listdir(cut_folder) == [odd_name], "get after a crash: %r %r" % (first, os.listdir(cut_folder)))

    # A download cut off by the end of its client leaves nothing behind.
    cut = subprocess.Popen([os.path.join(p, "megaclient"), "get", odd_name, "-o", s.result],
                           env=s.env, cwd=s.scratch, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    time.sleep(0.15)
    cut.kill()
    cut.wait()
    time.sleep(0.6)
    leftovers = [n for n in os.listdir(s.scratch) if n.endswith(".part") or n == odd_name]
    check(leftovers == [], "a cut download left %r" % leftovers)

    # A sync copies both ways while the server runs.
    local = os.path.join(s.drive_c, "sync", "Compartilhada")
    os.makedirs(local)
    first, _, _ = s.client("sync", local, "//from/ana@exemplo.com:Compartilhada")
    check(not first.startswith("[API:err"), "sync: " + first)
    check(wait_for(lambda: os.path.exists(os.path.join(local, odd_name))), "the sync did not bring the file down")
    with open(os.path.join(local, "de bob.txt"), "w", encoding="utf-8") as f:
        f.write("enviado pela sincronização")
    up = os.path.join(s.account_folder(1), "Compartilhada", "de bob.txt")
    check(wait_for(lambda: os.path.exists(up)), "the sync did not take the new file up")
    _, answer, _ = s.client("sync", "--path-display-size=1024")
    rows = [r for r in answer.split("\n")[1:] if "//from/ana@exemplo.com:Compartilhada" in r]
    check(len(rows) == 1, "sync list: " + answer)
    if rows:
        shown = rows[0][rows[0].index("\\\\?\\"):rows[0].index("/")].strip()
        check(shown == "\\\\?\\C:\\sync\\Compartilhada", "shown local path: " + shown)
        status, out = s.wrapper("sync", "-d", shown)
        check(status == 0 and not out.startswith("[API:err"), "mega-sync -d: " + out)
    _, answer, _ = s.client("sync")
    check(answer == "", "the sync is still listed: " + answer)

    s.client("logout")
    s.client("login", "ana@exemplo.com", "senha ana")
    first, _, _ = s.client("rm", "Compartilhada")
    check("Unable to delete folder:" in first, "rm of a folder: " + first)
    first, _, _ = s.client("rm", "-r", "-f", "Compartilhada")
    check(first == "", "rm -r -f: " + first)
    check(not os.path.exists(os.path.join(s.account_folder(1), "Compartilhada")), "the folder is still on disk")
    first, _, _ = s.client("logout")
    status, out = s.wrapper("whoami")
    check(status != 0 and "Not logged in." in out, "whoami after logout: " + out)
    status, out = s.wrapper("cd", "/")
    check(status != 0, "mega-cd succeeded without a session")

    for top, _, files in os.walk(s.scratch):
        check("PWNED" not in files, "a name was run by a shell in " + top)


def main():
    programs = os.path.abspath(sys.argv[1])
    scratch = tempfile.mkdtemp(prefix="cloud-walk-")
    service = Service(programs, scratch)
    try:
        service.start()
        walk(service)
        check(service.server.poll() is None, "the server ended during the walk")
    finally:
        service.stop()
        shutil.rmtree(scratch, ignore_errors=True)
    if FAILURES:
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
