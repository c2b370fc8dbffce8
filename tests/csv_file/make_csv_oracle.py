#!/usr/bin/env python3
"""Writes CSV files with Python's csv module into the folder given, and
expect.txt, what each column of them holds, for csv_python_test.cpp, which
runs this at test time (and is skipped where python3 is missing).

expect.txt, blank-separated:
  file NAME OPTIONS ROWS COLUMNS     OPTIONS is "-" for none, else hex
  column NAME KIND                   KIND: I E D S C
  then ROWS lines, each a value as hex of its UTF-8 text ("-" when empty):
  integers and floats as Python writes them, dates and date-times in ISO 8601
  with milliseconds, symbols and texts as themselves."""
import csv
import datetime as dt
import random
import sys

ROWS = 300
# Python writes a lone "\r" unquoted when lines end in "\n", which no
# reader takes back, so it comes only before "\n" here.
ALPHABET = list("abc xyz,;\"'\n\té日本é|0123456789") + ["\r\n"]


def hexed(text):
    return text.encode("utf-8").hex() if text != "" else "-"


def text_value(rng, row):
    # Every text differs (the row number leads), so the column reads as text.
    return str(row) + "".join(rng.choice(ALPHABET) for _ in range(rng.randrange(0, 12)))


def main(folder):
    rng = random.Random(4180)
    ids = [rng.randrange(-2**31 + 1, 2**31) if rng.random() > 0.05 else None for _ in range(ROWS)]
    prices = [rng.choice([rng.uniform(-1e6, 1e6), rng.random() * 10 ** rng.randrange(-300, 300),
                          float("inf"), float("-inf"), 0.1, -0.0]) if rng.random() > 0.05 else None
              for _ in range(ROWS)]
    days = [dt.date(1, 1, 1) + dt.timedelta(days=rng.randrange(3652058)) if rng.random() > 0.05 else None
            for _ in range(ROWS)]
    stamps = [dt.datetime(1, 1, 1) + dt.timedelta(milliseconds=rng.randrange(315537897600000))
              for _ in range(ROWS)]
    tags = [rng.choice(["buy", "sell", "hold, maybe", "say \"no\""]) for _ in range(ROWS)]
    names = [text_value(rng, i) for i in range(ROWS)]

    def num(v):
        return "" if v is None else repr(v) if isinstance(v, float) else str(v)

    columns = [
        ("id", "I", [num(v) for v in ids]),
        ("price", "E", [num(v) for v in prices]),
        ("day", "D", ["" if v is None else v.isoformat() for v in days]),
        ("stamp", "D", [v.isoformat(timespec="milliseconds") for v in stamps]),
        ("tag", "S", tags),
        ("name", "C", names),
    ]
    with open(folder + "/expect.txt", "w", encoding="ascii") as expect:
        def describe(name, options, cols):
            expect.write(f"file {name} {hexed(options) if options else '-'} {ROWS} {len(cols)}\n")
            for cname, kind, values in cols:
                expect.write(f"column {cname} {kind}\n")
                for v in values:
                    expect.write(hexed(v) + "\n")

        # The spreadsheet dialect: "\r\n", quotes only where needed, a
        # byte-order mark. Types inferred.
        with open(folder + "/excel.csv", "w", newline="", encoding="utf-8-sig") as f:
            w = csv.writer(f)
            w.writerow([c[0] for c in columns])
            for i in range(ROWS):
                w.writerow([c[2][i] for c in columns])
        describe("excel.csv", "", columns)

        # Semicolons, every field quoted, "\n", no header: the types given.
        with open(folder + "/quoted.csv", "w", newline="", encoding="utf-8") as f:
            w = csv.writer(f, delimiter=";", quoting=csv.QUOTE_ALL, lineterminator="\n")
            for i in range(ROWS):
                w.writerow([c[2][i] for c in columns])
        describe("quoted.csv", ";-IEDDSC", [(f"c{k + 1}",) + c[1:] for k, c in enumerate(columns)])

        # Tabs, the name column skipped.
        with open(folder + "/tabs.tsv", "w", newline="", encoding="utf-8") as f:
            w = csv.writer(f, delimiter="\t", lineterminator="\n")
            w.writerow([c[0] for c in columns])
            for i in range(ROWS):
                w.writerow([c[2][i] for c in columns])
        describe("tabs.tsv", "\tIEDDS ", columns[:-1])


if __name__ == "__main__":
    main(sys.argv[1])
