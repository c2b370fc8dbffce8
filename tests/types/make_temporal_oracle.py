#!/usr/bin/env python3
"""Writes temporal_oracle.txt: day numbers, additions and differences of
random dates and date-times, computed by Python's datetime, for
temporal_test.cpp. Run once; the tests read the file and never run Python.

Lines (fields separated by blanks):
  D  y m d  day-number  amount  y m d | out      date + amount days
  T  y m d h mi s ms  amount-ms  y m d h mi s ms | out
  DD y m d  y m d  difference-in-days
  TT y m d h mi s ms  y m d h mi s ms  difference-in-milliseconds
"out" stands where the sum leaves 2000-2100."""
import datetime as dt
import random

FIRST = dt.datetime(2000, 1, 1)
LAST = dt.datetime(2100, 12, 31, 23, 59, 59, 999000)
EPOCH = dt.date(1999, 12, 31)


def random_moment(rng):
    span = int((LAST - FIRST).total_seconds() * 1000)
    return FIRST + dt.timedelta(milliseconds=rng.randrange(span + 1))


def fields(t):
    return f"{t.year} {t.month} {t.day} {t.hour} {t.minute} {t.second} {t.microsecond // 1000}"


def inside(t):
    return FIRST <= t <= LAST


def main():
    rng = random.Random(20261208)
    lines = []
    for _ in range(500):
        a = random_moment(rng).date()
        b = random_moment(rng).date()
        amount = rng.randrange(-40000, 40000)
        moved = dt.datetime.combine(a, dt.time()) + dt.timedelta(days=amount)
        sum_text = f"{moved.year} {moved.month} {moved.day}" if inside(moved) else "out"
        lines.append(f"D {a.year} {a.month} {a.day} {(a - EPOCH).days} {amount} {sum_text}")
        lines.append(f"DD {a.year} {a.month} {a.day} {b.year} {b.month} {b.day} {(a - b).days}")
    for _ in range(500):
        a = random_moment(rng)
        b = random_moment(rng)
        amount = rng.randrange(-2**31 + 1, 2**31)
        moved = a + dt.timedelta(milliseconds=amount)
        sum_text = fields(moved) if inside(moved) else "out"
        lines.append(f"T {fields(a)} {amount} {sum_text}")
        diff = (a - b) // dt.timedelta(milliseconds=1)
        lines.append(f"TT {fields(a)} {fields(b)} {diff}")
    with open("temporal_oracle.txt", "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
