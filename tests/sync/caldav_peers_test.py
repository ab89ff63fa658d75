"""dniarz --sync against real CalDAV servers and clients started here: Radicale (with htpasswd
authentication), Xandikos (sync-collection), python3-caldav standing in for a phone, vdirsyncer with
khal as a second computer, and a proxy in front of Radicale that breaks the connection in the ways a
network does.

Run by ctest as: caldav_peers_test.py PROGRAM SCENARIO, SCENARIO one of radicale, xandikos, khal,
faults. Everything lives in a temporary folder; servers listen on 127.0.0.1 at free ports and are
stopped by their process ids. Exits 77 (skipped) with the reason when a package is missing."""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
from pathlib import Path

program = sys.argv[1]
scenario = sys.argv[2]
failures = []
USER, PASSWORD = "ania", "tajne hasło"


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message, flush=True)


def skip(reason):
    print("SKIP:", reason)
    sys.exit(77)


def need_module(name, package):
    try:
        __import__(name)
    except ImportError:
        skip(f"{package} is not installed")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, process, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if process.poll() is not None:
            raise RuntimeError(f"server ended with {process.returncode}")
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.5).close()
            return
        except OSError:
            time.sleep(0.1)
    raise RuntimeError(f"nothing listens on {port}")


class Servers:
    def __init__(self):
        self.processes = []

    def start(self, args, port, log):
        process = subprocess.Popen(args, stdout=open(log, "wb"), stderr=subprocess.STDOUT)
        self.processes.append(process)
        wait_for_port(port, process)
        return process

    def stop(self, process):
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()

    def stop_all(self):
        for process in self.processes:
            if process.poll() is None:
                self.stop(process)


def start_radicale(servers, folder):
    port = free_port()
    folder.mkdir(parents=True)
    (folder / "users").write_text(f"{USER}:{PASSWORD}\n")
    (folder / "config").write_text(f"""[server]
hosts = 127.0.0.1:{port}
[auth]
type = htpasswd
htpasswd_filename = {folder / "users"}
htpasswd_encryption = plain
[storage]
filesystem_folder = {folder / "collections"}
[rights]
type = owner_only
""")
    servers.start([sys.executable, "-m", "radicale", "--config", str(folder / "config")], port,
                  folder / "radicale.log")
    return f"http://127.0.0.1:{port}/"


def record(key, text, stamp="2026.03.01  10:00"):
    return (key + "\r\n" + stamp + "\r\n" + text.replace("\n", "\r\n") + "\r\n****\r\n").encode("cp1250")


class Program:
    """The program with a notes folder and a configuration of its own."""

    def __init__(self, folder):
        self.notes = folder / "notatki"
        self.notes.mkdir()
        self.env = dict(os.environ, HOME=str(folder / "home"), XDG_CONFIG_HOME=str(folder / "home" / "config"),
                        XDG_DATA_HOME=str(folder / "home" / "data"), DNIARZ_SYNC_PASSWORD=PASSWORD)

    def write_notes(self, notes):
        (self.notes / "dnz.dat").write_bytes(b"".join(record(k, t) for k, t in notes.items()))

    def add_note(self, key, text):
        with open(self.notes / "dnz.dat", "ab") as f:
            f.write(record(key, text, "2026.03.02  11:00"))

    def run(self, *args, env=None, timeout=60):
        return subprocess.run([program, "--dir", str(self.notes), *args], capture_output=True, text=True,
                              env=dict(self.env, **(env or {})), timeout=timeout, stdin=subprocess.DEVNULL)

    def sync(self, *args, env=None, expect=0, timeout=60):
        done = self.run("--sync", *args, env=env, timeout=timeout)
        check(done.returncode == expect,
              f"--sync {' '.join(args)} gave {done.returncode}, not {expect}: {done.stdout} {done.stderr}")
        return done

    def day_line(self, date, name):
        done = self.run("--print-day", date)
        for line in done.stdout.splitlines():
            if line.startswith(name + ": "):
                return line[len(name) + 2:]
        return None

    def note(self, date):
        return self.day_line(date, "note")

    def raw(self):
        return (self.notes / "dnz.dat").read_bytes().decode("cp1250")


def phone(url):
    import caldav
    return caldav.DAVClient(url, username=USER, password=PASSWORD)


def calendar_named(client, name):
    return [c for c in client.principal().calendars() if c.name == name][0]


def events_by_uid(calendar):
    out = {}
    for event in calendar.events():
        vevent = event.vobject_instance.vevent
        out[vevent.uid.value] = event
    return out


def summary_of(event):
    return event.vobject_instance.vevent.summary.value


def description_of(event):
    vevent = event.vobject_instance.vevent
    return vevent.description.value if hasattr(vevent, "description") else ""


# An event as a phone writes it; DATE yyyymmdd.
def phone_event(uid, date, summary, description=None, extra=""):
    text = ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefon//PL\r\nBEGIN:VEVENT\r\n"
            f"UID:{uid}\r\nDTSTAMP:20260301T120000Z\r\n{extra or 'DTSTART;VALUE=DATE:' + date}\r\n"
            f"SUMMARY:{summary}\r\n")
    if description:
        text += f"DESCRIPTION:{description}\r\n"
    return text + "END:VEVENT\r\nEND:VCALENDAR\r\n"


def serve_feed(body, etag, modified):
    """A subscribed .ics address: answers 304 to a request that names the file it has, and notes
    each request's validators."""
    import http.server
    asked = []

    class Feed(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            asked.append((self.headers.get("If-None-Match"), self.headers.get("If-Modified-Since")))
            if self.headers.get("If-None-Match") == etag:
                self.send_response(304)
                self.send_header("ETag", etag)
                self.end_headers()
                return
            self.send_response(200)
            self.send_header("Content-Type", "text/calendar; charset=utf-8")
            self.send_header("ETag", etag)
            self.send_header("Last-Modified", modified)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Feed)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_address[1]}/szkola.ics", asked


def radicale_scenario(folder, servers):
    need_module("radicale", "radicale")
    need_module("caldav", "python3-caldav")
    url = start_radicale(servers, folder / "server")
    client = phone(url)
    principal = client.principal()
    notes_calendar = principal.make_calendar(name="Notatki")
    principal.make_calendar(name="Praca")

    me = Program(folder)
    me.write_notes({"2026.03.10": "Spotkanie\nz Anną", "2026.03.11": "Basen", "2026.03.12": "Dentysta",
                    "    .05.03": "Święto Konstytucji"})
    # The calendar imported the export of these notes earlier, before the basin's time changed.
    exported = folder / "eksport.ics"
    check(me.run("--export-ics", str(exported)).returncode == 0, "the export failed")
    me.add_note("2026.03.11", "Basen o 18")
    import icalendar
    for component in icalendar.Calendar.from_ical(exported.read_bytes()).walk("VEVENT"):
        single = icalendar.Calendar()
        single.add("prodid", "-//Telefon//PL")
        single.add("version", "2.0")
        single.add_component(component)
        notes_calendar.save_event(single.to_ical().decode())
    check(len(notes_calendar.events()) == 4, "the export went in whole")

    done = me.sync("--server", url, "--user", USER, "--calendar", "Notatki")
    check(done.stdout == "Notatki: wysłane 1, odebrane 0, konflikty 1\n", f"first sync said {done.stdout!r}")
    events = events_by_uid(notes_calendar)
    check(len(events) == 4, f"the first sync doubled events: {sorted(events)}")
    check(description_of(events["notatka-2026-03-11@dniarz"]) == "Basen o 18\n----\nBasen",
          f"the basin merged as {description_of(events['notatka-2026-03-11@dniarz'])!r}")
    check(me.note("2026-03-11") == "Basen o 18 | ---- | Basen", f"the basin here: {me.note('2026-03-11')!r}")

    # With nothing changed, nothing moves; the stored account serves.
    done = me.sync()
    check(done.stdout == "Notatki: wysłane 0, odebrane 0, konflikty 0\n", f"second sync said {done.stdout!r}")

    # The phone: a title edited, an event deleted, one added, one moved to another day.
    events = events_by_uid(notes_calendar)
    meeting = events["notatka-2026-03-10@dniarz"]
    meeting.vobject_instance.vevent.summary.value = "Zebranie"
    meeting.save()
    events["notatka-2026-03-12@dniarz"].delete()
    notes_calendar.save_event(phone_event("telefon-1", "20260315", "Kino ☺", extra="DTSTART:20260315T180000Z"))
    # A new note here on the same sync.
    me.add_note("2026.03.20", "Urodziny Ani")
    done = me.sync()
    # The title edit goes back too, so that the event's description holds the note again.
    check(done.stdout == "Notatki: wysłane 2, odebrane 3, konflikty 0\n", f"third sync said {done.stdout!r}")
    check("?" in done.stderr, f"the replaced character was not told: {done.stderr!r}")
    check(me.note("2026-03-10") == "Zebranie | z Anną", f"a title edit: {me.note('2026-03-10')!r}")
    check(me.note("2026-03-12") == "", f"a deletion: {me.note('2026-03-12')!r}")
    check(me.note("2026-03-15") == "19:00 | Kino ?", f"the phone's event: {me.note('2026-03-15')!r}")
    events = events_by_uid(notes_calendar)
    check(summary_of(events["notatka-2026-03-20@dniarz"]) == "Urodziny Ani", "the new note went out")
    check(summary_of(events["telefon-1"]) == "Kino ☺", "the phone keeps its character")

    # Both sides change the same note: both texts stay, joined, on both sides.
    birthday = events["notatka-2026-03-20@dniarz"]
    birthday.vobject_instance.vevent.description.value = "Urodziny Ani\no 17"
    birthday.save()
    me.add_note("2026.03.20", "Urodziny Ani\nkupić kwiaty")
    done = me.sync()
    check(done.stdout == "Notatki: wysłane 1, odebrane 0, konflikty 1\n", f"conflict sync said {done.stdout!r}")
    merged = "Urodziny Ani | kupić kwiaty | ---- | Urodziny Ani | o 17"
    check(me.note("2026-03-20") == merged, f"the merged note: {me.note('2026-03-20')!r}")
    check(description_of(events_by_uid(notes_calendar)["notatka-2026-03-20@dniarz"])
          == "Urodziny Ani\nkupić kwiaty\n----\nUrodziny Ani\no 17", "the merged note went back")

    # Deleted here, unchanged there: gone there too. The yearly note recurs every year.
    me.add_note("2026.03.11", "")
    me.sync()
    events = events_by_uid(notes_calendar)
    check("notatka-2026-03-11@dniarz" not in events, "a note deleted here stays on the server")
    check("FREQ=YEARLY" in events["coroczna-05-03@dniarz"].data, "the yearly note does not recur")

    # Losing the state file costs a comparison only.
    (me.notes / "dnz-sync.txt").unlink()
    before = me.raw()
    done = me.sync()
    check(done.stdout == "Notatki: wysłane 0, odebrane 0, konflikty 0\n", f"sync without state said {done.stdout!r}")
    check(me.raw() == before, "the notes changed after the state was lost")
    check(len(notes_calendar.events()) == 4, f"events after the state was lost: {len(notes_calendar.events())}")

    # A subscribed address is asked whether its file changed; an unchanged one keeps its events.
    feed = ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Szkoła//PL\r\nBEGIN:VEVENT\r\nUID:zebranie-1\r\n"
            "DTSTAMP:20260301T000000Z\r\nDTSTART;VALUE=DATE:20260325\r\nSUMMARY:Zebranie z rodzicami\r\n"
            "END:VEVENT\r\nEND:VCALENDAR\r\n").encode()
    feed_url, asked = serve_feed(feed, '"wersja-1"', "Sun, 01 Mar 2026 10:00:00 GMT")
    done = me.sync("--subscribe", feed_url)
    check(f"{feed_url}: wydarzenia 1" in done.stdout, f"the subscription said {done.stdout!r}")
    done = me.sync()
    check(f"{feed_url}: wydarzenia 1" in done.stdout, f"the unchanged subscription said {done.stdout!r}")
    check(asked == [(None, None), ('"wersja-1"', "Sun, 01 Mar 2026 10:00:00 GMT")],
          f"the validators asked: {asked}")
    check(me.day_line("2026-03-25", "events") == "Zebranie z rodzicami",
          f"the subscribed event after a 304: {me.day_line('2026-03-25', 'events')!r}")

    # A wrong password is refused with exit 1 and a Polish word on what went wrong.
    done = me.sync(env={"DNIARZ_SYNC_PASSWORD": "złe"}, expect=1)
    check("401" in done.stderr and "hasła" in done.stderr, f"the 401 message: {done.stderr!r}")
    # No such calendar, or no server at all.
    done = me.sync("--server", url, "--user", USER, "--calendar", "Nie ma", expect=2)
    check("Notatki" in done.stderr, f"the calendars are not named: {done.stderr!r}")
    done = me.sync("--server", "http://nie-ma-takiego-serwera.invalid/", "--user", USER, expect=1)
    check("Nie ma takiego adresu" in done.stderr, f"an unknown address: {done.stderr!r}")


def xandikos_scenario(folder, servers):
    if not shutil.which("xandikos"):
        skip("xandikos is not installed")
    need_module("caldav", "python3-caldav")
    port = free_port()
    servers.start(["xandikos", "-d", str(folder / "x"), "--defaults", "-l", "127.0.0.1", "-p", str(port)], port,
                  folder / "xandikos.log")
    url = f"http://127.0.0.1:{port}/"
    proxy = Proxy(port)
    me = Program(folder)
    me.write_notes({"2026.03.10": "Spotkanie", "2026.03.11": "Basen"})
    done = me.sync("--server", proxy.url)
    check(done.stdout.endswith(": wysłane 2, odebrane 0, konflikty 0\n"), f"first sync said {done.stdout!r}")
    proxy.requests.clear()
    done = me.sync()
    check(done.stdout.endswith(": wysłane 0, odebrane 0, konflikty 0\n"), f"second sync said {done.stdout!r}")
    check(len(proxy.requests) == 1 and proxy.requests[0].startswith("REPORT"),
          f"a sync with nothing changed asked {proxy.requests}")
    import caldav
    calendar = caldav.DAVClient(url).principal().calendars()[0]
    event = events_by_uid(calendar)["notatka-2026-03-10@dniarz"]
    event.vobject_instance.vevent.description.value = "Spotkanie\nw biurze"
    event.save()
    events_by_uid(calendar)["notatka-2026-03-11@dniarz"].delete()
    proxy.requests.clear()
    me.sync()
    check(me.note("2026-03-10") == "Spotkanie | w biurze", f"the edit through sync-collection: {me.note('2026-03-10')!r}")
    check(me.note("2026-03-11") == "", "the deletion through sync-collection")
    check(sum(r.startswith("PROPFIND") for r in proxy.requests) == 0, f"a sync rediscovered: {proxy.requests}")
    proxy.close()


def khal_scenario(folder, servers):
    # vdirsyncer sends Basic authentication in Latin-1, which has no "ł".
    global PASSWORD
    PASSWORD = "tajne haslo"
    need_module("radicale", "radicale")
    need_module("caldav", "python3-caldav")
    for tool, package in (("vdirsyncer", "vdirsyncer"), ("khal", "khal")):
        if not shutil.which(tool):
            skip(f"{package} is not installed")
    url = start_radicale(servers, folder / "server")
    principal = phone(url).principal()
    principal.make_calendar(name="Notatki", cal_id="notatki")
    principal.make_calendar(name="Praca", cal_id="praca")
    me = Program(folder)
    me.write_notes({"2026.03.10": "Spotkanie z Anną"})
    me.sync("--server", url, "--user", USER, "--calendar", "Notatki", "--show", "Praca")

    home = folder / "khal"
    (home / "status").mkdir(parents=True)
    (home / "kalendarze").mkdir()
    (home / "vdirsyncer.conf").write_text(f"""[general]
status_path = "{home / 'status'}/"
[pair konto]
a = "serwer"
b = "dysk"
collections = ["from a"]
conflict_resolution = "a wins"
[storage serwer]
type = "caldav"
url = "{url}"
username = "{USER}"
password = "{PASSWORD}"
[storage dysk]
type = "filesystem"
path = "{home / 'kalendarze'}/"
fileext = ".ics"
""")
    (home / "khal.conf").write_text(f"""[calendars]
[[notatki]]
path = {home / 'kalendarze' / 'notatki'}
type = calendar
[[praca]]
path = {home / 'kalendarze' / 'praca'}
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
    env = dict(os.environ, HOME=str(home), XDG_DATA_HOME=str(home / "data"), XDG_CONFIG_HOME=str(home / "config"),
               XDG_CACHE_HOME=str(home / "cache"))

    def tool(*args, stdin=None):
        done = subprocess.run(list(args), capture_output=True, text=True, env=env, input=stdin, timeout=120)
        check(done.returncode == 0, f"{' '.join(args[:3])} failed: {done.stdout} {done.stderr}")
        return done.stdout

    vdirsyncer = ["vdirsyncer", "-c", str(home / "vdirsyncer.conf")]
    khal = ["khal", "-c", str(home / "khal.conf")]
    tool(*vdirsyncer, "discover", "konto", stdin="y\n" * 10)
    tool(*vdirsyncer, "sync")
    listed = tool(*khal, "list", "2026-03-10", "2026-03-10")
    check("Spotkanie z Anną" in listed, f"khal does not list the note: {listed!r}")

    # An event made in khal on the other calendar shows with the day here, never in the notes.
    tool(*khal, "new", "-a", "praca", "2026-03-10", "09:00", "10:00", "Narada zespołu")
    tool(*vdirsyncer, "sync")
    done = me.sync()
    check("Praca: wydarzenia 1" in done.stdout, f"the shown calendar: {done.stdout!r}")
    events = me.day_line("2026-03-10", "events")
    check(events == "09:00 Narada zespołu", f"the events line: {events!r}")
    check("Narada" not in me.raw(), "a shown calendar's event went into the notes")
    check(me.day_line("2026-03-11", "events") == "", "the events line of a day without events")


class Proxy:
    """HTTP in front of a server, one request at a time, with faults on request. `fault(index, request)`
    returns None to pass the answer on, or one of "stop", "cut", "garble", "silent", or a status code."""

    def __init__(self, upstream_port, fault=None):
        self.upstream = upstream_port
        self.fault = fault
        self.requests = []
        self.listener = socket.socket()
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(8)
        self.port = self.listener.getsockname()[1]
        self.url = f"http://127.0.0.1:{self.port}/"
        self.open = []
        self.closed = False
        threading.Thread(target=self.accept, daemon=True).start()

    def close(self):
        self.closed = True
        for s in [self.listener, *self.open]:
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            s.close()

    def accept(self):
        while not self.closed:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            self.open.append(connection)
            threading.Thread(target=self.serve, args=(connection,), daemon=True).start()

    @staticmethod
    def read_message(stream, head_only=False):
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = stream.recv(1)
            if not chunk:
                return None, None, None
            head += chunk
        lines = head.decode("latin-1").split("\r\n")
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers[name.strip().lower()] = value.strip()
        body = b""
        length = int(headers.get("content-length", "0"))
        while len(body) < length:
            chunk = stream.recv(length - len(body))
            if not chunk:
                break
            body += chunk
        return lines[0], headers, body

    def serve(self, connection):
        try:
            while not self.closed:
                first, headers, body = self.read_message(connection)
                if first is None:
                    return
                index = len(self.requests)
                self.requests.append(first)
                action = self.fault(index, first) if self.fault else None
                if action == "stop":
                    self.close()
                    return
                if action == "silent":
                    time.sleep(3600)
                    return
                if isinstance(action, int):
                    connection.sendall(f"HTTP/1.1 {action} Fehler\r\nContent-Length: 0\r\n\r\n".encode())
                    continue
                upstream = socket.create_connection(("127.0.0.1", self.upstream))
                out_headers = "".join(f"{k}: {v}\r\n" for k, v in headers.items()
                                      if k not in ("connection", "host", "content-length"))
                upstream.sendall(f"{first}\r\nHost: 127.0.0.1:{self.upstream}\r\n{out_headers}"
                                 f"Content-Length: {len(body)}\r\nConnection: close\r\n\r\n".encode("latin-1") + body)
                status, answer_headers, answer = self.read_message(upstream)
                upstream.close()
                if action == "garble":
                    answer = b'<?xml version="1.0"?><d:multistatus xmlns:d="DAV:"><d:response><d:href>/a'
                reply_headers = "".join(f"{k}: {v}\r\n" for k, v in answer_headers.items()
                                        if k not in ("connection", "content-length", "transfer-encoding"))
                head = f"{status}\r\n{reply_headers}Content-Length: {len(answer)}\r\n\r\n".encode("latin-1")
                if action == "cut":
                    connection.sendall(head + answer[: len(answer) // 2])
                    connection.shutdown(socket.SHUT_RDWR)
                    connection.close()
                    return
                connection.sendall(head + answer)
        except OSError:
            return


def faults_scenario(folder, servers):
    need_module("radicale", "radicale")
    need_module("caldav", "python3-caldav")
    url = start_radicale(servers, folder / "server")
    upstream = int(url.rsplit(":", 1)[1].strip("/"))
    notes_calendar = phone(url).principal().make_calendar(name="Notatki")
    notes = {f"2026.04.{d:02}": f"Notatka {d}\nz drugim wierszem" for d in range(1, 13)}
    base = folder
    round_number = 0

    def fresh():
        nonlocal round_number
        round_number += 1
        where = base / f"runda{round_number}"
        where.mkdir()
        me = Program(where)
        me.write_notes(notes)
        return me

    def intact(me, label):
        raw = me.raw()
        for key, text in notes.items():
            date = key.replace(".", "-")
            check(me.note(date) == text.replace("\n", " | "), f"{label}: {key} is {me.note(date)!r}")
        uids = [e.vobject_instance.vevent.uid.value for e in notes_calendar.events()]
        check(len(uids) == len(set(uids)) == len(notes), f"{label}: {len(uids)} events for {len(notes)} notes")
        return raw

    def after_fault(me, label, fault, expect, words):
        proxy = Proxy(upstream, fault)
        done = me.sync("--server", proxy.url, "--user", USER, expect=expect,
                       env={"DNIARZ_SYNC_TIMEOUT": "2"})
        check(any(w in done.stderr for w in words), f"{label}: said {done.stderr!r}")
        proxy.close()
        # The next sync, with the server whole again, finishes the work and doubles nothing.
        me.sync("--server", url, "--user", USER)
        intact(me, label)
        for event in notes_calendar.events():
            event.delete()

    # Discovery is four requests, the listing the fifth; writes follow.
    after_fault(fresh(), "server stopped mid-sync", lambda i, r: "stop" if i == 9 else None, 1,
                ["przerwał", "nie przyjmuje"])
    after_fault(fresh(), "reply cut off", lambda i, r: "cut" if r.startswith("REPORT") else None, 1,
                ["przerwał", "nie da się odczytać"])
    after_fault(fresh(), "malformed XML", lambda i, r: "garble" if r.startswith("REPORT") else None, 1,
                ["nie da się odczytać"])
    after_fault(fresh(), "507 on a write", lambda i, r: 507 if r.startswith("PUT") and i > 7 else None, 1,
                ["507"])
    after_fault(fresh(), "503", lambda i, r: 503 if r.startswith("REPORT") else None, 1, ["zajęty"])
    # A 412 makes the sync fetch the event again and merge that one note anew.
    me = fresh()
    proxy = Proxy(upstream, lambda i, r: 412 if r.startswith("PUT") and "2026-04-03" in r and i < 12 else None)
    me.sync("--server", proxy.url, "--user", USER)
    proxy.close()
    me.sync("--server", url, "--user", USER)
    intact(me, "412")
    for event in notes_calendar.events():
        event.delete()

    # A server that never answers: the sync gives up after its time-out, and says so.
    me = fresh()
    started = time.time()
    after_fault(me, "no answer", lambda i, r: "silent" if i == 6 else None, 1, ["nie odpowiedział"])
    check(time.time() - started < 40, "the time-out did not end the wait")

    # kill -9 in the middle of a sync: every confirmed note stays, nothing is doubled next time.
    me = fresh()
    proxy = Proxy(upstream, lambda i, r: (time.sleep(0.3), None)[1])
    process = subprocess.Popen([program, "--dir", str(me.notes), "--sync", "--server", proxy.url, "--user", USER],
                               env=me.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.time() + 20
    while len(proxy.requests) < 8 and time.time() < deadline:
        time.sleep(0.05)
    process.kill()
    process.wait()
    proxy.close()
    me.sync("--server", url, "--user", USER)
    intact(me, "kill -9")


scenarios = {"radicale": radicale_scenario, "xandikos": xandikos_scenario, "khal": khal_scenario,
             "faults": faults_scenario}
servers = Servers()
with tempfile.TemporaryDirectory() as tmp:
    # The servers stop before their folder goes: one still writing a request that a killed client
    # left behind would leave the folder not empty.
    try:
        scenarios[scenario](Path(tmp), servers)
    finally:
        servers.stop_all()
print(f"{len(failures)} failed" if failures else "all passed")
sys.exit(1 if failures else 0)
