#!/usr/bin/env python3
"""The feasts of 1900-2200 against Easter as python3-dateutil computes it, which shares no code
with the program's computus; Advent from the rule that it begins on the Sunday from 27 November."""
import datetime
import subprocess
import sys

from dateutil.easter import easter
from dateutil.relativedelta import relativedelta, SU

OFFSETS = {
    -52: "Tłusty Czwartek",
    -46: "Popielec",
    -7: "Niedziela Palmowa",
    -3: "Wielki Czwartek",
    -2: "Wielki Piątek",
    -1: "Wielka Sobota",
    0: "Wielkanoc",
    1: "Pon. Wielkanocny",
    42: "Wniebowstąpienie Pańskie",
    49: "Zesłanie Ducha Świętego — Zielone Świątki",
    60: "Boże Ciało",
}


def expected():
    days = {}
    for year in range(1900, 2201):
        sunday = easter(year)
        for offset, text in OFFSETS.items():
            days[sunday + datetime.timedelta(days=offset)] = text
        days[datetime.date(year, 11, 27) + relativedelta(weekday=SU(+1))] = "I Niedziela Adwentu"
    return days


def main():
    out = subprocess.run([sys.argv[1]], check=True, capture_output=True, text=True, encoding="utf-8").stdout
    got = {}
    for line in out.splitlines():
        day, text = line.split("\t")
        got[datetime.date.fromisoformat(day)] = text
    want = expected()
    wrong = sorted(set(got) ^ set(want) | {d for d in set(got) & set(want) if got[d] != want[d]})
    for day in wrong[:20]:
        print(f"{day}: program {got.get(day)!r}, expected {want.get(day)!r}")
    if wrong:
        print(f"{len(wrong)} days differ")
        return 1
    print(f"{len(want)} feast days agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
