#!/usr/bin/env python3
"""The command line beside the tools people would use instead, each pair interleaved in one run.

- start: `--print-day` on an empty journal beside /bin/true and `chronyd -Q` (no sources: its
  own start and end), CPU of the whole process;
- search: `--search żółw --ignore-diacritics` on the journal of bench/journal_sample.h
  (1,000,000 records, 57 MiB) beside ripgrep and `iconv | grep -i` with the same meaning (the
  word in any case, Polish marks optional), CPU and peak memory;
- memory: the peak of `--print-day`, `--search` and `--export-ics` on that journal above the
  peak on an empty one, as a multiple of the file;
- import: `--import-ics` of 10,000 events into an empty journal beside `calcurse -i`, CPU and
  peak memory above the program's own on an empty journal, as a multiple of the file.
CPU is user + system time, memory the peak resident set (/usr/bin/time), each the median of RUNS runs.
Usage: bench/command_line_vs_peers.py [BUILD_DIR] [RUNS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

build = Path(sys.argv[1] if len(sys.argv) > 1 else "build").resolve()
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
program = build / "dniarz"
env = dict(os.environ, TZ="CET-1CEST,M3.5.0,M10.5.0/3", LANG="C.UTF-8", LC_ALL="C.UTF-8")


def measure(command, stdin=None, cwd=None):
    """CPU ms (user + system, the process and its children) and peak resident MiB of one run.

    The peak comes from /usr/bin/time: a child's own peak as wait4 gives it starts from this
    Python's, which the child is forked from."""
    peak_file = root / "peak"
    with open(os.devnull, "wb") as null:
        started = subprocess.Popen(["/usr/bin/time", "-q", "-f", "%M", "-o", peak_file, *command], stdout=null,
                                   stderr=null, stdin=stdin, cwd=cwd, env=env)
        _, status, usage = os.wait4(started.pid, 0)
    started.returncode = os.waitstatus_to_exitcode(status)
    return (usage.ru_utime + usage.ru_stime) * 1000, int(peak_file.read_text().split()[-1]) / 1024


def shell(line):
    return ["sh", "-c", line]


def compare(title, commands, prepare=None):
    """Runs the commands in turn, RUNS times; prints the medians and each one's ratio to the first."""
    cpu = {name: [] for name in commands}
    peak = {name: [] for name in commands}
    for _ in range(runs + 1):
        for name, command in commands.items():
            if prepare:
                prepare(name)
            ms, mib = measure(command)
            cpu[name].append(ms)
            peak[name].append(mib)
    print(f"== {title} (median of {runs}, after one run not counted)")
    first = statistics.median(cpu[next(iter(commands))][1:])
    for name in commands:
        ms = statistics.median(cpu[name][1:])
        print(f"  {name:<34} {ms:8.1f} ms CPU {statistics.median(peak[name][1:]):8.1f} MiB peak"
              f"   {ms / first if first else 0:5.2f} x the first")
    return {name: (statistics.median(cpu[name][1:]), statistics.median(peak[name][1:])) for name in commands}


root = Path(tempfile.mkdtemp(prefix="dniarz-bench-"))
try:
    empty = root / "empty"
    empty.mkdir()
    (root / "config").mkdir()
    env["XDG_CONFIG_HOME"] = str(root / "config")
    big = root / "big"
    big.mkdir()
    journal = big / "dnz.dat"
    subprocess.run([build / "bench" / "write_journal", journal], check=True)
    size_mib = journal.stat().st_size / 2**20
    print(f"journal: {size_mib:.1f} MiB")

    peers = {"dniarz --print-day, empty journal": [program, "--dir", empty, "--print-day", "2024-06-21"],
             "/bin/true": ["/bin/true"]}
    chronyd = shutil.which("chronyd") or ("/usr/sbin/chronyd" if Path("/usr/sbin/chronyd").exists() else None)
    if chronyd and os.geteuid() == 0:
        (root / "chrony.conf").write_text("")
        peers["chronyd -Q (no sources)"] = [chronyd, "-Q", "-f", root / "chrony.conf", "-p"]
    compare("start and end", peers)

    search = {"dniarz --search": [program, "--dir", big, "--search", "żółw", "--ignore-diacritics"]}
    if shutil.which("rg"):
        search["ripgrep, bytes of Windows-1250"] = ["rg", "-c", "-i", "-a", r"(?-u)[\xbf\xafzZ][\xf3\xd3oO][\xb3\xa3lL]w",
                                                    journal]
        search["ripgrep -E windows-1250"] = ["rg", "-c", "-i", "-E", "windows-1250", "[żz][óo][łl]w", journal]
    search["iconv | grep -i"] = shell(f"iconv -f WINDOWS-1250 -t UTF-8 '{journal}' | grep -c -i '[żz][óo][łl]w'")
    compare("search, 1,000,000 records", search)

    modes = {
        "--print-day": ["--print-day", "2010-06-21"],
        "--search": ["--search", "żółw", "--ignore-diacritics"],
        "--export-ics": ["--export-ics", root / "out.ics"],
    }
    commands = {}
    for mode, args in modes.items():
        commands[f"{mode}, empty journal"] = [program, "--dir", empty, *args]
        commands[f"{mode}, 1,000,000 records"] = [program, "--dir", big, *args]
    found = compare("peak memory of the modes", commands)
    for mode in modes:
        above = found[f"{mode}, 1,000,000 records"][1] - found[f"{mode}, empty journal"][1]
        print(f"  {mode:<14} peak above the empty journal: {above:6.1f} MiB = {above / size_mib:.2f} x the file")

    events = root / "events.ics"
    with open(events, "w", encoding="utf-8", newline="") as out:
        out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n")
        for i in range(10000):
            day = 1 + i % 28
            out.write(f"BEGIN:VEVENT\r\nUID:bench-{i}@dniarz\r\nDTSTAMP:20240101T000000Z\r\n"
                      f"DTSTART:2024{1 + i % 12:02d}{day:02d}T{8 + i % 10:02d}0000\r\n"
                      f"DTEND:2024{1 + i % 12:02d}{day:02d}T{9 + i % 10:02d}0000\r\n"
                      f"SUMMARY:Spotkanie {i} w sprawie żółwia\r\nDESCRIPTION:Zabrać klucze\\, notatki i kawę\r\n"
                      "END:VEVENT\r\n")
        out.write("END:VCALENDAR\r\n")
    ics_mib = events.stat().st_size / 2**20
    imports = root / "imports"

    def fresh(name):
        shutil.rmtree(imports, ignore_errors=True)
        imports.mkdir()

    load = {"dniarz --import-ics": [program, "--dir", imports, "--import-ics", events, "--yes"],
            "dniarz --print-day, empty journal": [program, "--dir", imports, "--print-day", "2024-06-21"]}
    if shutil.which("calcurse"):
        load["calcurse -i"] = ["calcurse", "-q", "-D", imports, "-C", imports, "-i", events]
    found = compare(f"import of 10,000 events, {ics_mib:.1f} MiB", load, fresh)
    above = found["dniarz --import-ics"][1] - found["dniarz --print-day, empty journal"][1]
    print(f"  --import-ics peak above the empty journal: {above:.1f} MiB = {above / ics_mib:.2f} x the file")
finally:
    shutil.rmtree(root, ignore_errors=True)
