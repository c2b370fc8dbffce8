#!/usr/bin/env python3
"""Writes temporal_oracle.txt.gz: additions and differences of random dates
and date-times over the years 1 to 9999, computed by Python's datetime, for
temporal_test.cpp. Run once; the tests read the file and never run Python.

Lines (fields separated by blanks):
  D  y m d  days  amount  y m d | out      date + amount days
  T  y m d h mi s ms  amount-ms  y m d h mi s ms | out
  DD y m d  y m d  difference-in-days
  TT y m d h mi s ms  y m d h mi s ms  difference-in-milliseconds
"days" counts from 2000.01.01; "out" stands where the sum leaves the years
1 to 9999, which are also datetime's."""
import datetime as dt
import gzip
import random

FIRST = dt.datetime(1, 1, 1)
LAST = dt.datetime(9999, 12, 31, 23, 59, 59, 999000)
ORIGIN = dt.date(2000, 1, 1)
SPAN_MS = int((LAST - FIRST).total_seconds()) * 1000 + 999
CASES = 100_000


def random_moment(rng):
    # Half the moments near the ends of the range and near leap days, where
    # calendars go wrong; the rest anywhere.
    pick = rng.random()
    if pick < 0.1:
        return FIRST + dt.timedelta(milliseconds=rng.randrange(400 * 86_400_000))
    if pick < 0.2:
        return LAST - dt.timedelta(milliseconds=rng.randrange(400 * 86_400_000))
    if pick < 0.5:
        year = rng.choice([100, 200, 300, 400, 1600, 1700, 1900, 2000, 2100, 2400, 4, 1004, 9996])
        base = dt.datetime(year, 2, 27)
        return base + dt.timedelta(milliseconds=rng.randrange(4 * 86_400_000))
    return FIRST + dt.timedelta(milliseconds=rng.randrange(SPAN_MS + 1))


def fields(t):
    return f"{t.year} {t.month} {t.day} {t.hour} {t.minute} {t.second} {t.microsecond // 1000}"


def moved(t, delta):
    try:
        return t + delta
    except OverflowError:
        return None


def main():
    rng = random.Random(20261208)
    lines = []
    for case in range(CASES):
        a, b = random_moment(rng), random_moment(rng)
        kind = case % 4
        if kind == 0:
            days = rng.choice([rng.randrange(-4_000_000, 4_000_000), rng.randrange(-800, 800)])
            r = moved(a.date(), dt.timedelta(days=days))
            tail = "out" if r is None else f"{r.year} {r.month} {r.day}"
            lines.append(f"D {a.year} {a.month} {a.day} {(a.date() - ORIGIN).days} {days} {tail}")
        elif kind == 1:
            ms = rng.choice([rng.randrange(-SPAN_MS, SPAN_MS), rng.randrange(-10 ** 9, 10 ** 9)])
            r = moved(a, dt.timedelta(milliseconds=ms))
            tail = "out" if r is None else fields(r)
            lines.append(f"T {fields(a)} {ms} {tail}")
        elif kind == 2:
            da, db = a.date(), b.date()
            lines.append(f"DD {da.year} {da.month} {da.day} {db.year} {db.month} {db.day} {(da - db).days}")
        else:
            diff = a - b
            ms = (diff.days * 86_400 + diff.seconds) * 1000 + diff.microseconds // 1000
            lines.append(f"TT {fields(a)} {fields(b)} {ms}")
    with gzip.GzipFile("temporal_oracle.txt.gz", "wb", mtime=0) as f:
        f.write(("\n".join(lines) + "\n").encode())


if __name__ == "__main__":
    main()
