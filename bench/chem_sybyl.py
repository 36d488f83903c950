#!/usr/bin/python3
"""Compares perceived MOL2 (SYBYL) atom and bond types with curated ones.

    /usr/bin/python3 bench/chem_sybyl.py CHEM_MOL2 FILE.mol2... [--gold] [--from-pdb]

CHEM_MOL2 is the tool bench/chem_sybyl.sh builds (what `convert -c` does:
read, perceive, write MOL2). Each molecule of each file (multi-molecule
files are split) is written to a temporary file, typed again from its
elements and bonds, and the types are compared atom by atom (the element
part without regard to case: Cl and CL agree) and bond by bond. Files
whose types are not SYBYL types (Amber, GAFF) are skipped. With
--from-pdb the bonds are not taken from the file but perceived from the
coordinates, as `tarvex charge` and `convert -c` do.
"""
import collections
import os
import subprocess
import sys
import tempfile

SYBYL_ELEMENTS = {"C", "N", "O", "S", "P", "H", "F", "Cl", "Br", "I", "Na", "K", "Ca", "Mg", "Zn", "Fe",
                  "Mn", "Cu", "Co", "Li", "Al", "Si", "Se", "B", "LP", "Du"}


def split_molecules(path):
    text = open(path, errors="replace").read().replace("\r\n", "\n")
    parts = text.split("@<TRIPOS>MOLECULE")
    return ["@<TRIPOS>MOLECULE" + p for p in parts[1:]]


def sections(text):
    current = None
    atoms, bonds = [], []
    for line in text.splitlines():
        if line.startswith("@<TRIPOS>"):
            current = line[9:].strip()
            continue
        fields = line.split()
        if not fields or line.startswith("#"):
            continue
        if current == "ATOM" and len(fields) >= 6:
            atoms.append((int(fields[0]), fields[5]))
        elif current == "BOND" and len(fields) >= 4:
            bonds.append((int(fields[1]), int(fields[2]), fields[3]))
    return atoms, bonds


def normal(t):
    element, _, suffix = t.partition(".")
    return element.upper() + ("." + suffix if suffix else "")


def to_pdb(atoms_text, path):
    lines = []
    serial = 0
    for line in atoms_text.splitlines():
        f = line.split()
        serial += 1
        element = f[5].split(".")[0]
        lines.append("HETATM%5d %-4s LIG A   1    %8.3f%8.3f%8.3f  1.00  0.00          %2s\n" %
                     (serial, element[:4], float(f[2]), float(f[3]), float(f[4]), element.upper()))
    open(path, "w").write("".join(lines) + "END\n")


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    gold = "--gold" in sys.argv
    from_pdb = "--from-pdb" in sys.argv
    tool, files = args[0], args[1:]
    atom_total = atom_right = bond_total = bond_right = 0
    confusion = collections.Counter()
    bond_confusion = collections.Counter()
    with tempfile.TemporaryDirectory() as tmp:
        for path in files:
            for k, molecule in enumerate(split_molecules(path)):
                atoms, bonds = sections(molecule)
                if not atoms or any(t.split(".")[0] not in SYBYL_ELEMENTS for _, t in atoms):
                    continue
                source = os.path.join(tmp, "in.mol2")
                open(source, "w").write(molecule)
                if from_pdb:
                    atom_lines = molecule.split("@<TRIPOS>ATOM")[1].split("@<TRIPOS>")[0].strip()
                    source = os.path.join(tmp, "in.pdb")
                    to_pdb(atom_lines, source)
                out = os.path.join(tmp, "out.mol2")
                run = subprocess.run([tool, source, out] + (["gold"] if gold else []), capture_output=True, text=True)
                if run.returncode != 0:
                    print("failed:", path, k, run.stderr.strip())
                    continue
                mine_atoms, mine_bonds = sections(open(out).read())
                for (_, ref), (_, got) in zip(atoms, mine_atoms):
                    atom_total += 1
                    if normal(ref) == normal(got):
                        atom_right += 1
                    else:
                        confusion[(normal(ref), normal(got))] += 1
                if not from_pdb:
                    ids = [a for a, _ in atoms]
                    position = {a: i + 1 for i, a in enumerate(ids)}
                    mine = {(min(a, b), max(a, b)): t for a, b, t in mine_bonds}
                    for a, b, t in bonds:
                        key = (min(position.get(a, 0), position.get(b, 0)), max(position.get(a, 0), position.get(b, 0)))
                        got = mine.get(key, "?")
                        bond_total += 1
                        if got == t:
                            bond_right += 1
                        else:
                            bond_confusion[(t, got)] += 1
    print("atoms: %d/%d agree (%.2f%%)" % (atom_right, atom_total, 100.0 * atom_right / max(atom_total, 1)))
    for (ref, got), n in confusion.most_common(15):
        print("   %-7s -> %-7s %d" % (ref, got, n))
    if bond_total:
        print("bonds: %d/%d agree (%.2f%%)" % (bond_right, bond_total, 100.0 * bond_right / bond_total))
        for (ref, got), n in bond_confusion.most_common(10):
            print("   %-4s -> %-4s %d" % (ref, got, n))


if __name__ == "__main__":
    main()
