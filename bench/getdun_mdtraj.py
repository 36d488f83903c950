#!/usr/bin/python3
"""The getdun benchmark's work done with MDTraj: load the topology and the
whole Amber ASCII (or NetCDF) trajectory, measure two distances, an angle and a dihedral
in every frame, and write the table as getdun does.

Usage: getdun_mdtraj.py topology.pdb trajectory.crd|trajectory.nc output.txt
"""
import sys

import mdtraj as md
import numpy as np

# The atoms of the getdun command line, 0-based.
DISTANCES = [[140, 3251], [1989, 24998]]
ANGLES = [[799, 801, 812]]
DIHEDRALS = [[797, 799, 801, 812]]


def main():
    topology, trajectory, output = sys.argv[1:4]
    load = md.load_netcdf if trajectory.endswith(".nc") else md.load_mdcrd
    traj = load(trajectory, top=topology)
    columns = np.column_stack([
        md.compute_distances(traj, DISTANCES, periodic=False) * 10.0,  # nm -> angstrom
        np.degrees(md.compute_angles(traj, ANGLES, periodic=False)),
        np.degrees(md.compute_dihedrals(traj, DIHEDRALS, periodic=False)),
    ])
    np.savetxt(output, columns, fmt="%9.4f", delimiter=" ")


if __name__ == "__main__":
    main()
