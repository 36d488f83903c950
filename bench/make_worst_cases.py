#!/usr/bin/env python3
"""Writes the generated worst cases for the memory and time bounds.

  coincident_N.pdb   N carbon atoms at one point (every pair within bonding
                     distance), for N in the given counts
  conect.pdb         a few atoms and CONECT records up to about the given
                     size in MB (every record names the first atom and four
                     others: one atom with a huge neighbour list)
  far_apart.mol2     atoms at +-3e38, the largest coordinates a molecule
                     file can hold (a PDB cannot hold them at all)
  two_clusters.mol2  two lattices of 50,000 atoms each, a million angstrom
                     apart (the empty stretch between them must not widen
                     the neighbour grid's cells)

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
            v = 3e38 if k % 2 else -3e38
            f.write("%d C%d %g %g %g C.3 1 MOL 0.0\n" % (k + 1, k + 1, v, -v, v))


def two_clusters(path, n=50_000):
    side = round(n ** (1 / 3)) + 1
    with open(path, "w") as f:
        f.write("@<TRIPOS>MOLECULE\nclusters\n%d 0 1\nSMALL\nNO_CHARGES\n\n@<TRIPOS>ATOM\n" % (2 * n))
        for k in range(2 * n):
            i = k // 2
            shift = 1e6 if k % 2 else 0.0
            x, y, z = 3.0 * (i % side), 3.0 * ((i // side) % side), 3.0 * (i // side // side)
            f.write("%d C%d %.3f %.3f %.3f C.3 1 MOL 0.0\n" % (k + 1, k + 1, x + shift, y - shift, z))


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
    two_clusters(os.path.join(args.outdir, "two_clusters.mol2"))


if __name__ == "__main__":
    main()
