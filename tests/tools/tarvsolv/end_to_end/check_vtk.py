#!/usr/bin/python3
"""Opens the VTK files the solver wrote beside a result file with VTK's own reader and compares
every point array with what the add-on's reader reads from the result file (through
`tarvsolv-check-results dump`): node results to 1e-8 and the stress quantities to 1e-6 of their
largest value. STEM.vtu is one grid; otherwise STEM.pvd lists one grid per step or mode, whose time
values must be the modes' values (--modes) or the step number times DT (--step DT).

usage: check_vtk.py CHECKER MESH STEM [--modes | --step DT] [--expect NAME ...]
"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

from vtkmodules.vtkIOXML import vtkXMLUnstructuredGridReader

# Point array: (result kind, item per component) as the add-on's reader names them.
QUANTITIES = {
    "Displacement": (2, [-1]),
    "Mode shape": (3, [-1]),
    "Velocity": (6, [-1]),
    "Temperature": (1, [0]),
    "Stress": (4, [0, 1, 2, 3, 4, 5]),
    "von Mises stress": (4, [6]),
    "Principal stress 1": (4, [10]),
    "Principal stress 2": (4, [11]),
    "Principal stress 3": (4, [12]),
    "Plastic strain": (7, [0]),
    "Pressure": (8, [0]),
    "Vorticity": (9, [-1]),
    "heat flux": (10, [-1]),
    "Density": (11, [0]),
    "Mach number": (12, [0]),
    "Error estimate": (13, [0]),
}
TETRA, QUADRATIC_TETRA = 10, 24


def dump(checker, mesh, out, kind, item, step):
    lines = subprocess.run([checker, "dump", mesh, out, str(kind), str(item), str(step)], check=True,
                           capture_output=True, text=True).stdout.splitlines()
    mode = float(lines.pop(0).split()[1]) if lines and lines[0].startswith("mode") else None
    return mode, [[float(v) for v in line.split()[1:]] for line in lines]


def grids(stem):
    if os.path.exists(stem + ".vtu"):
        return [(None, stem + ".vtu", 1)]
    collection = ElementTree.parse(stem + ".pvd").getroot().find("Collection")
    folder = os.path.dirname(stem)
    out = []
    for entry in collection.findall("DataSet"):
        name = entry.get("file")
        out.append((float(entry.get("timestep")), os.path.join(folder, name),
                    int(name.rsplit("_", 1)[1].split(".")[0])))
    return out


def check_grid(checker, mesh, out, path, step, failures, largest_of):
    reader = vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    reader.Update()
    grid = reader.GetOutput()
    if grid.GetNumberOfPoints() == 0 or grid.GetCellType(0) not in (TETRA, QUADRATIC_TETRA):
        failures.append(f"{path}: no tetrahedra")
        return set(), None
    data = grid.GetPointData()
    names, mode = set(), None
    for index in range(data.GetNumberOfArrays()):
        array = data.GetArray(index)
        name = array.GetName()
        names.add(name)
        kind, items = QUANTITIES[name]
        width = array.GetNumberOfComponents()
        for component, item in enumerate(items):
            value, reference = dump(checker, mesh, out, kind, item, step)
            mode = value if value is not None else mode  # only a mode shape's dump has the mode's value
            largest, worst = 0.0, 0.0
            for node, values in enumerate(reference):
                for k, expected in enumerate(values):
                    got = array.GetComponent(node, component if item != -1 else k)
                    largest = max(largest, abs(expected))
                    worst = max(worst, abs(got - expected))
            tolerance = (1e-6 if kind in (4, 7) else 1e-8) * largest
            label = name + ("" if width == 1 or item == -1 else f"[{component}]")
            print(f"{os.path.basename(path)} {label}: largest {largest:.6g}, largest difference {worst:.3g}")
            if not worst <= tolerance:
                failures.append(f"{path}: {label} differs from the result file by {worst:.3g}")
            largest_of[name] = max(largest_of.get(name, 0.0), largest)
    # The error estimate's element values beside its node means: one per cell, none below 0.
    if "Error estimate" in names:
        cells = grid.GetCellData().GetArray("Error estimate")
        if cells is None or cells.GetNumberOfTuples() != grid.GetNumberOfCells():
            failures.append(f"{path}: no error estimate for every cell")
        elif min(cells.GetValue(c) for c in range(cells.GetNumberOfTuples())) < 0:
            failures.append(f"{path}: an error estimate below 0")
    return names, mode


def main():
    checker, mesh, stem = sys.argv[1:4]
    options = sys.argv[4:]
    expected = set(options[options.index("--expect") + 1:]) if "--expect" in options else set()
    failures = []
    largest_of = {}
    entries = grids(stem)
    for time, path, step in entries:
        names, mode = check_grid(checker, mesh, stem + ".out", path, step, failures, largest_of)
        if not expected <= names:
            failures.append(f"{path}: no {', '.join(sorted(expected - names))}")
        if "--modes" in options and (mode is None or abs(time - mode) > 1e-6 * abs(mode)):
            failures.append(f"{path}: time value {time} is not the mode's value {mode}")
        if "--step" in options:
            dt = float(options[options.index("--step") + 1])
            if abs(time - step * dt) > 1e-9 * step * dt:
                failures.append(f"{path}: time value {time} is not step {step} times {dt}")
    # A quantity that is 0 in every grid would compare nothing.
    for name in expected:
        if largest_of.get(name, 0.0) == 0:
            failures.append(f"{name} is 0 everywhere")
    print(f"{len(entries)} VTK grid(s) of {stem}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures or not entries else 0


if __name__ == "__main__":
    sys.exit(main())
