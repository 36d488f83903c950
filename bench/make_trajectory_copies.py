#!/usr/bin/python3
"""The benchmark trajectory in the two other forms getdun reads: an Amber
NetCDF file written by MDTraj (AMBER convention, float coordinates, a box per
frame) and a gzip copy of the CRD text.

Usage: make_trajectory_copies.py topology.pdb trajectory.crd out_dir
"""
import gzip
import os
import shutil
import sys

import mdtraj as md


def main():
    topology, trajectory, out_dir = sys.argv[1:4]
    stem = os.path.join(out_dir, os.path.splitext(os.path.basename(trajectory))[0])
    if not os.path.exists(stem + ".nc"):
        md.load_mdcrd(trajectory, top=topology).save_netcdf(stem + ".nc")
    if not os.path.exists(stem + ".crd.gz"):
        with open(trajectory, "rb") as source, gzip.open(stem + ".crd.gz", "wb", compresslevel=6) as target:
            shutil.copyfileobj(source, target, 1 << 20)


if __name__ == "__main__":
    main()
