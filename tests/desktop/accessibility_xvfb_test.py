#!/usr/bin/env python3
"""MSAA end to end: corvante reading gtk3-widget-factory through AT-SPI.

First, without any session bus, the MSAA commands must find nothing and the
program must live on (the accessibility library would end it). Then, inside
`dbus-run-session` (with XDG_RUNTIME_DIR set, as the accessibility bus needs),
on Xvfb with jwm, gtk3-widget-factory runs; a script watches the events
while the test moves the focus with Tab until a check box has it, and the
check box's name, role, state and extents are checked: MSAA CAPTURA at the
middle of those extents finds the same check box, and a click there (with
xdotool) flips the state that MSAA ESTADO reads. Prints the time of one
MSAA CAPTURA. Exits 77 (skipped) when a tool is missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_xvfb_test import Checks, Desktop, wait_for, window_of  # noqa: E402

TOOLS = ["Xvfb", "jwm", "xdotool", "xwininfo", "dbus-run-session", "gtk3-widget-factory"]
# Its window is named "gtk3-widget-factory" or "Widget Factory" (a regular
# expression for xdotool).
FACTORY_TITLE = "[Ww]idget.[Ff]actory"
CHECK_BUTTON = "44"


def write_script(folder, name, lines):
    path = os.path.join(folder, name + ".cor")
    with open(path, "wb") as file:
        file.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    return path


def read_log(path):
    if not os.path.exists(path):
        return ""
    with open(path, "rb") as file:
        return file.read().decode("utf-8", "replace")


def run_corvante(corvante, folder, name, lines, env, fast=True):
    """Runs a script to its end; (exit status, console log)."""
    script = write_script(folder, name, lines)
    log = os.path.join(folder, name + ".log")
    command = [corvante, "--headless", "--desktop", "x11", "--log", log, script]
    if fast:
        command.insert(1, "--fast")
    result = subprocess.run(command, env=env, capture_output=True, timeout=60)
    return result.returncode, read_log(log)


READ_OBJECT = [
    "msaa nome $n",
    "msaa c\u00f3digo $k",
    "msaa tipo $t",
    "msaa estado $e",
    "msaa area $x $y $l $a",
]
SHOW_OBJECT = 'escreve $n "|" $k "|" $t "|" $e "|" $x "|" $y "|" $l "|" $a'


def parse_object(line):
    fields = line.split("|")
    if len(fields) != 8:
        return None
    name, code, role, state, x, y, width, height = fields
    return {"name": name, "code": code, "role": role, "state": state,
            "area": tuple(int(value) for value in (x, y, width, height))}


def check_without_bus(corvante, folder, checks):
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(folder, "no-bus"))
    env.pop("DISPLAY", None)
    env.pop("XDG_RUNTIME_DIR", None)
    status, log = run_corvante(corvante, folder, "sem_barramento", [
        "msaa monitora",
        "msaa checa $c",
        "msaa captura 10 10",
        "msaa nome $n",
        "msaa c\u00f3digo $k",
        "msaa fim",
        'escreve "checa " $c " nome [" $n "] c\u00f3digo " $k',
    ], env)
    checks.expect("without a bus the program lives on", status, 0)
    checks.expect("without a bus MSAA finds nothing", log.strip(), "checa 0 nome [] c\u00f3digo 0")
    help_text = subprocess.run([corvante, "--help"], env=env, capture_output=True, timeout=30).stdout.decode()
    checks.expect("--help tells that there is no bus", "Accessibility: none (no session bus)" in help_text, True)


def events_of(log):
    events = [parse_object(line[len("evento|"):]) for line in read_log(log).splitlines() if line.startswith("evento|")]
    return [event for event in events if event]


def on_screen(event):
    return event["code"] == CHECK_BUTTON and event["area"][2] > 1 and event["area"][3] > 1


def watch_focus_until_check_box(desktop, corvante, checks):
    """Tabs through the factory while a script reads the events; the check box's reading."""
    script = write_script(desktop.tmp, "eventos", [
        "msaa monitora",
        'escreve "monitorando"',
        "seja $i 0",
        "@espera",
        "soma $i 1",
        "se $i > 300 desvia @fim",
        "espera ms 100",
        "@evento",
        "msaa checa $c",
        'se $c = "0" desvia @espera',
    ] + READ_OBJECT + [
        'escreve "evento|" ' + SHOW_OBJECT.split(" ", 1)[1],
        # A check box in a closed menu has focus events too, but no place
        # on the screen.
        f'se $k <> "{CHECK_BUTTON}" desvia @evento',
        "se $l > 1 desvia @fim",
        "desvia @evento",
        "@fim",
        "msaa fim",
        'escreve "fim"',
    ])
    log = os.path.join(desktop.tmp, "eventos.log")
    watcher = subprocess.Popen([corvante, "--headless", "--desktop", "x11", "--log", log, script], env=desktop.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        started = wait_for(lambda: "monitorando" in read_log(log), 30)
        checks.expect("MSAA MONITORA starts watching", bool(started), True)
        window = window_of(desktop, FACTORY_TITLE)
        if window:
            desktop.run(["xdotool", "windowactivate", "--sync", str(window)])
        for _ in range(60):
            if any(on_screen(event) for event in events_of(log)) or watcher.poll() is not None:
                break
            desktop.run(["xdotool", "key", "Tab"])
            time.sleep(0.4)
        watcher.wait(60)
    finally:
        if watcher.poll() is None:
            watcher.terminate()
            watcher.wait(5)
    events = events_of(log)
    checks.expect("focus events are read", len(events) > 0, True)
    checks.expect("the events' objects have names", any(event["name"] for event in events), True)
    repeated = [first for first, second in zip(events, events[1:]) if first == second]
    checks.expect("each focus move is told once", repeated, [])
    boxes = [event for event in events if on_screen(event)]
    checks.expect("a check box took the focus", len(boxes) > 0, True)
    if not boxes:
        print("events read:", events)
    else:
        print("check box:", boxes[-1], "after", len(events), "events")
    return boxes[-1] if boxes else None


def capture(desktop, corvante, name, x, y):
    status, log = run_corvante(corvante, desktop.tmp, name, [f"msaa captura {x} {y}"] + READ_OBJECT + [SHOW_OBJECT],
                               desktop.env)
    return parse_object(log.strip()) if status == 0 else None


def window_area(desktop, window):
    info = desktop.run(["xwininfo", "-id", str(window)]).stdout.decode()

    def number(label):
        return int(info.split(label)[1].split()[0])
    return (number("Absolute upper-left X:"), number("Absolute upper-left Y:"), number("Width:"), number("Height:"))


def check_check_box(desktop, corvante, checks, box):
    checks.expect("the check box has a name", bool(box["name"]), True)
    checks.expect("the check box's role text", bool(box["role"]), True)
    checks.expect("the check box's state is read", box["state"] in ("", "marcado", "indispon\u00edvel"), True)
    left, top, width, height = box["area"]
    window = window_of(desktop, FACTORY_TITLE)
    if window:
        wl, wt, ww, wh = window_area(desktop, window)
        inside = width > 0 and height > 0 and left >= wl and top >= wt and left + width <= wl + ww \
            and top + height <= wt + wh
        checks.expect("the check box lies inside the factory's window", inside, True)
    x, y = left + width // 2, top + height // 2
    found = capture(desktop, corvante, "captura", x, y)
    checks.expect("MSAA CAPTURA finds the check box's name", found and found["name"], box["name"])
    checks.expect("MSAA CAPTURA finds the check box's role", found and found["code"], CHECK_BUTTON)
    checks.expect("MSAA CAPTURA finds the check box's extents", found and found["area"], box["area"])
    if not found or found["state"] == "indispon\u00edvel":
        return
    # A click in the middle of the extents lands on the check box and flips it.
    before = found["state"]
    desktop.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"])
    after = wait_for(lambda: (lambda o: o and o["state"] != before and o)(capture(desktop, corvante, "depois", x, y)), 10)
    checks.expect("MSAA ESTADO follows a click", after and after["state"], "" if before == "marcado" else "marcado")


def loaded_libraries(desktop, corvante, name, lines):
    """The libraries the dynamic loader opened for a run of the script."""
    script = write_script(desktop.tmp, name, lines)
    run = subprocess.run([corvante, "--headless", "--fast", "--desktop", "x11", script], capture_output=True,
                         text=True, timeout=60, env=dict(desktop.env, LD_DEBUG="libs"))
    return [line.split("find library=", 1)[1].split()[0] for line in run.stderr.splitlines()
            if "find library=" in line]


def check_loading(desktop, corvante, checks):
    # Even with a bus there, libatspi and GLib cost nothing until MSAA asks.
    without = loaded_libraries(desktop, corvante, "sem_msaa", ['janela normal "nada"', 'escreve mudo "ok"'])
    checks.expect("the loader reports its libraries", "libc.so.6" in without, True)
    checks.expect("a run without MSAA does not load libatspi",
                  [name for name in without if name.startswith(("libatspi", "libglib"))], [])
    with_msaa = loaded_libraries(desktop, corvante, "com_msaa", ["msaa captura 1 1"])
    checks.expect("MSAA loads libatspi", "libatspi.so.0" in with_msaa, True)
    help_text = desktop.run([corvante, "--help"]).stdout.decode()
    checks.expect("--help names the accessibility found", "Accessibility: AT-SPI on the session bus" in help_text,
                  True)


def measure_capture(desktop, corvante, x, y):
    """Seconds of one MSAA CAPTURA after the first (which loads the library), and of the first."""
    def timed(count):
        lines = [f"msaa captura {x} {y}"] * count + ["msaa nome $n"]
        start = time.perf_counter()
        run_corvante(corvante, desktop.tmp, f"medida_{count}", lines, desktop.env)
        return time.perf_counter() - start
    empty = min(timed(0) for _ in range(3))
    one = min(timed(1) for _ in range(3))
    many = min(timed(51) for _ in range(3))
    print(f"MSAA CAPTURA: first {1000 * (one - empty):.1f} ms (loading libatspi and joining the bus), "
          f"then {1000 * (many - one) / 50:.2f} ms each (50 more in one script)")


def inner(corvante, tmp):
    checks = Checks()
    desktop = Desktop(tmp)
    try:
        desktop.start(["gtk3-widget-factory"])
        window = wait_for(lambda: window_of(desktop, FACTORY_TITLE), 30)
        checks.expect("gtk3-widget-factory opened", window is not None, True)
        time.sleep(1.0)
        check_loading(desktop, corvante, checks)
        box = watch_focus_until_check_box(desktop, corvante, checks) if window else None
        if box:
            check_check_box(desktop, corvante, checks, box)
            left, top, width, height = box["area"]
            measure_capture(desktop, corvante, left + width // 2, top + height // 2)
    finally:
        desktop.stop()
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--inner":
        return inner(sys.argv[2], sys.argv[3])
    corvante = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        checks = Checks()
        check_without_bus(corvante, tmp, checks)
        missing = [tool for tool in TOOLS if not shutil.which(tool)]
        if missing or checks.failed:
            print(f"{checks.passed} passed, {checks.failed} failed")
            if missing:
                print("skipped the desktop: missing " + ", ".join(missing))
            return 1 if checks.failed else 77
        runtime = os.path.join(tmp, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        session = subprocess.Popen(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inner",
                                    corvante, tmp], env=env)
        try:
            status = session.wait(240)
        except subprocess.TimeoutExpired:
            print("the session did not end in time")
            status = 1
        finally:
            if session.poll() is None:
                session.terminate()
                session.wait(10)
        print(f"no-bus: {checks.passed} passed, {checks.failed} failed")
        return status


if __name__ == "__main__":
    sys.exit(main())
