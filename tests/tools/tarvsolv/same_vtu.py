#!/usr/bin/python3
"""Compares two of the solver's VTK grids (zlib-compressed appended arrays, 64-bit headers), each a
".vtu" or a ".pvtu" of pieces: the points and cells must be the same to the bit, every point and
cell array must agree within SHARE (1e-8 unless given) of its largest value. The pieces of a
".pvtu" are joined by their "Node number" point array, each shared node having to agree between
them, and their cells put in the order of the other grid's (matched by their nodes).

usage: same_vtu.py A.(p)vtu B.(p)vtu [SHARE]
"""
import os
import re
import struct
import sys
import zlib

TYPES = {"Float64": "d", "Int64": "q", "Int32": "i", "UInt8": "B"}


def arrays(path):
    """The file's arrays by name, those of point and cell data as "point NAME" and "cell NAME" (a
    point and a cell array may share a name)."""
    data = open(path, "rb").read()
    head, blob = data.split(b'<AppendedData encoding="raw">\n_', 1)
    sections = [(m.start(), m.group(1).decode()) for m in re.finditer(rb"<(PointData|CellData|Points|Cells)\b", head)]
    out = {}
    for tag in re.finditer(rb"<DataArray ([^>]*)/>", head):
        fields = dict(re.findall(rb'(\w+)="([^"]*)"', tag.group(1)))
        at = int(fields[b"offset"])
        blocks = struct.unpack_from("<Q", blob, at)[0]
        sizes = struct.unpack_from(f"<{blocks}Q", blob, at + 24)
        at += 24 + 8 * blocks
        raw = b""
        for size in sizes:
            raw += zlib.decompress(blob[at:at + size])
            at += size
        code = TYPES[fields[b"type"].decode()]
        name = fields.get(b"Name", b"Points").decode()
        section = max((s for s in sections if s[0] < tag.start()), default=(0, ""))[1]
        prefix = {"PointData": "point ", "CellData": "cell "}.get(section, "")
        out[prefix + name] = struct.unpack(f"<{len(raw) // struct.calcsize(code)}{code}", raw)
    return out


def tuples(values, count):
    width = len(values) // count if count else 1
    return [tuple(values[k * width:(k + 1) * width]) for k in range(count)]


def grid(path):
    """Points by node number and cells by their node numbers, each with its arrays' values."""
    if not path.endswith(".pvtu"):
        pieces = [path]
    else:
        head = open(path).read()
        pieces = [os.path.join(os.path.dirname(path), s) for s in re.findall(r'<Piece Source="([^"]*)"', head)]
    points, cells, failures = {}, {}, []
    for piece in pieces:
        a = arrays(piece)
        count = len(a["Points"]) // 3
        numbers = a.get("point Node number", range(1, count + 1))
        per_point = {n: tuples(v, count) for n, v in a.items() if n.startswith("point ") and n != "point Node number"}
        per_cell = {n: v for n, v in a.items() if n.startswith("cell ")}
        for k, number in enumerate(numbers):
            values = {"Points": tuple(a["Points"][3 * k:3 * k + 3]), **{n: v[k] for n, v in per_point.items()}}
            if points.setdefault(number, values) != values:
                failures.append(f"node {number} differs between the pieces")
        for k, cell in enumerate(tuples(a["connectivity"], len(a["types"]))):
            key = tuple(numbers[c] for c in cell)
            cells[key] = {n: v[k] for n, v in per_cell.items()}
    return points, cells, failures


def flattened(points, cells, order):
    out = {"Points": [v for n in sorted(points) for v in points[n]["Points"]], "connectivity": order}
    for name in next(iter(points.values()), {}):
        if name != "Points":
            out[name] = [v for n in sorted(points) for v in points[n][name]]
    for name in next(iter(cells.values()), {}):
        out[name] = [cells[key][name] for key in order]
    return out


def main():
    (p1, c1, f1), (p2, c2, f2) = grid(sys.argv[1]), grid(sys.argv[2])
    share = float(sys.argv[3]) if len(sys.argv) > 3 else 1e-8
    failures = f1 + f2
    if set(c1) != set(c2) or set(p1) != set(p2):
        failures.append("the cells or nodes differ")
    order = [key for key in c1 if key in c2]
    first, second = flattened(p1, c1, order), flattened(p2, c2, order)
    failures += [f"{name}: only in one grid" for name in set(first) ^ set(second)]
    for name in sorted(set(first) & set(second)):
        a, b = first[name], second[name]
        if name in ("Points", "connectivity"):
            if a != b:
                failures.append(f"{name} differs")
            continue
        largest = max((abs(v) for v in a), default=0.0)
        worst = max((abs(x - y) for x, y in zip(a, b)), default=0.0)
        print(f"{name}: largest {largest:.6g}, largest difference {worst:.3g}")
        if len(a) != len(b) or not worst <= share * largest:
            failures.append(f"{name} differs by {worst:.3g}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures or not p1 else 0


if __name__ == "__main__":
    sys.exit(main())
