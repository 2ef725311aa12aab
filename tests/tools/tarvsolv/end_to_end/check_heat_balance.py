#!/usr/bin/python3
"""Reads the heat report of a flow that carries heat through several bodies (<job>.slog) and checks
it on its own: the heat in and out balance to BALANCE (a fraction), the bodies named solid are the
ones expected, and the heat through the faces shared by the pair of bodies given equals the heat
flux put into the solid within SHARE (a fraction): the solid is insulated elsewhere, so in a steady
run all of its heat crosses those faces. A missing line fails the check.

usage: check_heat_balance.py SLOG BALANCE SOLID FLUID FLUXFACE SHARE
       (SOLID, FLUID: body numbers; FLUXFACE: the face the heat flux enters by)
"""
import re
import sys

NUMBER = r"([-+]?[0-9.]+(?:[eE][-+]?[0-9]+)?)"


def last(pattern, text):
    found = re.findall(pattern, text)
    return found[-1] if found else None


def main():
    path, balance, solid, fluid, flux_face, share = sys.argv[1:7]
    balance, share = float(balance), float(share)
    text = open(path, encoding="utf-8").read()
    failures = []

    if not re.search(rf"body {solid}: solid \(conducts heat only\)", text):
        failures.append(f"the log does not name body {solid} a solid")
    if re.search(rf"body {fluid}: solid", text):
        failures.append(f"the log names the fluid body {fluid} a solid")

    closing = last(rf"heat in {NUMBER}, heat out {NUMBER}: they balance to {NUMBER}", text)
    if closing is None:
        failures.append("no closing line of the heat balance")
    else:
        heat_in, heat_out, imbalance = (float(v) for v in closing)
        print(f"heat in {heat_in:.6g}, out {heat_out:.6g}, imbalance {imbalance:.3g} (allowed {balance:g})")
        if not abs(imbalance) <= balance:
            failures.append(f"the heat balance closes to {imbalance:.3g}, beyond {balance:g}")

    flux = last(rf"heat flux on face {flux_face}: {NUMBER} in", text)
    through = last(
        rf"heat through the faces shared by body {min(solid, fluid, key=int)} and body "
        rf"{max(solid, fluid, key=int)} \(faces [^)]*\): {NUMBER}\S* from body (\d+) into body (\d+)",
        text)
    if flux is None:
        failures.append(f"no heat flux line of face {flux_face}")
    if through is None:
        failures.append(f"no line of the heat through the faces shared by bodies {solid} and {fluid}")
    if flux is not None and through is not None:
        q, (w, source, sink) = float(flux), through
        w = float(w) if (source, sink) == (solid, fluid) else -float(w)
        print(f"heat flux in {q:.6g}, through the shared faces from the solid {w:.6g} "
              f"({(w - q) / q:+.3g}, allowed {share:g})")
        if not abs(w - q) <= share * abs(q):
            failures.append(f"the heat through the shared faces {w:.6g} is not the heat put in {q:.6g}")

    if "does not balance" in text:
        failures.append("the solver flags its heat balance")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
