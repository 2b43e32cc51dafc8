#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The console in a real window on a virtual X server.

Runs corvante --window under Xvfb on scripts that write coloured text and
read keys; xdotool types the keys (a chord of two keys held together, a
mouse click, the wheel, Ctrl+Break), the console log shows what reached the
key queue, and the window's frame, saved by the test-only
CORVANTE_WINDOW_SNAPSHOT, is compared with the cells' colours and the
picture overlay drawn at its place. A second run
closes the window the way a window manager does and expects a clean end.
A JPEG shown with IMAGEM is compared with its four coloured quarters, both
in the pixels read back from the X server and in the saved frame, and
HANDLE must give the window's X11 id. The wait after a plain EXECUTA is
timed twice: while the test plays a window manager that names the active
window (_NET_ACTIVE_WINDOW), and after that name is gone, as on a bare X
server. With AMPLIACAO set, the field that LE edits is shown magnified at
the window's top left corner, the cursor's character in its own colour.
Without a display, --window must refuse to start (status 2).

Usage: window_xvfb_test.py CORVANTE WINDOW_DATA_DIR JPEG_WRITER
"""

import ctypes
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
CELL_WIDTH, CELL_HEIGHT = 10, 20  # window.ini


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def start_xvfb():
    # -noreset: a server that resets when its last client leaves refuses
    # the next one for a moment.
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 10
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip():
        server.kill()
        fail("Xvfb did not start")
    display = ":" + number.decode().strip()
    # The number comes before the server takes connections on every path.
    while time.monotonic() < deadline:
        probe = subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=display),
                               capture_output=True, timeout=10)
        if probe.returncode == 0:
            return server, display
        time.sleep(0.05)
    server.kill()
    fail("Xvfb took no connections")


def xdotool(display, *arguments):
    # xdotool reads the text it types in the locale's character set: under
    # LANG=C an "á" would not even be sent.
    result = subprocess.run(["xdotool", *arguments], env=dict(os.environ, DISPLAY=display, LC_ALL="C.UTF-8"),
                            capture_output=True, text=True, timeout=10)
    if result.returncode != 0:
        fail("xdotool %s: %s" % (" ".join(arguments), result.stderr.strip()))
    return result.stdout.strip()


def find_window(display, title, program):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--name", title], env=dict(os.environ, DISPLAY=display),
                               capture_output=True, text=True, timeout=10).stdout.split()
        if found:
            return found[0]
        if program.poll() is not None:
            fail("the program ended (status %d) before its window appeared" % program.returncode)
        time.sleep(0.05)
    fail("no window titled " + title)


def load_xlib():
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XCreateSimpleWindow.restype = ctypes.c_ulong
    x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                    ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    x11.XDeleteProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
    return x11


def close_window(display, window):
    """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
    x11 = load_xlib()

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        fail("cannot open " + display)
    event = ClientMessage()
    event.type = 33  # ClientMessage
    event.window = int(window)
    event.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
    event.format = 32
    event.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(connection, int(window), 0, 0, ctypes.byref(event))
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


class StandInWindowManager:
    """Names the active window on the root window, as an EWMH window
    manager does, and owns one window of its own to stand for a started
    program."""

    XA_WINDOW = 33
    PROP_MODE_REPLACE = 0

    def __init__(self, display):
        self.x11 = load_xlib()
        self.connection = self.x11.XOpenDisplay(display.encode())
        if not self.connection:
            fail("cannot open " + display)
        self.root = self.x11.XDefaultRootWindow(self.connection)
        self.active = self.x11.XInternAtom(self.connection, b"_NET_ACTIVE_WINDOW", 0)
        self.program_window = self.x11.XCreateSimpleWindow(self.connection, self.root, 0, 0, 50, 50, 0, 0, 0)
        self.x11.XMapWindow(self.connection, self.program_window)
        self.x11.XSync(self.connection, 0)

    def set_active(self, window):
        value = ctypes.c_long(int(window))
        self.x11.XChangeProperty(self.connection, self.root, self.active, self.XA_WINDOW, 32,
                                 self.PROP_MODE_REPLACE, ctypes.byref(value), 1)
        self.x11.XSync(self.connection, 0)

    def set_title(self, window, title):
        name = self.x11.XInternAtom(self.connection, b"_NET_WM_NAME", 0)
        utf8 = self.x11.XInternAtom(self.connection, b"UTF8_STRING", 0)
        data = title.encode("utf-8")
        self.x11.XChangeProperty(self.connection, int(window), name, utf8, 8, self.PROP_MODE_REPLACE, data,
                                 len(data))
        self.x11.XSync(self.connection, 0)

    def leave(self):
        """The window manager is gone: no active window is named."""
        self.x11.XDeleteProperty(self.connection, self.root, self.active)
        self.x11.XSync(self.connection, 0)

    def close(self):
        self.leave()
        self.x11.XDestroyWindow(self.connection, self.program_window)
        self.x11.XCloseDisplay(self.connection)


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        fail("the snapshot is not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    step = bits // 8
    stride = (width * step + 3) // 4 * 4
    bottom_up = height > 0
    height = abs(height)

    def pixel(x, y):
        row = height - 1 - y if bottom_up else y
        at = offset + row * stride + x * step
        return (data[at + 2], data[at + 1], data[at])
    return width, height, pixel


def cell_pixels(pixel, column, row):
    return [pixel(column * CELL_WIDTH + x, row * CELL_HEIGHT + y)
            for y in range(CELL_HEIGHT) for x in range(CELL_WIDTH)]


def check_cell(pixel, column, row, text, background):
    pixels = cell_pixels(pixel, column, row)
    where = "cell %d,%d" % (column + 1, row + 1)
    if pixels[0] != background:
        fail("%s: background %s, expected %s" % (where, pixels[0], background))
    inked = sum(1 for colour in pixels if colour == text)
    if inked < 8:
        fail("%s: %d pixels of the text colour %s, expected the letter's strokes" % (where, inked, text))
    strangers = [colour for colour in pixels if colour not in (text, background)
                 and not all(min(a, b) <= c <= max(a, b) for a, b, c in zip(text, background, colour))]
    if strangers:
        fail("%s: colours that are neither text, background nor a blend of them: %s" % (where, strangers[:3]))


def start_window_run(corvante, display, work, script, ini, log, snapshot=None, fast=True, extra=()):
    """corvante --window on SCRIPT under DISPLAY, its console log in LOG and,
    when SNAPSHOT is given, its frames saved there. --headless keeps the
    voice out of the tests: the console is the window."""
    env = dict(os.environ, DISPLAY=display, SDL_VIDEODRIVER="x11")
    env.pop("CORVANTE_WINDOW_SNAPSHOT", None)
    if snapshot:
        env["CORVANTE_WINDOW_SNAPSHOT"] = snapshot
    command = [corvante, "--headless", "--window"] + (["--fast"] if fast else [])
    command += ["--ini", ini, "--log", log] + list(extra) + [script]
    return subprocess.Popen(command, env=env, cwd=work)


def run_colours(corvante, data, display, work):
    snapshot = os.path.join(work, "window.bmp")
    log = os.path.join(work, "colours.log")
    program = start_window_run(corvante, display, work, os.path.join(data, "colours.cor"),
                               os.path.join(data, "window.ini"), log, snapshot, extra=("--drive", "D=" + data))
    try:
        window = find_window(display, "corvante-janela", program)
        xdotool(display, "windowfocus", "--sync", window)
        xdotool(display, "key", "Up")
        xdotool(display, "keydown", "f", "keydown", "d", "keyup", "f", "keyup", "d")
        xdotool(display, "mousemove", "--window", window, "300", "300", "click", "1")
        xdotool(display, "key", "semicolon")
        xdotool(display, "click", "4")
        xdotool(display, "key", "Escape")
        xdotool(display, "key", "ctrl+Pause")
        status = program.wait(timeout=10)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    if status != 0:
        fail("Ctrl+Break ended the program with status %d, expected 0" % status)
    logged = open(log, "rb").read().decode("utf-8")
    expected = "MMMM\nWWWW\n[#0#72][b][#13][;][#0#72][#27]\n"
    if logged != expected:
        fail("console log %r, expected %r" % (logged, expected))

    width, height, pixel = read_bmp(snapshot)
    if (width, height) != (80 * CELL_WIDTH, 25 * CELL_HEIGHT):
        fail("window of %dx%d pixels, expected 80x25 cells of %dx%d" % (width, height, CELL_WIDTH, CELL_HEIGHT))
    yellow, blue, red, green, black = (255, 255, 0), (0, 0, 255), (255, 0, 0), (0, 255, 0), (0, 0, 0)
    for column in range(4):
        check_cell(pixel, column, 0, yellow, blue)
        check_cell(pixel, column, 1, red, green)
    # The picture over the text, at its pixel position, top row first.
    picture = [[(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)],
               [(0, 0, 0), (255, 255, 0), (0, 255, 255), (255, 0, 255)]]
    for y, row in enumerate(picture):
        for x, colour in enumerate(row):
            if pixel(400 + x, 300 + y) != colour:
                fail("picture pixel %d,%d is %s, expected %s" % (x, y, pixel(400 + x, 300 + y), colour))
    if pixel(404, 300) != (0, 0, 0) or pixel(400, 302) != (0, 0, 0):
        fail("the picture is larger than its 4x2 pixels")
    # Beyond what was written: the blanks of the attribute from the settings.
    if set(cell_pixels(pixel, 4, 0)) != {black} or set(cell_pixels(pixel, 79, 24)) != {black}:
        fail("blank cells are not all black")


def run_close(corvante, data, display, work):
    log = os.path.join(work, "close.log")
    program = start_window_run(corvante, display, work, os.path.join(data, "close.cor"),
                               os.path.join(data, "window.ini"), log)
    try:
        window = find_window(display, "corvante-fechar", program)
        close_window(display, window)
        status = program.wait(timeout=10)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    if status != 0:
        fail("closing the window ended the program with status %d, expected 0" % status)
    logged = open(log, "rb").read().decode("utf-8")
    if logged != "esperando\n":
        fail("console log after the close %r" % logged)


def run_without_display(corvante, data):
    """Without a display --window says so and the program does not start."""
    env = dict(os.environ, SDL_VIDEODRIVER="x11")
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    result = subprocess.run([corvante, "--headless", "--window", "--fast", os.path.join(data, "close.cor")],
                            env=env, capture_output=True, timeout=20)
    if result.returncode != 2 or b"the window is not available" not in result.stderr:
        fail("without a display: status %d, %r" % (result.returncode, result.stderr))


def read_log(path):
    try:
        return open(path, "rb").read().decode("utf-8")
    except FileNotFoundError:
        return ""


def wait_for_log(path, text, program, timeout=15):
    """The moment `text` has reached the console log."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if text in read_log(path):
            return time.monotonic()
        if program.poll() is not None:
            fail("the program ended (status %d) before writing %r; log %r" % (program.returncode, text,
                                                                             read_log(path)))
        time.sleep(0.02)
    fail("%r did not reach the console log; log %r" % (text, read_log(path)))


def near(colour, expected, tolerance=48):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def grab_window(display, window):
    """The window's pixels as the X server holds them (a screenshot), not
    as the program saved its frame."""
    x11 = load_xlib()
    x11.XGetImage.restype = ctypes.c_void_p
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XGetPixel.restype = ctypes.c_ulong
    x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
    x11.XDestroyImage.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        fail("cannot open " + display)
    z_pixmap, all_planes = 2, 0xFFFFFFFF
    width, height = 80 * CELL_WIDTH, 25 * CELL_HEIGHT
    image = x11.XGetImage(connection, int(window), 0, 0, width, height, all_planes, z_pixmap)
    if not image:
        x11.XCloseDisplay(connection)
        fail("cannot read the pixels of window %s" % window)
    # Depth 24 (the server's screen): each pixel is 0xRRGGBB. Only the
    # left part, where the pictures lie, is read: a call a pixel is slow.
    columns = 200
    values = {}
    try:
        for y in range(height):
            for x in range(columns):
                value = x11.XGetPixel(image, x, y)
                values[(x, y)] = ((value >> 16) & 255, (value >> 8) & 255, value & 255)
    finally:
        x11.XDestroyImage(image)
        x11.XCloseDisplay(connection)

    def pixel(x, y):
        if (x, y) not in values:
            fail("pixel %d,%d was not read from the window" % (x, y))
        return values[(x, y)]
    return pixel


def jpeg_problem(pixel, picture_x, picture_y, width, height):
    """What is wrong with the four quarters of the test JPEG at their place,
    or None."""
    quarters = {(0, 0): (255, 0, 0), (1, 0): (0, 255, 0), (0, 1): (0, 0, 255), (1, 1): (255, 255, 255)}
    margin = 4  # JPEG blurs the edges between the quarters
    for (right, bottom), expected in quarters.items():
        for y in range(margin, height // 2 - margin, 3):
            for x in range(margin, width // 2 - margin, 3):
                at = (picture_x + right * width // 2 + x, picture_y + bottom * height // 2 + y)
                if not near(pixel(*at), expected):
                    return "JPEG pixel at %s is %s, expected about %s" % (at, pixel(*at), expected)
    for outside in [(picture_x - 1, picture_y + 5), (picture_x + width, picture_y + 5),
                    (picture_x + 5, picture_y - 1), (picture_x + 5, picture_y + height)]:
        if pixel(*outside) != (0, 0, 0):
            return "pixel %s beside the picture is %s: the picture is not at its place or size" % (
                outside, pixel(*outside))
    return None


def run_jpeg_and_handle(corvante, data, display, work, jpeg_writer):
    picture_x, picture_y, width, height = 100, 60, 64, 48
    subprocess.run([jpeg_writer, os.path.join(work, "quartos.jpg"), str(width), str(height)], check=True)
    snapshot = os.path.join(work, "jpeg.bmp")
    log = os.path.join(work, "jpeg.log")
    program = start_window_run(corvante, display, work, os.path.join(data, "jpeg.cor"),
                               os.path.join(data, "window.ini"), log, snapshot, extra=("--drive", "C=" + work))
    try:
        window = find_window(display, "corvante-jpeg", program)
        wait_for_log(log, "\n", program)
        # HANDLE: the id xdotool found the window by, which is the id of the
        # window the X server knows by the console's title.
        handle = read_log(log).strip()
        if handle != window:
            fail("HANDLE gave %r, the window's X11 id is %s" % (handle, window))
        described = subprocess.run(["xprop", "-id", handle, "WM_NAME"], env=dict(os.environ, DISPLAY=display),
                                   capture_output=True, text=True, timeout=10).stdout
        if "corvante-jpeg" not in described:
            fail("xprop does not know window %s as the console: %r" % (handle, described))
        # The picture on the screen itself, once the frame has reached it.
        deadline = time.monotonic() + 10
        while True:
            problem = jpeg_problem(grab_window(display, window), picture_x, picture_y, width, height)
            if problem is None:
                break
            if time.monotonic() > deadline:
                fail("on the screen: " + problem)
            time.sleep(0.05)
        xdotool(display, "windowfocus", "--sync", window)
        xdotool(display, "key", "Escape")
        status = program.wait(timeout=10)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    if status != 0:
        fail("the JPEG script ended with status %d" % status)
    if os.path.exists(os.path.join(work, "$$$.bmp")):
        fail("the decoded JPEG was left behind as c:\\$$$.bmp")
    _, _, pixel = read_bmp(snapshot)
    problem = jpeg_problem(pixel, picture_x, picture_y, width, height)
    if problem:
        fail("in the saved frame: " + problem)


def run_return_wait(corvante, data, display, work):
    log = os.path.join(work, "retorno.log")
    manager = StandInWindowManager(display)
    # Real time: the pauses of the wait are what is measured.
    program = start_window_run(corvante, display, work, os.path.join(data, "retorno.cor"),
                               os.path.join(data, "retorno.ini"), log, fast=False)
    try:
        window = find_window(display, "corvante-retorno", program)
        manager.set_active(window)
        xdotool(display, "windowfocus", "--sync", window)
        xdotool(display, "key", "space")
        wait_for_log(log, "antes\n", program)
        # The console stays in front: the wait goes on looking.
        time.sleep(0.6)
        if "depois" in read_log(log):
            fail("EXECUTA returned before the started program came up")
        manager.set_active(manager.program_window)
        # The program is in front: the wait lasts as long as it stays there.
        time.sleep(1.0)
        if "depois" in read_log(log):
            fail("EXECUTA returned while the started program was in front")
        manager.set_active(window)
        back = time.monotonic()
        returned = wait_for_log(log, "depois\n", program)
        # TEMPOESPERAPROGVOLTAR=400, and the console is looked at every 100 ms.
        if not 0.35 <= returned - back <= 1.5:
            fail("EXECUTA returned %.2f s after the console came back, expected 0.4 s and a look" %
                 (returned - back))

        # No window manager: no active window is named, so the start counts
        # as a program that never comes up: 5 s of looks, then the pause.
        manager.leave()
        xdotool(display, "key", "space")
        started = wait_for_log(log, "antes sem gerenciador\n", program)
        returned = wait_for_log(log, "depois sem gerenciador\n", program)
        if not 5.2 <= returned - started <= 8.0:
            fail("without an active window EXECUTA returned after %.2f s, expected 5.4 s" % (returned - started))

        # ESPERA's window wait: the title of the window in front, in UTF-8
        # on the desktop, upper-cased by the runtime's own case rule.
        manager.set_title(manager.program_window, "Bloco de Notas - A\u00e7\u00e3o")
        manager.set_active(manager.program_window)
        xdotool(display, "key", "space")
        wait_for_log(log, "t\u00edtulo 0 1\n", program)
        status = program.wait(timeout=10)
    finally:
        manager.close()
        if program.poll() is None:
            program.kill()
            program.wait()
    if status != 0:
        fail("the return-wait script ended with status %d" % status)


def wait_for_snapshot(path, check, program, timeout=10):
    """Waits until the saved frame passes `check` (None, or what is wrong)."""
    deadline = time.monotonic() + timeout
    problem = "no frame was saved"
    while time.monotonic() < deadline:
        try:
            data = open(path, "rb").read(2)
            if data == b"BM":
                _, _, pixel = read_bmp(path)
                problem = check(pixel)
                if problem is None:
                    return
        except (OSError, struct.error, IndexError):
            pass  # caught while the frame was being written
        if program.poll() is not None:
            fail("the program ended (status %d) before showing the magnifier" % program.returncode)
        time.sleep(0.05)
    fail(problem)


def run_magnifier(corvante, data, display, work):
    scale = 4  # lupa.ini
    box_width, box_height = scale * CELL_WIDTH, scale * CELL_HEIGHT
    text_colour, background, cursor_colour = (255, 255, 0), (0, 0, 255), (255, 128, 128)
    snapshot = os.path.join(work, "lupa.bmp")
    log = os.path.join(work, "lupa.log")
    program = start_window_run(corvante, display, work, os.path.join(data, "lupa.cor"),
                               os.path.join(data, "lupa.ini"), log, snapshot)

    def magnified(pixel):
        # "abcd" typed, then two steps left: the cursor is on the "c".
        for index, letter in enumerate("abcd"):
            pixels = [pixel(index * box_width + x, y) for y in range(box_height) for x in range(box_width)]
            where = "magnified %r (box %d)" % (letter, index + 1)
            if pixels[0] != background:
                return "%s: background %s, expected %s" % (where, pixels[0], background)
            ink = cursor_colour if index == 2 else text_colour
            other = text_colour if index == 2 else cursor_colour
            if sum(1 for colour in pixels if colour == ink) < 20:
                return "%s: too few pixels of %s for a letter %d times the font's size" % (where, ink, scale)
            if other in pixels:
                return "%s: pixels of %s, which belongs to the %s" % (
                    where, other, "other letters" if index == 2 else "cursor's letter")
        # The magnifier is as tall as the scale says and no taller.
        below = set(pixel(x, box_height + 2) for x in range(0, 4 * box_width, 5))
        if below != {(0, 0, 0)}:
            return "below the magnifier: %s, expected the blank screen" % sorted(below)[:3]
        return None

    def painted_over(pixel):
        # The field's text written on the top row, white on black, and
        # nothing of the magnifier left around it.
        left = [pixel(x, y) for y in range(box_height) for x in range(4 * box_width)]
        if background in left or cursor_colour in left:
            return "the magnifier is still shown over the text written under it"
        first = cell_pixels(pixel, 0, 0)
        if (255, 255, 255) not in first:
            return "the text written under the magnifier is not shown: %s" % sorted(set(first))[:3]
        return None

    try:
        window = find_window(display, "corvante-lupa", program)
        xdotool(display, "windowfocus", "--sync", window)
        xdotool(display, "type", "--delay", "20", "abcd")
        xdotool(display, "key", "Left", "Left")
        wait_for_snapshot(snapshot, magnified, program)
        # Hidden and shown again, the window is exposed and draws its frame
        # anew, the magnifier with it, while the editor still waits.
        os.remove(snapshot)
        xdotool(display, "windowunmap", "--sync", window)
        xdotool(display, "windowmap", "--sync", window)
        wait_for_snapshot(snapshot, magnified, program)
        # Unmapped, the window lost the focus, and no window manager gives
        # it back.
        xdotool(display, "windowfocus", "--sync", window)
        xdotool(display, "key", "Return")
        wait_for_snapshot(snapshot, painted_over, program)
        xdotool(display, "key", "Escape")
        status = program.wait(timeout=10)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    if status != 0:
        fail("the magnifier script ended with status %d" % status)
    if not read_log(log).endswith("\n[abcd]\n"):
        fail("the edited field gave %r" % read_log(log))


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    corvante, data, jpeg_writer = sys.argv[1], sys.argv[2], sys.argv[3]
    run_without_display(corvante, data)
    missing = [tool for tool in ("Xvfb", "xdotool", "xprop") if not shutil.which(tool)]
    if missing:
        print("SKIP: %s not installed (scripts/packages/window.txt)" % ", ".join(missing))
        return SKIP
    server, display = start_xvfb()
    try:
        with tempfile.TemporaryDirectory() as work:
            run_colours(corvante, data, display, work)
            run_close(corvante, data, display, work)
            run_jpeg_and_handle(corvante, data, display, work, jpeg_writer)
            run_return_wait(corvante, data, display, work)
            run_magnifier(corvante, data, display, work)
    finally:
        server.terminate()
        server.wait(timeout=10)
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
