#!/usr/bin/python3
"""conf's work done with MDTraj: load a topology and a whole Amber ASCII
trajectory, compute phi and psi (compute_phi, compute_psi), and write for
every frame one row of phi and psi pairs, for the residues that have both,
as `tarvex conf -w -n` does.

Usage: conf_mdtraj.py topology trajectory output.txt [--box]
The topology is any file MDTraj reads (PDB, prmtop); --box when the
trajectory has a box line after every frame.
"""
import sys

import mdtraj as md
import numpy as np


def main():
    topology, trajectory, output = sys.argv[1:4]
    box = "--box" in sys.argv[4:]
    top = md.load_topology(topology)
    traj = md.load_mdcrd(trajectory, top=top) if not box else md.Trajectory(
        md.formats.MDCRDTrajectoryFile(trajectory, top.n_atoms, has_box=True).read()[0] / 10.0, top)
    phi_atoms, phi = md.compute_phi(traj, periodic=False)
    psi_atoms, psi = md.compute_psi(traj, periodic=False)
    # phi of residue i is C(i-1) N(i) CA(i) C(i); psi is N(i) CA(i) C(i) N(i+1).
    phi_of = {top.atom(row[1]).residue.index: k for k, row in enumerate(phi_atoms)}
    psi_of = {top.atom(row[0]).residue.index: k for k, row in enumerate(psi_atoms)}
    residues = sorted(set(phi_of) & set(psi_of))
    columns = []
    for r in residues:
        columns.append(np.degrees(phi[:, phi_of[r]]))
        columns.append(np.degrees(psi[:, psi_of[r]]))
    table = np.column_stack(columns) if columns else np.zeros((traj.n_frames, 0))
    np.savetxt(output, table, fmt="%10.4f", delimiter=" ")


if __name__ == "__main__":
    main()
