#!/usr/bin/env python3
"""Compares the SYBYL atom and bond types of two MOL2 files of the same
atoms in the same order (tarvex convert -c and obabel -omol2 of one PDB
file): agreement on heavy atoms and on all atoms, and where they differ, by
residue, atom name and the two types. Usage: convert_sybyl_obabel.py ours.mol2 theirs.mol2"""
import collections
import sys


def read(path):
    atoms, bonds, section = [], {}, None
    for line in open(path):
        if line.startswith("@<TRIPOS>"):
            section = line.strip()
            continue
        w = line.split()
        if section == "@<TRIPOS>ATOM" and len(w) >= 6:
            atoms.append((w[1], w[5], w[7] if len(w) > 7 else ""))
        elif section == "@<TRIPOS>BOND" and len(w) >= 4:
            bonds[tuple(sorted((int(w[1]), int(w[2]))))] = w[3]
    return atoms, bonds


ours, our_bonds = read(sys.argv[1])
theirs, their_bonds = read(sys.argv[2])
if len(ours) != len(theirs):
    sys.exit("different atom counts: %d and %d" % (len(ours), len(theirs)))
heavy = [(a, b) for a, b in zip(ours, theirs) if not b[1].startswith("H")]
same = sum(a[1] == b[1] for a, b in heavy)
print("   SYBYL atom types: %d of %d heavy atoms agree (%.1f%%), %d of %d atoms"
      % (same, len(heavy), 100.0 * same / len(heavy), sum(a[1] == b[1] for a, b in zip(ours, theirs)), len(ours)))
for (residue, name, mine, other), count in collections.Counter(
        (a[2][:3], a[0], a[1], b[1]) for a, b in heavy if a[1] != b[1]).most_common(15):
    print("     %4d x %s %s: tarvex %s, Open Babel %s" % (count, residue, name, mine, other))
shared = [k for k in our_bonds if k in their_bonds]
print("   bonds: %d here, %d there, %d shared; bond types agree on %d"
      % (len(our_bonds), len(their_bonds), len(shared), sum(our_bonds[k] == their_bonds[k] for k in shared)))
for (residue, mine, other), count in collections.Counter(
        (ours[k[0] - 1][2][:3], our_bonds[k], their_bonds[k]) for k in shared
        if our_bonds[k] != their_bonds[k]).most_common(10):
    print("     %4d x %s bond: tarvex %s, Open Babel %s" % (count, residue, mine, other))
