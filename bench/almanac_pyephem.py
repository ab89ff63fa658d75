#!/usr/bin/python3
"""The work of BM_Year_Almanac (bench/astro_bench.cpp) done with PyEphem, for comparison: sunrise,
sunset, moonrise, moonset and the moon's lit share at 18:00 UT, for 366 days from 2024-01-01 at
Warsaw, in one process. Prints the CPU time per day in microseconds, the best of five rounds.

Needs python3-ephem (Debian), a test-only package: bench/almanac_vs_pyephem.sh runs both."""
import sys
import time

import ephem

DAYS = 366


def year(observer, sun, moon, start):
    for k in range(DAYS):
        observer.date = start + k
        observer.next_rising(sun)
        observer.next_setting(sun)
        try:
            observer.next_rising(moon)
            observer.next_setting(moon)
        except (ephem.AlwaysUpError, ephem.NeverUpError):
            pass
        moon.compute(start + k + 0.75)
        moon.moon_phase


def main():
    observer = ephem.Observer()
    observer.lat, observer.lon = "52.236620", "21.027916"
    # The standard altitude of the sun and moon lines: refraction and semi-diameter in one angle.
    observer.pressure = 0
    observer.horizon = "-0:34"
    start = ephem.Date("2024/1/1")
    best = None
    for _ in range(5):
        t0 = time.process_time()
        year(observer, ephem.Sun(), ephem.Moon(), start)
        elapsed = time.process_time() - t0
        best = elapsed if best is None else min(best, elapsed)
    print(f"pyephem_us_per_day {best * 1e6 / DAYS:.1f}")


if __name__ == "__main__":
    sys.exit(main())
