#!/usr/bin/python3
"""The peer of `tarvex getsolv -b N -r R`: MDAnalysis reads the PDB file,
selects the waters within R angstrom of one residue (whole residues) and
writes them with the solute. Usage: pdb_shell_mdanalysis.py in.pdb resindex
radius out.pdb. Prints the number of waters written."""
import sys
import warnings

warnings.filterwarnings("ignore")
import MDAnalysis as mda  # noqa: E402

source, resindex, radius, target = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
universe = mda.Universe(source)
shell = universe.select_atoms("byres (resname WAT and around %g resindex %d)" % (radius, resindex))
(universe.select_atoms("not resname WAT") | shell).write(target)
print(len(shell.residues))
