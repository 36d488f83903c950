#!/usr/bin/env python3
"""Writes the generated worst cases for the memory and time bounds.

  coincident_N.pdb   N carbon atoms at one point (every pair within bonding
                     distance), for N in the given counts
  conect.pdb         a few atoms and CONECT records up to about the given
                     size in MB (every record names the first atom and four
                     others: one atom with a huge neighbour list)
  far_apart.pdb      atoms at +-1e308 in a MOL2-free PDB is impossible, so
                     far_apart.mol2 holds them

Usage: make_worst_cases.py OUTDIR [--coincident 1000,10000,100000] [--conect-mb 100]
"""
import argparse
import os


def atom_line(serial, x, y, z, element="C"):
    return "HETATM%5d  %-3s MOL A   1    %8.3f%8.3f%8.3f  1.00  0.00          %2s\n" % (
        serial % 100000, element, x, y, z, element)


def coincident(path, n):
    with open(path, "w") as f:
        for k in range(n):
            f.write(atom_line(k + 1, 1.0, 2.0, 3.0))
        f.write("END\n")


def conect(path, megabytes, atoms=1000):
    with open(path, "w") as f:
        for k in range(atoms):
            f.write(atom_line(k + 1, 1.5 * (k % 10), 1.5 * ((k // 10) % 10), 1.5 * (k // 100)))
        size = f.tell()
        k = 0
        while size < megabytes * 1_000_000:
            others = [(k * 4 + m) % (atoms - 1) + 2 for m in range(4)]
            line = "CONECT%5d%5d%5d%5d%5d\n" % (1, *others)
            f.write(line)
            size += len(line)
            k += 1
        f.write("END\n")


def far_apart(path, n=200):
    with open(path, "w") as f:
        f.write("@<TRIPOS>MOLECULE\nfar\n%d 0 1\nSMALL\nNO_CHARGES\n\n@<TRIPOS>ATOM\n" % n)
        for k in range(n):
            v = 1e308 if k % 2 else -1e308
            f.write("%d C%d %g %g %g C.3 1 MOL 0.0\n" % (k + 1, k + 1, v, -v, v))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir")
    parser.add_argument("--coincident", default="1000,10000,100000")
    parser.add_argument("--conect-mb", type=float, default=100)
    args = parser.parse_args()
    os.makedirs(args.outdir, exist_ok=True)
    for n in [int(v) for v in args.coincident.split(",") if v]:
        coincident(os.path.join(args.outdir, "coincident_%d.pdb" % n), n)
    conect(os.path.join(args.outdir, "conect.pdb"), args.conect_mb)
    far_apart(os.path.join(args.outdir, "far_apart.mol2"))


if __name__ == "__main__":
    main()
