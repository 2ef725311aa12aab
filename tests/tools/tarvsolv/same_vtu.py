#!/usr/bin/python3
"""Compares two of the solver's VTK grids (zlib-compressed appended arrays, 64-bit headers): the
points and cells must be the same to the bit, every point and cell array must agree within SHARE
(1e-8 unless given) of its largest value.

usage: same_vtu.py A.vtu B.vtu [SHARE]
"""
import re
import struct
import sys
import zlib

TYPES = {"Float64": "d", "Int64": "q", "Int32": "i", "UInt8": "B"}


def arrays(path):
    data = open(path, "rb").read()
    head, blob = data.split(b'<AppendedData encoding="raw">\n_', 1)
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
        out[fields.get(b"Name", b"Points").decode()] = struct.unpack(f"<{len(raw) // struct.calcsize(code)}{code}", raw)
    return out


def main():
    first, second = arrays(sys.argv[1]), arrays(sys.argv[2])
    share = float(sys.argv[3]) if len(sys.argv) > 3 else 1e-8
    failures = [f"{name}: only in one grid" for name in set(first) ^ set(second)]
    for name in sorted(set(first) & set(second)):
        a, b = first[name], second[name]
        if name in ("Points", "connectivity", "offsets", "types"):
            if a != b:
                failures.append(f"{name} differs")
            continue
        largest = max(abs(v) for v in a)
        worst = max((abs(x - y) for x, y in zip(a, b)), default=0.0)
        print(f"{name}: largest {largest:.6g}, largest difference {worst:.3g}")
        if len(a) != len(b) or not worst <= share * largest:
            failures.append(f"{name} differs by {worst:.3g}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures or not first else 0


if __name__ == "__main__":
    sys.exit(main())
