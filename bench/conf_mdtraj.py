#!/usr/bin/python3
"""conf's work done with MDTraj: load a topology and a whole Amber ASCII
trajectory, compute phi and psi (compute_phi, compute_psi), and write for
every frame one row of phi and psi pairs, for the residues that have both,
as `tarvex conf -w -n` does.

Usage: conf_mdtraj.py topology trajectory output.txt [--box] [--float64]
The topology is any file MDTraj reads (PDB, prmtop); --box when the
trajectory has a box line after every frame. MDTraj computes the dihedrals
in single precision, which moves some angles by up to about 0.01 degree;
--float64 computes the same dihedrals (MDTraj's atoms) in double precision
with numpy, from the coordinates of the trajectory's text: near-linear
backbone angles (noisy frames) make a dihedral sensitive to the rounding of
the coordinates to single precision.
"""
import sys

import mdtraj as md
import numpy as np


def read_text_coordinates(path, atoms, box):
    """The frames of an Amber ASCII trajectory in double precision."""
    with open(path) as f:
        f.readline()
        numbers = np.array(f.read().split(), dtype=np.float64)
    per_frame = 3 * atoms + (3 if box else 0)
    frames = numbers[: numbers.size // per_frame * per_frame].reshape(-1, per_frame)
    return frames[:, : 3 * atoms].reshape(-1, atoms, 3)


def dihedrals64(xyz, quadruples):
    """Dihedrals in radians, IUPAC sign, per frame and quadruple."""
    p = [xyz[:, quadruples[:, k]] for k in range(4)]
    b0, b1, b2 = p[0] - p[1], p[2] - p[1], p[3] - p[2]
    n1, n2 = np.cross(b0, b1), np.cross(-b1, b2)
    x = np.einsum("fij,fij->fi", n1, n2)
    y = np.einsum("fij,fij->fi", np.cross(n1, n2), b1 / np.linalg.norm(b1, axis=2, keepdims=True))
    return np.arctan2(y, x)


def main():
    topology, trajectory, output = sys.argv[1:4]
    box = "--box" in sys.argv[4:]
    top = md.load_topology(topology)
    traj = md.load_mdcrd(trajectory, top=top) if not box else md.Trajectory(
        md.formats.MDCRDTrajectoryFile(trajectory, top.n_atoms, has_box=True).read()[0] / 10.0, top)
    phi_atoms, phi = md.compute_phi(traj, periodic=False)
    psi_atoms, psi = md.compute_psi(traj, periodic=False)
    if "--float64" in sys.argv[4:]:
        xyz = read_text_coordinates(trajectory, top.n_atoms, box)
        phi, psi = dihedrals64(xyz, phi_atoms), dihedrals64(xyz, psi_atoms)
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
