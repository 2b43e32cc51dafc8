#!/usr/bin/env python3
"""The desktop commands end to end: corvante acting on a virtual X server.

Starts Xvfb and the jwm window manager, then runs small scripts through
`corvante --headless --fast --desktop x11` and checks what they did with
programs of the desktop: text typed into `xterm -u8` (with the US layout
and with the Brazilian ABNT2 one, whose dead keys compose the accents),
key combinations, the pointer, window actions seen with xprop, the title
of the window in front, and the clipboard in both directions with xclip,
also after the script has ended. Exits 77 (skipped) when a tool is missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

TOOLS = ["Xvfb", "jwm", "xterm", "xclip", "xprop", "setxkbmap", "xdotool", "xwininfo"]


class Desktop:
    def __init__(self, tmp):
        self.tmp = tmp
        self.processes = []
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.processes.append(xvfb)
        number = b""
        while not number.endswith(b"\n"):
            piece = os.read(read_end, 16)
            if not piece:
                raise RuntimeError("Xvfb did not start")
            number += piece
        os.close(read_end)
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip(), LANG="C.UTF-8", LC_ALL="C.UTF-8")
        self.env.pop("WAYLAND_DISPLAY", None)
        home = os.path.join(tmp, "home")
        os.makedirs(home)
        self.env["HOME"] = home
        self.start(["jwm"])
        time.sleep(1.0)

    def start(self, command):
        process = subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def run(self, command, stdin=None):
        return subprocess.run(command, env=self.env, input=stdin, capture_output=True, timeout=30)

    def feed(self, command, stdin):
        """Runs a command that stays behind (xclip serving the clipboard) with no pipes held."""
        subprocess.run(command, env=self.env, input=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30)

    def stop(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, what, actual, expected):
        if actual == expected:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL {what}: expected {expected!r}, got {actual!r}")


def run_script(desktop, corvante, lines, name, fast=True):
    """Runs the script (Windows-1252 lines); returns its console log as UTF-8 text.

    Typing runs in real time (fast=False), with its pauses between keys."""
    script = os.path.join(desktop.tmp, name + ".cor")
    with open(script, "wb") as file:
        file.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    log = os.path.join(desktop.tmp, name + ".log")
    command = [corvante, "--headless", "--desktop", "x11", "--log", log, script]
    if fast:
        command.insert(1, "--fast")
    result = desktop.run(command)
    if result.returncode != 0:
        print(f"{name}: corvante ended with {result.returncode}: {result.stderr.decode(errors='replace')}")
    with open(log, "rb") as file:
        return file.read().decode("utf-8", "replace")


def wait_for(condition, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    return None


def window_of(desktop, title):
    result = desktop.run(["xdotool", "search", "--name", title])
    ids = result.stdout.split()
    return int(ids[0]) if ids else None


def read_file(path):
    if not os.path.exists(path):
        return b""
    with open(path, "rb") as file:
        return file.read()


def start_catcher(desktop, name):
    """An xterm that writes every line typed into it to a file; its window id."""
    output = os.path.join(desktop.tmp, name + ".txt")
    title = "Coletor " + name
    desktop.start(["xterm", "-u8", "-title", title, "-e", "sh", "-c", f"stty -echo; cat > '{output}'"])
    window = wait_for(lambda: window_of(desktop, title))
    time.sleep(0.5)
    return title, window, output


def check_typing(desktop, corvante, checks, layout):
    if layout:
        desktop.run(["setxkbmap", "-layout", layout, "-model", "abnt2"])
    else:
        desktop.run(["setxkbmap", "-layout", "us"])
    name = "digita_" + (layout or "us")
    title, window, output = start_catcher(desktop, name)
    checks.expect(f"{name}: xterm opened", window is not None, True)
    text = "ação é à ü ñ ç Ç ô Ãx ÿ ~^ ok!"
    log = run_script(desktop, corvante, [
        f'janela normal "{title}"',
        f'digita "{text}"',
        'digita "xyz" &',
        'aciona "ctrl+u"',
        'digita "ab" &',
        'aciona "backspace"',
        'aciona "shift+#67"',
        'aciona "enter"',
    ], name, fast=False)
    expected = (text + "\naC\n").encode("utf-8")
    got = wait_for(lambda: read_file(output) if read_file(output).count(b"\n") >= 2 else None, 5) or read_file(output)
    checks.expect(f"{name}: typed bytes", got, expected)
    if got != expected:
        print(f"{name}: the script wrote {log!r}")
    desktop.run(["xdotool", "windowclose", str(window)]) if window else None


def check_windows(desktop, corvante, checks):
    title, window, _ = start_catcher(desktop, "janelas")
    log = run_script(desktop, corvante, [
        f'janela minimiza "*coletor jan"',
        'escreve "minimizada"',
    ], "minimiza")
    state = desktop.run(["xprop", "-id", str(window), "WM_STATE"]).stdout.decode()
    checks.expect("JANELA MINIMIZA iconifies", "Iconic" in state, True)
    run_script(desktop, corvante, [f'janela maximiza "JANELAS*"'], "maximiza")
    time.sleep(0.5)
    state = desktop.run(["xprop", "-id", str(window), "_NET_WM_STATE"]).stdout.decode()
    checks.expect("JANELA MAXIMIZA maximises", "_NET_WM_STATE_MAXIMIZED_VERT" in state and "MAXIMIZED_HORZ" in state, True)
    log = run_script(desktop, corvante, ['captura t\u00edtulo $t', 'escreve $t'], "titulo")
    checks.expect("CAPTURA TÍTULO reads the title", log.strip(), title)
    run_script(desktop, corvante, [f'janela normal "{title}"'], "normal")
    time.sleep(0.5)
    state = desktop.run(["xprop", "-id", str(window), "_NET_WM_STATE"]).stdout.decode()
    checks.expect("JANELA NORMAL restores", "MAXIMIZED" in state, False)

    # The pointer: on the screen, then relative to the frame of the window in front.
    run_script(desktop, corvante, ['clica nulo tela 123, 45'], "clica_tela")
    location = desktop.run(["xdotool", "getmouselocation"]).stdout.decode().split()
    checks.expect("CLICA TELA moves the pointer", location[:2], ["x:123", "y:45"])
    # Away from the corner, so that a frame taken as at 0,0 would show.
    desktop.run(["xdotool", "windowmove", str(window), "200", "150"])
    time.sleep(0.5)
    client = desktop.run(["xwininfo", "-id", str(window)]).stdout.decode()
    client_left = int(client.split("Absolute upper-left X:")[1].split()[0])
    client_top = int(client.split("Absolute upper-left Y:")[1].split()[0])
    extents = desktop.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"]).stdout.decode()
    left_border, _, top_border, _ = (int(value) for value in extents.split("=")[1].split(","))
    left = client_left - left_border
    top = client_top - top_border
    border = left_border
    run_script(desktop, corvante, ['clica nulo 5, 5'], "clica_janela")
    location = desktop.run(["xdotool", "getmouselocation"]).stdout.decode().split()
    checks.expect("CLICA moves relative to the frame", location[:2], [f"x:{left + border + 5}", f"y:{top + 9}"])

    log = run_script(desktop, corvante, ['janela fecha "*coletor janelas*"', 'escreve "fechada"',
                                         'janela fecha "nada disso"', 'escreve "nenhuma"'], "fecha")
    gone = wait_for(lambda: window_of(desktop, title) is None, 5)
    checks.expect("JANELA FECHA closes the window", bool(gone), True)


def check_window_backend(desktop, corvante, checks):
    """Accented text typed by xdotool and by DIGITA reaches the console in a window."""
    script = os.path.join(desktop.tmp, "janela_console.cor")
    with open(script, "wb") as file:
        file.write('le $a\r\nescreve mudo "[" $a "]"\r\nle $b\r\nescreve mudo "[" $b "]"\r\n'.encode("cp1252"))
    log = os.path.join(desktop.tmp, "janela_console.log")
    # xdotool puts back a character it had to lend a keycode to as soon as
    # the key is up, and a slow window then reads the key without it; a
    # layout with á on a key of its own keeps the test about the window.
    desktop.run(["setxkbmap", "-layout", "hu"])
    program = subprocess.Popen([corvante, "--headless", "--window", "--fast", "--log", log, script], env=desktop.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = wait_for(lambda: desktop.run(["xdotool", "search", "--pid", str(program.pid)]).stdout.split())
        if not window:
            checks.expect("the console window opened", False, True)
            return
        desktop.run(["xdotool", "windowactivate", "--sync", window[-1]])
        time.sleep(0.5)
        desktop.run(["xdotool", "type", "x\u00e1"])
        desktop.run(["xdotool", "key", "Return"])
        run_script(desktop, corvante, ['digita "y\u00e1"'], "digita_janela", fast=False)
        program.wait(10)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        desktop.run(["setxkbmap", "-layout", "us"])
    lines = [line for line in read_file(log).decode("utf-8", "replace").split("\n") if line.startswith("[")]
    checks.expect("accented text reaches the console window", lines, ["[x\u00e1]", "[y\u00e1]"])


def check_clipboard(desktop, corvante, checks):
    run_script(desktop, corvante, ['seja $t "Ação: 5 €"', 'transfere de $t'], "transfere_de")
    # The script has ended: the text must still be there for other programs.
    result = desktop.run(["xclip", "-o", "-selection", "clipboard"])
    checks.expect("TRANSFERE DE outlives the script", result.stdout, "Ação: 5 €".encode("utf-8"))
    result = desktop.run(["xclip", "-o", "-selection", "clipboard", "-t", "STRING"])
    checks.expect("the clipboard answers STRING", result.stdout, "Ação: 5 ?".encode("latin-1"))
    targets = desktop.run(["xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"]).stdout.decode()
    checks.expect("the clipboard offers its targets", all(t in targets for t in ["UTF8_STRING", "STRING", "TARGETS"]), True)

    desktop.feed(["xclip", "-i", "-selection", "clipboard"], "olá, mundo".encode("utf-8"))
    log = run_script(desktop, corvante, ['transfere para $r', 'escreve $r'], "transfere_para")
    checks.expect("TRANSFERE PARA reads another program's text", log.strip(), "olá, mundo")
    # A text larger than one request reaches the reader in INCR pieces.
    big = ("0123456789" * 40000).encode()
    desktop.feed(["xclip", "-i", "-selection", "clipboard"], big)
    log = run_script(desktop, corvante, ['transfere para $r', 'escreve $r'], "transfere_incr")
    checks.expect("TRANSFERE PARA reads INCR transfers", log.strip(), ("0123456789" * 103)[:1023])


def main():
    corvante = sys.argv[1]
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    checks = Checks()
    with tempfile.TemporaryDirectory() as tmp:
        desktop = Desktop(tmp)
        try:
            for layout in os.environ.get("DESKTOP_TEST_LAYOUTS", "us br").split():
                check_typing(desktop, corvante, checks, None if layout == "us" else layout)
            check_clipboard(desktop, corvante, checks)
            check_window_backend(desktop, corvante, checks)
            check_windows(desktop, corvante, checks)
        finally:
            desktop.stop()
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
