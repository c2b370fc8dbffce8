#!/usr/bin/env python3
"""Random query statements with SQLite's answers, for query_oracle_test.cpp.

Usage: query_oracle.py SEED COUNT

Writes lines of tab-separated fields:
  L <wox line>                          a line that makes one of the tables
  Q <statement> <kind> <names> <rows>   a statement for `do` and its answer

kind is "rows" (a plain table in table order, or in the order ORDER BY
asks, ties in table order), "groups" (a keyed table, its rows in any order) or "values" (one column's values, shown as a
vector); names are the result's column names joined by blanks, rows the
rows joined by "|", each row's values joined by blanks, written as Wox
shows them (_3 for -3, symbols without their backquote).

The tables' column names hold the statement words and capital I's inside
them (ID, BYTES, FROMAGE, MINT, WHEREAS ...), and their symbols include
the words themselves, so the statements test that keywords count only as
whole words. Averages are written as Wox shows a float, to 10 digits. Exits with 77 when the sqlite3 module is missing.
"""
import random
import sys

try:
    import sqlite3
except ImportError:
    sys.exit(77)

SYMBOLS = ["a", "b", "c", "IN", "BY", "FROM", "I", "x1", "ORDER", "INTO", "DESC"]

# name: columns as (name, kind) with kind "i" (integer) or "s" (symbol).
TABLES = {
    "t1": [("ID", "i"), ("BYTES", "i"), ("FROMAGE", "s"), ("MINT", "i"), ("g", "s")],
    "t2": [("WHEREAS", "i"), ("INk", "s"), ("SUMMIT", "i"), ("ORDERID", "i"), ("BYg", "s")],
    "IDs": [("k", "s"), ("v", "i"), ("MAXI", "i"), ("IDX", "i")],
}


def shown(v):
    if isinstance(v, float):
        return ("%.10g" % v).replace("-", "_")
    return str(v).replace("-", "_") if isinstance(v, int) else v


def wox_literal(v):
    return shown(v) if isinstance(v, int) else "`" + v


def sql_literal(v):
    return str(v) if isinstance(v, int) else "'" + v + "'"


def q(name):
    return '"' + name + '"'


def blank(rng):
    return rng.choice(["", "", " ", "  "])


def make_tables(rng, db):
    lines = []
    data = {}
    for name, columns in TABLES.items():
        n = rng.randint(3, 10)
        values = []
        for _, kind in columns:
            if kind == "i":
                values.append([rng.randint(-3, 9) for _ in range(n)])
            else:
                values.append([rng.choice(SYMBOLS) for _ in range(n)])
        data[name] = values
        parts = []
        for (col, kind), vs in zip(columns, values):
            if kind == "i":
                parts.append(col + ":" + " ".join(shown(v) for v in vs))
            else:
                parts.append(col + ":" + "".join("`" + v for v in vs))
        lines.append(name + "<-([]" + ";".join(parts) + ")")
        db.execute("CREATE TABLE " + q(name) + " (" + ", ".join(q(c) for c, _ in columns) + ")")
        db.executemany("INSERT INTO " + q(name) + " VALUES (" + ",".join("?" * len(columns)) + ")",
                       list(zip(*values)))
    return lines


def condition(rng, columns):
    """A WHERE condition as (wox text, sql text)."""
    col, kind = rng.choice(columns)
    b = lambda: blank(rng)
    ints = [c for c, k in columns if k == "i"]
    r = rng.random()
    if r < 0.2:
        if kind == "i":
            vs = rng.sample(range(-3, 10), rng.randint(1, 3))
        else:
            vs = rng.sample(SYMBOLS, rng.randint(1, 3))
        wox = col + " IN " + ("" if kind == "s" else " ").join(wox_literal(v) for v in vs)
        return wox, q(col) + " IN (" + ",".join(sql_literal(v) for v in vs) + ")"
    if kind == "s":
        op = rng.choice(["=", "~="])
        v = rng.choice(SYMBOLS)
        sqlop = "=" if op == "=" else "<>"
        if rng.random() < 0.3:
            return wox_literal(v) + b() + op + b() + col, sql_literal(v) + sqlop + q(col)
        return col + b() + op + b() + wox_literal(v), q(col) + sqlop + sql_literal(v)
    op = rng.choice(["=", "<", ">", "<=", ">=", "~="])
    sqlop = "<>" if op == "~=" else op
    if rng.random() < 0.2 and len(ints) > 1:
        other = rng.choice([c for c in ints if c != col])
        return col + b() + op + b() + other, q(col) + sqlop + q(other)
    v = rng.randint(-3, 9)
    if rng.random() < 0.3:
        return wox_literal(v) + b() + op + b() + col, sql_literal(v) + sqlop + q(col)
    return col + b() + op + b() + wox_literal(v), q(col) + sqlop + sql_literal(v)


def where(rng, columns):
    n = rng.choice([0, 1, 1, 2, 3])
    if n == 0:
        return "", ""
    conds = [condition(rng, columns) for _ in range(n)]
    sep = "," + blank(rng)
    return " WHERE " + sep.join(w for w, _ in conds), " WHERE " + " AND ".join(s for _, s in conds)


def rows_of(cursor):
    return [" ".join(shown(v) for v in row) for row in cursor.fetchall()]


def order(rng, names):
    """An ORDER BY over one of names, or none, as (wox text, sql text
    before the tie-break)."""
    if rng.random() < 0.6:
        return "", ""
    name = rng.choice(names)
    way = rng.choice(["", " ASC", " DESC"])
    return " ORDER BY " + name + way, q(name) + (" DESC" if way == " DESC" else "") + ", "


def plain(rng, db, table, columns):
    word = rng.choice(["SELECT", "EXEC"])
    wox_where, sql_where = where(rng, columns)
    wox_order, sql_order = order(rng, [c for c, _ in columns])
    wox_where += wox_order
    sql_where += " ORDER BY " + sql_order + "rowid"
    if word == "EXEC":
        col, _ = rng.choice(columns)
        sql = "SELECT " + q(col) + " FROM " + q(table) + sql_where
        return "EXEC " + col + " FROM " + table + wox_where, "values", "", sql
    if rng.random() < 0.15:
        names = [c for c, _ in columns]
        sql = "SELECT * FROM " + q(table) + sql_where
        return "SELECT FROM " + table + wox_where, "rows", " ".join(names), sql
    chosen = rng.sample(columns, rng.randint(1, min(3, len(columns))))
    items, names, sql_items = [], [], []
    for i, (col, _) in enumerate(chosen):
        if rng.random() < 0.2:
            items.append("n" + str(i) + "<-" + col)
            names.append("n" + str(i))
        else:
            items.append(col)
            names.append(col)
        sql_items.append(q(col))
    sql = "SELECT " + ", ".join(sql_items) + " FROM " + q(table) + sql_where
    text = "SELECT " + ("," + blank(rng)).join(items) + " FROM " + table + wox_where
    return text, "rows", " ".join(names), sql


def grouped(rng, db, table, columns):
    word = rng.choice(["SELECT", "SELECT", "EXEC"])
    wox_where, sql_where = where(rng, columns)
    group, _ = rng.choice(columns)
    key = group
    by = group
    if rng.random() < 0.2:
        key = "h"
        by = "h<-" + group
    items, names, sql_items = [], [key], [q(group) + " AS " + q(key)]
    for i in range(rng.randint(1, 3)):
        col, kind = rng.choice(columns)
        if kind == "i":
            agg = rng.choice(["SUM", "COUNT", "MAX", "MIN", "FIRST", "LAST", "AVG"])
        else:
            agg = rng.choice(["COUNT", "FIRST", "LAST"])
        name = "r" + str(i)
        items.append(name + "<-" + agg + " " + col)
        names.append(name)
        if agg in ("FIRST", "LAST"):
            sql_items.append("(SELECT f." + q(col) + " FROM w AS f WHERE f." + q(group) + " = w." + q(group) +
                             " ORDER BY f.rid_" + (" DESC" if agg == "LAST" else "") + " LIMIT 1)")
        else:
            sql_items.append(agg + "(" + q(col) + ")")
        sql_items[-1] += " AS " + q(name)
    # Groups come in the order of their first rows, ties of an ORDER BY too.
    wox_order, sql_order = order(rng, names)
    sql = ("WITH w AS (SELECT rowid AS rid_, * FROM " + q(table) + sql_where + ") SELECT " + ", ".join(sql_items) +
           " FROM w GROUP BY " + q(group) + " ORDER BY " + sql_order + "MIN(rid_)")
    text = word + " " + ("," + blank(rng)).join(items) + " BY " + by + " FROM " + table + wox_where + wox_order
    return text, "rows" if wox_order else "groups", " ".join(names), sql


def totals(rng, db, table, columns):
    """Aggregates over all the chosen rows, without BY: one row, of at
    least one chosen row (SQL has no row of empty maxima to compare)."""
    wox_where, sql_where = where(rng, columns)
    if db.execute("SELECT COUNT(*) FROM " + q(table) + sql_where).fetchone()[0] == 0:
        wox_where, sql_where = "", ""
    items, names, sql_items = [], [], []
    for i in range(rng.randint(1, 3)):
        col, kind = rng.choice(columns)
        agg = rng.choice(["SUM", "COUNT", "MAX", "MIN", "AVG"] if kind == "i" else ["COUNT"])
        name = "r" + str(i)
        items.append(name + "<-" + agg + " " + col)
        names.append(name)
        sql_items.append(agg + "(" + q(col) + ")")
    sql = "SELECT " + ", ".join(sql_items) + " FROM " + q(table) + sql_where
    text = "SELECT " + ("," + blank(rng)).join(items) + " FROM " + table + wox_where
    return text, "rows", " ".join(names), sql


def main():
    seed, count = int(sys.argv[1]), int(sys.argv[2])
    rng = random.Random(seed)
    db = sqlite3.connect(":memory:")
    out = []
    for line in make_tables(rng, db):
        out.append("L\t" + line)
    for _ in range(count):
        table = rng.choice(list(TABLES))
        columns = TABLES[table]
        r = rng.random()
        make = grouped if r < 0.35 else totals if r < 0.45 else plain
        text, kind, names, sql = make(rng, db, table, columns)
        rows = rows_of(db.execute(sql))
        out.append("\t".join(["Q", text, kind, names, "|".join(rows)]))
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
