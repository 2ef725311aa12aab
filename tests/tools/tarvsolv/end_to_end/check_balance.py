#!/usr/bin/python3
"""Reads the reaction table of a structural run's log (<job>.slog) and checks it on its own: the
sum of the reactions balances the sum of the applied loads to 1e-6 of the loads, the force and the
moment about the centroid each against the loads' own. A missing table, a listed entry without its
row, or the solver's own imbalance flag fails the check.

usage: check_balance.py SLOG [ENTRY ...]   (ENTRY: a row that must be listed, "restraint on face 1")
"""
import math
import re
import sys

VECTOR = r"\(([^)]*)\)"


def vectors(line):
    return [[float(v) for v in group.split(",")] for group in re.findall(VECTOR, line)]


def main():
    path, entries = sys.argv[1], sys.argv[2:]
    text = open(path, encoding="utf-8").read()
    failures = []
    rows = {}
    for line in text.splitlines():
        body = line.split("] ", 1)[-1].strip()
        label = body.split(":", 1)[0]
        if ":" in body and len(vectors(body)) == 2:
            rows[label] = vectors(body)
    for needed in ["sum of the reactions", "sum of the applied loads", *entries]:
        if needed not in rows:
            failures.append(f"no row '{needed}' in the reaction table")
    if "do not balance" in text:
        failures.append("the solver flags its reactions as out of balance")
    if not failures:
        (rf, rm), (lf, lm) = rows["sum of the reactions"], rows["sum of the applied loads"]
        for what, r, l in (("force", rf, lf), ("moment", rm, lm)):
            size = math.sqrt(sum(v * v for v in l))
            miss = math.sqrt(sum((a + b) ** 2 for a, b in zip(r, l)))
            print(f"{what}: loads {size:.6g}, reactions plus loads {miss:.3g}")
            if not (size > 0 and miss <= 1e-6 * size):
                failures.append(f"the reactions' {what} does not balance the loads' ({miss:.3g} of {size:.6g})")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
