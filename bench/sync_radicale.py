#!/usr/bin/python3
"""The first sync of a journal of 10,000 notes with Radicale on loopback, then a sync with nothing
changed: wall time, the program's CPU time, and how many requests Radicale was sent. From the
repository root after a build: bench/sync_radicale.py [build] [notes]; needs radicale."""
import datetime
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

build = Path(sys.argv[1] if len(sys.argv) > 1 else "build")
count = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
program = str((build / "dniarz").resolve())
USER, PASSWORD = "ania", "tajne"

with socket.socket() as s:
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]

with tempfile.TemporaryDirectory() as tmp:
    tmp = Path(tmp)
    (tmp / "users").write_text(f"{USER}:{PASSWORD}\n")
    (tmp / "config").write_text(f"""[server]
hosts = 127.0.0.1:{port}
[auth]
type = htpasswd
htpasswd_filename = {tmp / 'users'}
htpasswd_encryption = plain
[storage]
filesystem_folder = {tmp / 'collections'}
[rights]
type = owner_only
[logging]
level = info
""")
    log = open(tmp / "radicale.log", "wb")
    server = subprocess.Popen([sys.executable, "-m", "radicale", "--config", str(tmp / "config")], stdout=log,
                              stderr=subprocess.STDOUT)
    try:
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
                break
            except OSError:
                time.sleep(0.1)
        import caldav
        caldav.DAVClient(f"http://127.0.0.1:{port}/", username=USER, password=PASSWORD).principal().make_calendar(
            name="Notatki")
        notes = tmp / "notatki"
        notes.mkdir()
        records = []
        first = datetime.date(2000, 1, 1)
        for i in range(count):
            day = first + datetime.timedelta(days=i)
            records.append(f"{day:%Y.%m.%d}\r\n2026.03.01  10:00\r\nNotatka {i}\r\ndrugi wiersz\r\n****\r\n")
        (notes / "dnz.dat").write_bytes("".join(records).encode("cp1250"))
        env = dict(os.environ, HOME=str(tmp / "home"), XDG_CONFIG_HOME=str(tmp / "home" / "config"),
                   DNIARZ_SYNC_PASSWORD=PASSWORD, DNIARZ_SYNC_TIMEOUT="120")

        def requests():
            return len(re.findall(rb" request for ", (tmp / "radicale.log").read_bytes()))

        def timed(*args):
            before = requests()
            start = time.monotonic()
            process = subprocess.Popen([program, "--dir", str(notes), "--sync", *args], env=env,
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            _, status, usage = os.wait4(process.pid, 0)
            wall = time.monotonic() - start
            out = process.stdout.read().decode().strip()
            err = process.stderr.read().decode().strip()
            time.sleep(0.5)  # the log's last lines
            return out, err, wall, usage.ru_utime + usage.ru_stime, requests() - before

        for label, args in (("first sync", ["--server", f"http://127.0.0.1:{port}/", "--user", USER]),
                            ("nothing changed", []), ("nothing changed", [])):
            out, err, wall, cpu, asked = timed(*args)
            print(f"{label}: {out!r} {err!r} wall {wall:.2f} s, program CPU {cpu * 1000:.0f} ms, "
                  f"{asked} requests, {count} notes")
    finally:
        server.terminate()
        server.wait()
