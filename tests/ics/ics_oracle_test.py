#!/usr/bin/env python3
"""The exported calendar as python3-icalendar reads it, and a file that library wrote, imported.

python3-icalendar shares no code with libical, so a file both read the same way is no accident of
one parser. Run by ctest with the program as the only argument; works in a temporary folder."""
import datetime
import subprocess
import sys
import tempfile
from pathlib import Path

import icalendar

program = sys.argv[1]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args, stdin=None):
    return subprocess.run([program, *args], capture_output=True, text=True, input=stdin)


with tempfile.TemporaryDirectory() as tmp:
    folder = Path(tmp)
    tricky = "Zażółć gęślą jaźń, potem; koniec \\ ukośnik\r\ndruga linia " + "x" * 90
    records = [("2024.03.10", tricky), ("2023.12.31", "poza zakresem"), ("    .02.29", "Urodziny Kasi")]
    journal = "".join(f"{key}\r\n2020.01.01  10:00\r\n{text}\r\n****\r\n" for key, text in records)
    (folder / "dnz.dat").write_bytes(journal.encode("cp1250"))

    out = folder / "out.ics"
    done = run("--dir", tmp, "--export-ics", str(out), "--from", "2024", "--to", "2024", "--with-holidays",
               "--with-namedays")
    check(done.returncode == 0, f"export failed: {done.stderr}")
    calendar = icalendar.Calendar.from_ical(out.read_bytes())
    events = {str(e["UID"]): e for e in calendar.walk("VEVENT")}
    check(len(events) == len(calendar.walk("VEVENT")), "UIDs repeat")
    note = events.get("notatka-2024-03-10@dniarz")
    check(note is not None, "the dated note is missing")
    if note is not None:
        check(str(note["SUMMARY"]) == "Zażółć gęślą jaźń, potem; koniec \\ ukośnik", f"summary {note['SUMMARY']!r}")
        check(str(note["DESCRIPTION"]) == tricky.replace("\r\n", "\n"), f"description {note['DESCRIPTION']!r}")
        check(note.decoded("DTSTART") == datetime.date(2024, 3, 10), "start")
        check(note.decoded("DTEND") == datetime.date(2024, 3, 11), "end")
    check("notatka-2023-12-31@dniarz" not in events, "a note outside --from/--to was written")
    yearly = events.get("coroczna-02-29@dniarz")
    check(yearly is not None and yearly.decoded("DTSTART") == datetime.date(2024, 2, 29), "the yearly note")
    if yearly is not None:
        check(dict(yearly["RRULE"]).get("FREQ") == ["YEARLY"], f"rrule {yearly['RRULE']!r}")
    check(str(events["swieto-2024-05-30@dniarz"]["SUMMARY"]) != "", "Corpus Christi 2024")
    check(sum(uid.startswith("imieniny-2024") for uid in events) > 300, "the name days")
    for line in out.read_bytes().split(b"\r\n"):
        check(len(line) <= 75, f"a line of {len(line)} octets")
        line.decode("utf-8")

    # The first and the last day a note can have, as dates another reader takes for those days.
    edge = folder / "edge"
    edge.mkdir()
    edge_notes = [("0001.01.01", "pierwszy"), ("9999.12.31", "ostatni")]
    (edge / "dnz.dat").write_bytes(
        "".join(f"{key}\r\n2020.01.01  10:00\r\n{text}\r\n****\r\n" for key, text in edge_notes).encode("cp1250"))
    edge_out = folder / "edge.ics"
    done = run("--dir", str(edge), "--export-ics", str(edge_out), "--from", "1", "--to", "9999")
    check(done.returncode == 0, f"edge export failed: {done.stderr}")
    edges = {str(e["UID"]): e for e in icalendar.Calendar.from_ical(edge_out.read_bytes()).walk("VEVENT")}
    for uid, day in (("notatka-0001-01-01@dniarz", datetime.date(1, 1, 1)),
                     ("notatka-9999-12-31@dniarz", datetime.date(9999, 12, 31))):
        check(uid in edges and edges[uid].decoded("DTSTART") == day, f"{uid} is not {day}")

    # A calendar written by python3-icalendar, imported into an empty notes folder.
    written = icalendar.Calendar()
    written.add("prodid", "-//python3-icalendar//EN")
    written.add("version", "2.0")
    timed = icalendar.Event()
    timed.add("uid", "a@example.com")
    timed.add("dtstamp", datetime.datetime(2024, 1, 1, tzinfo=datetime.timezone.utc))
    timed.add("dtstart", datetime.datetime(2024, 1, 15, 23, 30, tzinfo=datetime.timezone.utc))
    timed.add("dtend", datetime.datetime(2024, 1, 16, 0, 15, tzinfo=datetime.timezone.utc))
    timed.add("summary", "Spotkanie, Łódź; sala \\ 2")
    timed.add("location", "ul. Piotrkowska 1")
    timed.add("description", "pierwsza\nąę druga " + "y" * 80)
    written.add_component(timed)
    birthday = icalendar.Event()
    birthday.add("uid", "b@example.com")
    birthday.add("dtstamp", datetime.datetime(2024, 1, 1, tzinfo=datetime.timezone.utc))
    birthday.add("dtstart", datetime.date(2000, 7, 4))
    birthday.add("rrule", {"freq": "yearly"})
    birthday.add("summary", "Urodziny Oli")
    written.add_component(birthday)
    imported = folder / "imported"
    imported.mkdir()
    source = folder / "in.ics"
    source.write_bytes(written.to_ical())
    done = run("--dir", str(imported), "--import-ics", str(source))
    check(done.returncode == 0, f"import failed: {done.stderr}")
    check(done.stdout.startswith("Zaimportowano 2 wydarzenia."), f"import said {done.stdout!r}")
    notes = (imported / "dnz.dat").read_bytes().decode("cp1250")
    # 23:30 UTC in January is 00:30 the next day in Warsaw.
    check("2024.01.16\r\n" in notes, "the timed event's local day")
    check("00:30-01:15\r\nSpotkanie, Łódź; sala \\ 2\r\nul. Piotrkowska 1\r\npierwsza\r\nąę druga " + "y" * 80
          in notes, f"the timed event's note in {notes!r}")
    check("    .07.04\r\n" in notes and "Urodziny Oli" in notes, "the yearly event")
    found = run("--dir", str(imported), "--search", "lodz", "--ignore-diacritics")
    check(found.returncode == 0 and found.stdout == "2024.01.16: Spotkanie, Łódź; sala \\ 2\n",
          f"search printed {found.stdout!r}")
    check(run("--dir", str(imported), "--search", "lodz").returncode == 1, "search without the folding")

    # Nothing is written when the file is no calendar.
    bad = folder / "bad.ics"
    bad.write_text("not a calendar")
    before = (imported / "dnz.dat").read_bytes()
    done = run("--dir", str(imported), "--import-ics", str(bad))
    check(done.returncode == 2 and "iCalendar" in done.stderr, f"bad file: {done.returncode} {done.stderr!r}")
    check(run("--dir", str(imported), "--import-ics", str(folder / "missing.ics")).returncode == 2, "missing file")
    check((imported / "dnz.dat").read_bytes() == before, "a failed import changed the notes")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
