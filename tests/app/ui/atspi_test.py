#!/usr/bin/env python3
"""The window as a screen reader sees it, through AT-SPI.

Starts a session bus of its own (reading no service folders of the machine), an X server,
at-spi2-core's bus launcher on that session bus, and the program on them with Qt's AT-SPI bridge
switched on; then walks the accessible tree with pyatspi as Orca would: the month grid is a table
whose cells are the days named in full, every button, field and check box has a name, and a key
move in the grid selects and focuses the next day and says so with events.

    atspi_test.py DNIARZ_EXECUTABLE

Exits 77 (skipped) when a package it needs is missing, naming it.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:tmpdir={dir}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
"""
# A dated note on Christmas Eve, a holiday, in the notes file's own format (CR LF, Windows-1250).
NOTES = "2025.12.24\r\n2025.12.01   10:00:00\r\nKupić karpia\r\n****\r\n".encode("cp1250")
CELL_24_DECEMBER = "środa, 24 grudnia 2025, Wigilia, notatka"
CELL_25_DECEMBER = "czwartek, 25 grudnia 2025, Boże Narodzenie"
# Roles that a user operates and that are spoken by their name alone.
NAMED_ROLES = {"push button", "toggle button", "check box", "radio button", "text", "password text",
               "spin button", "combo box", "entry"}


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(SKIPPED)


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def wait_for(what, probe, seconds=20.0, explain=None):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = probe()
        if value:
            return value
        time.sleep(0.1)
    fail(f"timed out waiting for {what}" + ("\n" + explain() if explain else ""))


class Session:
    """The bus, the X server, the accessibility bus and the program, ended in reverse order."""

    def __init__(self, tmp):
        self.tmp = tmp
        self.processes = []

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


def start_x_server(session, tmp):
    """An X server on a display number of its own. Display sockets also live in the abstract
    namespace, shared with whatever else runs X servers on this machine, so the first free number
    by this folder's lock files may be another server's: a random high one, tried until one starts."""
    log_path = os.path.join(tmp, "xvfb.log")
    for _ in range(20):
        number = random.randint(100, 999)
        with open(log_path, "w", encoding="utf-8") as log:
            xvfb = session.start(["Xvfb", f":{number}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                 stderr=log)
        socket = f"/tmp/.X11-unix/X{number}"
        end = time.monotonic() + 10
        while time.monotonic() < end and xvfb.poll() is None and not os.path.exists(socket):
            time.sleep(0.05)
        time.sleep(0.2)
        if xvfb.poll() is None and os.path.exists(socket):
            session.xvfb = xvfb
            return f":{number}"
    with open(log_path, encoding="utf-8") as log:
        fail("Xvfb did not start: " + log.read())


def start_session(session, tmp):
    config = os.path.join(tmp, "bus.conf")
    with open(config, "w", encoding="utf-8") as f:
        f.write(BUS_CONFIG.format(dir=tmp))
    bus = session.start(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"],
                        stdout=subprocess.PIPE)
    address = bus.stdout.readline().decode().strip()
    if not address:
        fail("the private session bus did not start")

    display = start_x_server(session, tmp)

    home = os.path.join(tmp, "home")
    runtime = os.path.join(tmp, "runtime")
    for folder in (home, runtime):
        os.makedirs(folder, mode=0o700)
    env = {
        "PATH": "/usr/bin:/bin",
        "HOME": home,
        "XDG_CONFIG_HOME": os.path.join(tmp, "config"),
        "XDG_DATA_HOME": os.path.join(tmp, "data"),
        "XDG_RUNTIME_DIR": runtime,
        "DBUS_SESSION_BUS_ADDRESS": address,
        "DISPLAY": display,
        "LANG": "C.UTF-8",
        "TZ": "CET-1CEST,M3.5.0,M10.5.0/3",
    }
    session.start([LAUNCHER, "--launch-immediately"], env=env, stderr=subprocess.DEVNULL)
    return env


def find_application(pyatspi, pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # an application that went away while listed
            continue
    return None


def walk(node, depth=0):
    yield node, depth
    if depth > 40:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def dump(root, levels=3):
    """The tree's top levels, for a failure's message."""
    return "\n".join("  " * depth + f"{node.getRoleName()} {node.name!r}"
                     for node, depth in walk(root) if depth <= levels)


def find(root, role, name=None, name_prefix=None):
    for node, _ in walk(root):
        if node.getRoleName() != role:
            continue
        if name is not None and node.name != name:
            continue
        if name_prefix is not None and not node.name.startswith(name_prefix):
            continue
        return node
    return None


def unnamed_controls(root):
    found = []
    for node, _ in walk(root):
        role = node.getRoleName()
        if role not in NAMED_ROLES or node.name.strip():
            continue
        state = node.getState()
        import pyatspi
        if not state.contains(pyatspi.STATE_SHOWING):
            continue
        found.append(f"{role} under {node.parent.getRoleName()} '{node.parent.name}'")
    return found


def pump(glib, seconds):
    context = glib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    program = sys.argv[1]
    for tool, package in (("dbus-daemon", "dbus-daemon"), ("Xvfb", "xvfb")):
        if not shutil.which(tool):
            skip(f"{tool} is missing (package {package})")
    if not os.access(LAUNCHER, os.X_OK):
        skip(f"{LAUNCHER} is missing (package at-spi2-core)")
    try:
        import gi  # noqa: F401
        import importlib.util
        if importlib.util.find_spec("pyatspi") is None:
            raise ImportError
    except ImportError:
        skip("pyatspi is missing (package python3-pyatspi)")

    tmp = tempfile.mkdtemp(prefix="dniarz-atspi-")
    session = Session(tmp)
    try:
        env = start_session(session, tmp)
        # pyatspi finds the accessibility bus through the session bus when it is first imported.
        os.environ.update({k: env[k] for k in ("DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "XDG_RUNTIME_DIR")})
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        import pyatspi
        from gi.repository import GLib

        data = os.path.join(tmp, "notes")
        os.makedirs(data)
        with open(os.path.join(data, "dnz.dat"), "wb") as f:
            f.write(NOTES)
        program_env = dict(env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        window = session.start([program, "--dir", data, "--date", "2025-12-24"], env=program_env)
        def started():
            if window.poll() is not None:
                with open(os.path.join(tmp, "xvfb.log"), encoding="utf-8") as log:
                    fail(f"the program ended with {window.returncode}; X server running: "
                         f"{session.xvfb.poll() is None}, display {env['DISPLAY']}, its log: {log.read()}")
            return find_application(pyatspi, window.pid)

        app = wait_for("the program on the accessibility bus", started)

        # A first start opens the configuration over the window: its controls are named too, and it
        # is closed as a keyboard user would, by its button.
        dialog = wait_for("the configuration dialog", lambda: find(app, "dialog"), 10)
        problems = unnamed_controls(dialog)
        cancel = find(dialog, "push button", "Anuluj") or find(dialog, "push button", "OK")
        if cancel is None:
            fail("the configuration dialog has no button named Anuluj or OK")
        cancel.queryAction().doAction(0)
        wait_for("the dialog to close", lambda: find(app, "dialog") is None, 10)

        frame = wait_for("the main window", lambda: find(app, "frame", "Dniarz"),
                         10, lambda: dump(app))
        problems += unnamed_controls(frame)
        if problems:
            fail("controls without a name: " + "; ".join(problems))
        for role, name in (("push button", "Synchronizuj"), ("push button", "Dzisiaj"), ("check box", "Zał/Wył")):
            if find(frame, role, name) is None:
                fail(f"no {role} named {name}")

        grid = find(frame, "table", name_prefix="Kalendarz")
        if grid is None:
            fail("the main month grid is not a table named Kalendarz")
        if grid.name != "Kalendarz, grudzień 2025":
            fail(f"the grid is named {grid.name!r}")
        table = grid.queryTable()
        if (table.nRows, table.nColumns) != (6, 7):
            fail(f"the grid has {table.nRows} x {table.nColumns} cells")
        if table.getColumnDescription(0) != "poniedziałek":
            fail(f"the first column is {table.getColumnDescription(0)!r}")
        # December 2025 begins on a Monday, so the 24th is the fourth row's Wednesday.
        cell = table.getAccessibleAt(3, 2)
        if cell.name != CELL_24_DECEMBER:
            fail(f"the cell of 24 December reads {cell.name!r}")
        if not cell.getState().contains(pyatspi.STATE_SELECTED):
            fail("the selected day's cell is not selected")

        events = []
        pyatspi.Registry.registerEventListener(
            lambda e: events.append((e.type, e.source.name if e.source else "", e.detail1)),
            "focus:", "object:state-changed:focused", "object:state-changed:selected")
        # No window manager runs here to make the window active: a click on the selected day does,
        # as for a user, and leaves the date as it was.
        extents = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(extents.x + extents.width // 2, extents.y + extents.height // 2, "b1c")
        wait_for("the grid's focus", lambda: grid.getState().contains(pyatspi.STATE_FOCUSED) or pump(GLib, 0.1), 10)
        pump(GLib, 0.3)
        events.clear()
        pyatspi.Registry.generateKeyboardEvent(0xFF53, None, pyatspi.KEY_SYM)  # Right
        wait_for("the next day's cell", lambda: table.getAccessibleAt(3, 3).getState().contains(
            pyatspi.STATE_SELECTED) or pump(GLib, 0.1), 10)
        pump(GLib, 0.5)
        next_cell = table.getAccessibleAt(3, 3)
        if next_cell.name != CELL_25_DECEMBER:
            fail(f"the cell of 25 December reads {next_cell.name!r}")
        if cell.getState().contains(pyatspi.STATE_SELECTED):
            fail("24 December is still selected after the key move")
        heard = [e for e in events if e[1] == CELL_25_DECEMBER]
        if not any(e[0].startswith("focus") or e[0] == "object:state-changed:focused" for e in heard):
            fail(f"no focus event for the new day; events: {events}")
        if not any(e[0] == "object:state-changed:selected" for e in heard):
            fail(f"no selection event for the new day; events: {events}")
        print(f"atspi_test: passed; {len(events)} events after the key move")
        return 0
    finally:
        session.close()
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
