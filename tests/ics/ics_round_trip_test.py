#!/usr/bin/env python3
"""Our export through calcurse and khal and back, imported twice: the notes are not doubled.

calcurse writes no UIDs and khal keeps ours and makes its own, so both ways of knowing an event
again are tried with files other programs wrote. Run by ctest with the program as the only
argument; works in temporary folders. Exits 77 (skipped) when neither program is installed."""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

program = sys.argv[1]
failures = []
WIGILIA = "Wigilia u babci Zosi — pierogi"


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args):
    return subprocess.run([program, *args], capture_output=True, text=True)


def import_twice(notes, files, label):
    """Imports the files into an empty notes folder, then again; the second round's reports."""
    notes.mkdir()
    for path in files:
        done = run("--dir", str(notes), "--import-ics", str(path))
        check(done.returncode == 0, f"{label}: first import of {path.name} failed: {done.stderr}")
    again = []
    for path in files:
        done = run("--dir", str(notes), "--import-ics", str(path))
        check(done.returncode == 0, f"{label}: second import of {path.name} failed: {done.stderr}")
        again.append(done.stdout)
    return (notes / "dnz.dat").read_bytes().decode("cp1250"), again


calcurse = shutil.which("calcurse")
khal = shutil.which("khal")
if not calcurse and not khal:
    print("SKIP: neither calcurse nor khal is installed")
    sys.exit(77)

with tempfile.TemporaryDirectory() as tmp:
    folder = Path(tmp)
    source = folder / "source"
    source.mkdir()
    (source / "dnz.dat").write_bytes(f"2024.12.24\r\n2024.01.01  10:00\r\n{WIGILIA}\r\n****\r\n".encode("cp1250"))
    ours = folder / "our.ics"
    done = run("--dir", str(source), "--export-ics", str(ours))
    check(done.returncode == 0, f"export failed: {done.stderr}")

    if not calcurse:
        print("calcurse is not installed: its round trip is left out")
    else:
        data = folder / "calcurse"
        data.mkdir()
        done = subprocess.run([calcurse, "-D", str(data), "-C", str(data), "-i", str(ours)], capture_output=True,
                              text=True)
        check(done.returncode == 0, f"calcurse import failed: {done.stderr}")
        exported = subprocess.run([calcurse, "-D", str(data), "-C", str(data), "-xical"], capture_output=True)
        check(exported.returncode == 0, "calcurse export failed")
        theirs = folder / "calcurse.ics"
        theirs.write_bytes(exported.stdout)
        check(b"UID:" not in exported.stdout, "calcurse now writes UIDs: this test no longer tries events without")
        notes, again = import_twice(folder / "from-calcurse", [theirs], "calcurse")
        check(notes.count(WIGILIA) == 1, f"calcurse: the note is {notes!r}")
        check("Pominięto 1 już zaimportowane wydarzenie." in again[0], f"calcurse: the second import said {again!r}")

    if not khal:
        print("khal is not installed: its round trip is left out")
    else:
        home = folder / "khal"
        vdir = home / "calendar"
        vdir.mkdir(parents=True)
        config = home / "khal.conf"
        config.write_text(f"""[calendars]
[[dom]]
path = {vdir}
type = calendar
[locale]
timeformat = %H:%M
dateformat = %Y-%m-%d
longdateformat = %Y-%m-%d
datetimeformat = %Y-%m-%d %H:%M
longdatetimeformat = %Y-%m-%d %H:%M
default_timezone = Europe/Warsaw
local_timezone = Europe/Warsaw
""")
        env = dict(os.environ, HOME=str(home), XDG_DATA_HOME=str(home / "data"),
                   XDG_CONFIG_HOME=str(home / "config"), XDG_CACHE_HOME=str(home / "cache"))
        for args in (["import", "--batch", str(ours)],
                     ["new", "-a", "dom", "2024-12-31", "18:00", "19:00", "Sylwester u Ani"]):
            done = subprocess.run([khal, "-c", str(config), *args], capture_output=True, text=True, env=env)
            check(done.returncode == 0, f"khal {args[0]} failed: {done.stderr}")
        files = sorted(vdir.glob("*.ics"))
        check(len(files) == 2, f"khal wrote {[f.name for f in files]}")
        notes, again = import_twice(folder / "from-khal", files, "khal")
        check(notes.count(WIGILIA) == 1, f"khal: {notes!r}")
        check(notes.count("18:00-19:00\r\nSylwester u Ani") == 1, f"khal: {notes!r}")
        check(all("Pominięto 1 już zaimportowane wydarzenie." in said for said in again),
              f"khal: the second import said {again!r}")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
