#!/usr/bin/python3
"""Writes tyr.prep, the Amber PREP template of the examples: tyrosine 33 of
PDB entry 1DRF (1DRF.pdb beside this script) with hydrogens placed by
geometry, in the atom order, names and tree of Amber's TYR residue, and
zero charges (the template is an example of the format, not a force field).

The three dummy atoms stand where the backbone of the residue before
(N, CA and C of residue 32) stands, as Amber templates do; every atom's
bond length, angle and dihedral are measured on the 1DRF coordinates.

Usage: make_tyr_prep.py > tyr.prep
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def sub(a, b): return [a[i] - b[i] for i in range(3)]
def add(a, b): return [a[i] + b[i] for i in range(3)]
def scale(a, f): return [x * f for x in a]
def dot(a, b): return sum(a[i] * b[i] for i in range(3))
def cross(a, b): return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]
def norm(a): return math.sqrt(dot(a, a))
def unit(a): return scale(a, 1.0 / norm(a))


def angle(a, b, c):
    u, v = sub(a, b), sub(c, b)
    return math.degrees(math.acos(max(-1.0, min(1.0, dot(u, v) / (norm(u) * norm(v))))))


def dihedral(a, b, c, d):
    b0, b1, b2 = sub(a, b), sub(c, b), sub(d, c)
    n1, n2 = cross(b0, b1), cross(scale(b1, -1), b2)
    x = dot(n1, n2)
    y = dot(cross(n1, n2), unit(b1))
    return round(math.degrees(math.atan2(y, x)), 3) % 360.0


def place(a, b, c, length, theta, phi):
    """The point at `length` from a, angle theta with b, dihedral phi with c."""
    bc, ab = unit(sub(b, c)), unit(sub(a, b))
    n = unit(cross(sub(b, c), ab))
    m = cross(n, ab)
    t, p = math.radians(theta), math.radians(phi)
    d = [-length * math.cos(t), length * math.sin(t) * math.cos(p), length * math.sin(t) * math.sin(p)]
    return add(a, add(scale(ab, d[0]), add(scale(m, d[1]), scale(n, d[2]))))


def read_residues():
    atoms = {}
    for line in open(os.path.join(HERE, "1DRF.pdb")):
        if line.startswith("ATOM") and int(line[22:26]) in (32, 33):
            key = (int(line[22:26]), line[12:16].strip())
            atoms[key] = [float(line[30:38]), float(line[38:46]), float(line[46:54])]
    return atoms


def hydrogens(p, before):
    """Hydrogen positions from the heavy atoms: trigonal, tetrahedral, ring."""
    h = {}
    h["H"] = add(p["N"], scale(unit(add(unit(sub(p["N"], p["CA"])), unit(sub(p["N"], before)))), 1.01))
    h["HA"] = add(p["CA"], scale(unit(add(add(unit(sub(p["CA"], p["N"])), unit(sub(p["CA"], p["C"]))),
                                          unit(sub(p["CA"], p["CB"])))), 1.09))
    u = unit(add(unit(sub(p["CB"], p["CA"])), unit(sub(p["CB"], p["CG"]))))
    w = unit(cross(sub(p["CA"], p["CB"]), sub(p["CG"], p["CB"])))
    half = math.radians(109.5 / 2)
    h["HB2"] = add(p["CB"], scale(add(scale(u, math.cos(half)), scale(w, math.sin(half))), 1.09))
    h["HB3"] = add(p["CB"], scale(add(scale(u, math.cos(half)), scale(w, -math.sin(half))), 1.09))
    for name, atom, a, b in (("HD1", "CD1", "CG", "CE1"), ("HE1", "CE1", "CD1", "CZ"),
                             ("HE2", "CE2", "CZ", "CD2"), ("HD2", "CD2", "CE2", "CG")):
        h[name] = add(p[atom], scale(unit(add(unit(sub(p[atom], p[a])), unit(sub(p[atom], p[b])))), 1.08))
    h["HH"] = place(p["OH"], p["CZ"], p["CE1"], 0.96, 113.0, 0.0)
    return h


# Amber's TYR: name, type, tree type, the atom it hangs from.
TREE = [
    ("N", "N", "M", "D3"), ("H", "H", "E", "N"), ("CA", "CT", "M", "N"), ("HA", "H1", "E", "CA"),
    ("CB", "CT", "3", "CA"), ("HB2", "HC", "E", "CB"), ("HB3", "HC", "E", "CB"), ("CG", "CA", "S", "CB"),
    ("CD1", "CA", "B", "CG"), ("HD1", "HA", "E", "CD1"), ("CE1", "CA", "B", "CD1"), ("HE1", "HA", "E", "CE1"),
    ("CZ", "C", "B", "CE1"), ("OH", "OH", "S", "CZ"), ("HH", "HO", "E", "OH"), ("CE2", "CA", "B", "CZ"),
    ("HE2", "HA", "E", "CE2"), ("CD2", "CA", "S", "CE2"), ("HD2", "HA", "E", "CD2"), ("C", "C", "M", "CA"),
    ("O", "O", "E", "C"),
]


def main():
    atoms = read_residues()
    p = {name: xyz for (residue, name), xyz in atoms.items() if residue == 33}
    p.update(hydrogens(p, atoms[(32, "C")]))
    p["D1"], p["D2"], p["D3"] = atoms[(32, "N")], atoms[(32, "CA")], atoms[(32, "C")]
    parent = {"D1": None, "D2": "D1", "D3": "D2"}
    parent.update({name: up for name, _, _, up in TREE})
    number = {"D1": 1, "D2": 2, "D3": 3}
    print("    0    0    2\n")
    print("TYROSINE: residue 33 of PDB entry 1DRF, hydrogens placed by geometry")
    print("tyr.res")
    print(" TYR  INT  0")
    print(" CORRECT     OMIT DU   BEG")
    print("   0.0000")
    print("   1  DUMM  DU    M    0  -1  -2     0.000     0.000     0.000   0.00000")
    print("   2  DUMM  DU    M    1   0  -1 %9.3f     0.000     0.000   0.00000" % norm(sub(p["D2"], p["D1"])))
    print("   3  DUMM  DU    M    2   1   0 %9.3f %9.3f     0.000   0.00000"
          % (norm(sub(p["D3"], p["D2"])), angle(p["D3"], p["D2"], p["D1"])))
    for k, (name, kind, tree, up) in enumerate(TREE, start=4):
        number[name] = k
        a = up
        b = parent[a]
        c = parent[b]
        print("%4d  %-4s  %-4s  %s %4d %3d %3d %9.3f %9.3f %9.3f   0.00000"
              % (k, name, kind, tree, number[a], number[b], number[c], norm(sub(p[name], p[a])),
                 angle(p[name], p[a], p[b]), dihedral(p[name], p[a], p[b], p[c])))
    print("\nLOOP\n CG   CD2\n\nDONE\nSTOP")


if __name__ == "__main__":
    main()
