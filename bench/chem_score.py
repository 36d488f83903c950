#!/usr/bin/python3
"""Scores formal charges against a reference set.

    /usr/bin/python3 bench/chem_score.py TARVEX DIR [--csv devset.csv] [--peer]

DIR holds PDB files and a CSV naming them: bench/chem_devset.py's
devset.csv (per-atom charges as well as net charges) or the shared
benchmark's mols.csv (net charges only). For each file `TARVEX charge -d
-i FILE` is run; the script prints, per class and overall, the share of
molecules whose net charge is right and the share of atoms whose formal
charge is right, then the molecules that were wrong.

With --peer, Open Babel (obabel) is scored on the same files: it assigns
no charges from geometry, so its charges are derived afterwards from the
bond orders it perceives (charge = bond-order sum minus the usual valence
for N, O, S and the halogens; aromatic bonds count 1.5, rounded per atom).
"""
import argparse
import collections
import csv
import os
import subprocess
import sys


def tarvex_charges(tool, path):
    run = subprocess.run([tool, "charge", "-d", "-i", path], capture_output=True, text=True)
    charges = []
    net = None
    for line in run.stdout.splitlines():
        if line.startswith("Net charge:"):
            net = int(line.split(":")[1])
        elif line.strip():
            charges.append(int(line.split()[-1]))
    return net, charges, run.stderr.strip()


VALENCE = {"N": 3, "O": 2, "S": 2, "F": 1, "Cl": 1, "Br": 1, "I": 1, "C": 4, "P": 3}


def peer_charges(path):
    run = subprocess.run(["obabel", "-ipdb", path, "-omol2"], capture_output=True, text=True)
    atoms = []
    bonds = []
    section = None
    for line in run.stdout.splitlines():
        if line.startswith("@<TRIPOS>"):
            section = line[9:].strip()
            continue
        fields = line.split()
        if section == "ATOM" and len(fields) >= 6:
            atoms.append(fields[5].split(".")[0])
        elif section == "BOND" and len(fields) >= 4:
            order = {"1": 1.0, "2": 2.0, "3": 3.0, "ar": 1.5, "am": 1.0}.get(fields[3], 1.0)
            bonds.append((int(fields[1]) - 1, int(fields[2]) - 1, order))
    total = [0.0] * len(atoms)
    for a, b, order in bonds:
        total[a] += order
        total[b] += order
    charges = []
    for element, valence in zip(atoms, total):
        standard = VALENCE.get(element)
        if standard is None:
            charges.append(0)
            continue
        v = round(valence)
        if element == "S" and v in (4, 6):
            charges.append(0)
        elif element == "P" and v == 5:
            charges.append(0)
        elif element == "C":
            charges.append(0 if v == 4 else -1)
        else:
            charges.append(v - standard)
    return sum(charges), charges


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("tool")
    ap.add_argument("dir")
    ap.add_argument("--csv", default=None)
    ap.add_argument("--peer", action="store_true")
    ap.add_argument("--show", type=int, default=25, help="wrong molecules listed")
    args = ap.parse_args()
    table = args.csv or next(p for p in (os.path.join(args.dir, "devset.csv"), os.path.join(args.dir, "..", "mols.csv"),
                                         os.path.join(args.dir, "mols.csv")) if os.path.exists(p))
    rows = list(csv.DictReader(open(table)))
    scorers = [("tarvex", lambda p: tarvex_charges(args.tool, p)[:2])]
    if args.peer:
        scorers.append(("obabel", peer_charges))
    for label, scorer in scorers:
        per_class = collections.defaultdict(lambda: [0, 0, 0, 0])  # right nets, molecules, right atoms, atoms
        wrong = []
        for row in rows:
            path = os.path.join(args.dir, row["file"])
            if not os.path.exists(path):
                path = os.path.join(args.dir, "mols", row["file"])
            net, charges = scorer(path)
            cls = row.get("class", "all")
            stats = per_class[cls]
            stats[1] += 1
            if net == int(row["net_charge"]):
                stats[0] += 1
            else:
                wrong.append((row["file"], cls, row["smiles"], row["net_charge"], net))
            truth = row.get("atom_charges")
            if truth is not None:
                truth = [int(x) for x in truth.split()]
                stats[3] += len(truth)
                stats[2] += sum(1 for k, q in enumerate(truth) if k < len(charges) and charges[k] == q)
        print("== %s (%s)" % (label, table))
        total = [0, 0, 0, 0]
        for cls in sorted(per_class):
            s = per_class[cls]
            total = [x + y for x, y in zip(total, s)]
            atoms = " atoms %6.2f%%" % (100.0 * s[2] / s[3]) if s[3] else ""
            print("  %-26s net %4d/%-4d %6.2f%%%s" % (cls, s[0], s[1], 100.0 * s[0] / s[1], atoms))
        atoms = " atoms %d/%d %6.2f%%" % (total[2], total[3], 100.0 * total[2] / total[3]) if total[3] else ""
        print("  %-26s net %4d/%-4d %6.2f%%%s" % ("ALL", total[0], total[1], 100.0 * total[0] / total[1], atoms))
        for w in wrong[: args.show]:
            print("  wrong:", *w)
    return 0


if __name__ == "__main__":
    sys.exit(main())
