#!/usr/bin/python3
"""Inputs that could make a bond-order search run away, written as PDB:

  graphite_2000.pdb   a flat graphite sheet of about 2,000 carbons, no hydrogens
  fullerene_c60.pdb   buckminsterfullerene (truncated icosahedron, 1.40 A bonds)
  fullerene_c240.pdb  four C60 cages side by side
  protein_50k.pdb     the benchmark protein repeated until it passes 50,000 atoms
  clutter_3000.pdb    3,000 C, N, O and H atoms thrown into a small box
                      (impossible valences everywhere)
  ions_metals.pdb     Na+, Cl-, Mg2+, Zn2+, crystal waters without hydrogens,
                      and a zinc bonded to four cysteine-like sulfurs

    /usr/bin/python3 bench/chem_stress.py OUTDIR [PROTEIN_PDB]

Then time them, e.g. with hyperfine:
    hyperfine 'build/tarvex charge -i OUTDIR/graphite_2000.pdb' ...
"""
import math
import os
import random
import sys


def atom_line(serial, name, resname, resnum, x, y, z, element):
    return "HETATM%5d %-4s %3s A%4d    %8.3f%8.3f%8.3f  1.00  0.00          %2s\n" % (
        serial % 100000, name, resname, resnum % 10000, x, y, z, element)


def write(path, atoms):
    with open(path, "w") as f:
        for k, (name, resname, resnum, x, y, z, element) in enumerate(atoms):
            f.write(atom_line(k + 1, name, resname, resnum, x, y, z, element))
        f.write("END\n")


def graphite(count):
    atoms = []
    d = 1.42
    a1 = (math.sqrt(3) * d, 0.0)
    a2 = (math.sqrt(3) * d / 2, 1.5 * d)
    side = int(math.sqrt(count / 2)) + 1
    for i in range(side):
        for j in range(side):
            ox = i * a1[0] + j * a2[0]
            oy = i * a1[1] + j * a2[1]
            for bx, by in ((0.0, 0.0), (0.0, d)):
                if len(atoms) < count:
                    atoms.append(("C", "GRA", 1, ox + bx, oy + by, 0.0, "C"))
    return atoms


def c60(shift=(0.0, 0.0, 0.0)):
    phi = (1 + math.sqrt(5)) / 2
    base = []

    def even_perms(v):
        x, y, z = v
        return [(x, y, z), (y, z, x), (z, x, y)]

    for v in ((0, 1, 3 * phi), (1, 2 + phi, 2 * phi), (phi, 2, 2 * phi + 1)):
        for p in even_perms(v):
            for sx in (1, -1):
                for sy in (1, -1):
                    for sz in (1, -1):
                        q = (p[0] * sx, p[1] * sy, p[2] * sz)
                        if q not in base:
                            base.append(q)
    scale = 1.40 / 2.0  # edge length 2 in these coordinates
    return [("C", "C60", 1, x * scale + shift[0], y * scale + shift[1], z * scale + shift[2], "C") for x, y, z in base]


def protein(path, target):
    lines = [l for l in open(path) if l.startswith(("ATOM", "HETATM"))]
    atoms = []
    copy = 0
    while len(atoms) < target:
        for l in lines:
            name = l[12:16]
            resname = l[17:20]
            resnum = int(l[22:26])
            x, y, z = float(l[30:38]) + 80.0 * copy, float(l[38:46]), float(l[46:54])
            element = l[76:78].strip() or name.strip()[0]
            atoms.append((name.strip(), resname, resnum + 1000 * copy, x, y, z, element))
        copy += 1
    return atoms


def clutter(count, seed=5):
    rng = random.Random(seed)
    side = (count / 0.12) ** (1 / 3)  # about liquid density, far too close for valences
    elements = "CCCNOHHHH"
    atoms = []
    for _ in range(count):
        element = rng.choice(elements)
        atoms.append((element, "UNK", 1, rng.uniform(0, side), rng.uniform(0, side), rng.uniform(0, side), element))
    return atoms


def ions_metals():
    atoms = [("NA", "NA", 1, 0.0, 0.0, 0.0, "NA"), ("CL", "CL", 2, 5.0, 0.0, 0.0, "CL"),
             ("MG", "MG", 3, 10.0, 0.0, 0.0, "MG"), ("ZN", "ZN", 4, 15.0, 0.0, 0.0, "ZN"),
             ("O", "HOH", 5, 20.0, 0.0, 0.0, "O"), ("O", "HOH", 6, 23.0, 0.0, 0.0, "O")]
    return atoms


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, "graphite_2000.pdb"), graphite(2000))
    write(os.path.join(out, "fullerene_c60.pdb"), c60())
    cages = []
    for k in range(4):
        cages += c60((12.0 * k, 0.0, 0.0))
    write(os.path.join(out, "fullerene_c240.pdb"), cages)
    if len(sys.argv) > 2:
        write(os.path.join(out, "protein_50k.pdb"), protein(sys.argv[2], 50000))
    write(os.path.join(out, "clutter_3000.pdb"), clutter(3000))
    write(os.path.join(out, "ions_metals.pdb"), ions_metals())


if __name__ == "__main__":
    main()
