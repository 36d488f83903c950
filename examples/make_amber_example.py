#!/usr/bin/python3
"""Writes the small Amber system of the examples from residues 1 to 10 of
PDB entry 1DRF (1DRF.pdb beside this script, heavy atoms only):

  dhfr10.top   an Amber topology in the flagged layout: POINTERS, ATOM_NAME,
               CHARGE, ATOMIC_NUMBER, MASS, RESIDUE_LABEL and
               RESIDUE_POINTER (zero charges, no force-field parameters: the
               sections that name the atoms and residues, not a system to
               simulate)
  dhfr10.crd   an Amber trajectory of 20 frames, 10 numbers of 8 characters
               a line, no box
  dhfr10.rst7  an Amber restart holding the first frame

The frames are synthetic, not a simulation: every atom swings about its
crystal position on a line of its own, 0.25 angstrom at the most, one period
over the 20 frames, with a direction and phase drawn from a fixed-seed
generator, so the files are the same at every run.

Usage: make_amber_example.py   (writes the three files beside itself)
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
LAST_RESIDUE = 10
FRAMES = 20
AMPLITUDE = 0.25

MASSES = {"C": (6, 12.01), "N": (7, 14.01), "O": (8, 16.00), "S": (16, 32.06)}


def read_atoms():
    atoms = []
    with open(os.path.join(HERE, "1DRF.pdb")) as pdb:
        for line in pdb:
            if line.startswith("ATOM") and int(line[22:26]) <= LAST_RESIDUE:
                atoms.append({"name": line[12:16].strip(), "residue": line[17:20], "number": int(line[22:26]),
                              "element": line[76:78].strip(),
                              "xyz": [float(line[30:38]), float(line[38:46]), float(line[46:54])]})
    return atoms


def lcg(seed):
    """A fixed-seed generator of numbers in [0, 1), the same on every Python."""
    state = seed
    while True:
        state = (state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
        yield (state >> 11) / float(1 << 53)


def columns(values, per_line, width_format):
    lines = []
    for start in range(0, len(values), per_line):
        lines.append("".join(width_format % v for v in values[start:start + per_line]))
    return "\n".join(lines) + "\n" if lines else "\n"


def section(flag, fmt, text):
    return "%%FLAG %s\n%%FORMAT(%s)\n%s" % (flag, fmt, text)


def write_topology(atoms, path):
    residues = []
    for k, atom in enumerate(atoms):
        if not residues or residues[-1][1] != atom["number"]:
            residues.append((atom["residue"], atom["number"], k + 1))
    pointers = [0] * 31
    pointers[0] = len(atoms)
    pointers[11] = len(residues)
    with open(path, "w") as out:
        out.write("%VERSION  VERSION_STAMP = V0001.000  DATE = 12/07/26  00:00:00\n")
        out.write(section("TITLE", "20a4", "DHFR residues 1-10 (PDB 1DRF), tarvex example\n"))
        out.write(section("POINTERS", "10I8", columns(pointers, 10, "%8d")))
        out.write(section("ATOM_NAME", "20a4", columns([a["name"] for a in atoms], 20, "%-4s")))
        out.write(section("CHARGE", "5E16.8", columns([0.0] * len(atoms), 5, "%16.8E")))
        out.write(section("ATOMIC_NUMBER", "10I8", columns([MASSES[a["element"]][0] for a in atoms], 10, "%8d")))
        out.write(section("MASS", "5E16.8", columns([MASSES[a["element"]][1] for a in atoms], 5, "%16.8E")))
        out.write(section("RESIDUE_LABEL", "20a4", columns([r[0] for r in residues], 20, "%-4s")))
        out.write(section("RESIDUE_POINTER", "10I8", columns([r[2] for r in residues], 10, "%8d")))


def frames(atoms):
    numbers = lcg(7)
    swings = []
    for _ in atoms:
        z, phi = 2.0 * next(numbers) - 1.0, 2.0 * math.pi * next(numbers)
        r = math.sqrt(1.0 - z * z)
        swings.append(([r * math.cos(phi), r * math.sin(phi), z], 2.0 * math.pi * next(numbers)))
    for k in range(FRAMES):
        frame = []
        for atom, (direction, phase) in zip(atoms, swings):
            shift = AMPLITUDE * math.sin(2.0 * math.pi * k / FRAMES + phase)
            frame.extend(atom["xyz"][i] + shift * direction[i] for i in range(3))
        yield frame


def main():
    atoms = read_atoms()
    write_topology(atoms, os.path.join(HERE, "dhfr10.top"))
    all_frames = list(frames(atoms))
    with open(os.path.join(HERE, "dhfr10.crd"), "w") as crd:
        crd.write("DHFR residues 1-10 (PDB 1DRF), synthetic frames, tarvex example\n")
        for frame in all_frames:
            crd.write(columns(frame, 10, "%8.3f"))
    with open(os.path.join(HERE, "dhfr10.rst7"), "w") as rst:
        rst.write("DHFR residues 1-10 (PDB 1DRF), first frame, tarvex example\n")
        rst.write("%6d\n" % len(atoms))
        rst.write(columns(all_frames[0], 6, "%12.7f"))


if __name__ == "__main__":
    main()
