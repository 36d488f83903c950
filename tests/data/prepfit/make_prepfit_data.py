#!/usr/bin/python3
"""Writes the prepfit test files of this folder (see README).

Templates (PREP, zero charges, element symbols as atom types, three dummy
atoms placed near the first atom, every atom's bond length, angle and
dihedral measured on the coordinates it comes from):
  amino.prep   SER, TRP, ALA and ASP of PDB entry 1B2T (an NMR entry, every
               hydrogen placed), their PDB names in today's spelling (HB2, not
               1HB)
  cgly.prep    the C-terminal GLY 76 of 1B2T, with OXT
  gua.prep     9-methylguanine (residue GUA), RDKit ETKDG coordinates
  lig.prep     ibuprofen (residue LIG), RDKit ETKDG coordinates
Targets (PDB):
  ser_trp_shuffled.pdb   SER 59 and TRP 57 of 1DRF, heavy atoms in a shuffled
                         order
  guanine_shuffled.pdb   the guanine's heavy atoms, shuffled
  ligand_10_orders.pdb   ibuprofen with its hydrogens ten times, each copy in
                         another order and 12 angstrom further along x
  ala_stretched_cb.pdb   ALA 9 of 1DRF, CB moved out along CA-CB to 1.77
  asp_c_terminal.pdb     ASP 186 of 1DRF, the last residue, with OXT
  gly_c_terminal.pdb     GLY 76 of 1B2T without hydrogens, with OXT
  ser_alternates.pdb     SER 24 of 4LZT: CB and OG in two alternate locations

Usage: make_prepfit_data.py (run with the Python that has RDKit; reads
../../../examples/1DRF.pdb and ../../../../shared/corpus/pdb).
"""
import math
import os
import random
import sys

from rdkit import Chem
from rdkit.Chem import AllChem

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "..", "..", "examples")
CORPUS = os.path.join(HERE, "..", "..", "..", "..", "shared", "corpus", "pdb")

sys.path.insert(0, EXAMPLES)
# The vector helpers of the example template's script.
from make_tyr_prep import add, angle, cross, dot, norm, scale, sub, unit  # noqa: E402


def dihedral(a, b, c, d):
    """In degrees, 0 to 360, unrounded."""
    b0, b1, b2 = sub(a, b), sub(c, b), sub(d, c)
    n1, n2 = cross(b0, b1), cross(scale(b1, -1), b2)
    return math.degrees(math.atan2(dot(cross(n1, n2), unit(b1)), dot(n1, n2))) % 360.0


def bonded(a, b):
    """Bonded by distance: hydrogens within 1.25, heavy atoms within 1.9."""
    limit = 1.25 if "H" in (a[1], b[1]) else 1.9
    return norm(sub(a[2], b[2])) < limit


def prep_residue(title, name, atoms):
    """The PREP lines of one residue; atoms are (name, element, xyz) in
    template order, each bonded to an earlier one except the first."""
    first = atoms[0][2]
    d3 = add(first, [-1.0, -0.6, -0.9])
    d2 = add(d3, [-1.3, 0.4, 0.2])
    d1 = add(d2, [-0.2, 1.4, -0.3])
    points = [d1, d2, d3] + [xyz for _, _, xyz in atoms]
    parent = {0: None, 1: 0, 2: 1, 3: 2}
    for i in range(1, len(atoms)):
        earlier = [j for j in range(i) if bonded(atoms[i], atoms[j])]
        assert earlier, "%s %s hangs from no earlier atom" % (name, atoms[i][0])
        parent[i + 3] = min(earlier, key=lambda j: norm(sub(atoms[i][2], atoms[j][2]))) + 3
    lines = [title, "%s.res" % name.lower(), " %-4s INT  0" % name, " CORRECT     OMIT DU   BEG", "   0.0000"]
    lines.append("   1  DUMM  DU    M    0  -1  -2     0.000     0.000     0.000   0.00000")
    lines.append("   2  DUMM  DU    M    1   0  -1 %9.3f     0.000     0.000   0.00000" % norm(sub(d2, d1)))
    lines.append("   3  DUMM  DU    M    2   1   0 %9.3f %9.3f     0.000   0.00000"
                 % (norm(sub(d3, d2)), angle(d3, d2, d1)))
    for k, (atom, element, xyz) in enumerate(atoms, start=3):
        a = parent[k]
        b = parent[a]
        c = parent[b]
        lines.append("%4d  %-4s  %-4s  M %4d %3d %3d %9.3f %9.3f %9.3f   0.00000"
                     % (k + 1, atom, element, a + 1, b + 1, c + 1, norm(sub(xyz, points[a])),
                        angle(xyz, points[a], points[b]), dihedral(xyz, points[a], points[b], points[c])))
    return lines + ["", "DONE"]


def write_prep(path, residues):
    lines = ["    0    0    2", ""]
    for residue in residues:
        lines += prep_residue(*residue)
    open(os.path.join(HERE, path), "w").write("\n".join(lines + ["STOP", ""]))


def write_pdb(path, remark, residues):
    """residues: (residue name, number, atoms as (name, element, xyz))."""
    lines = ["REMARK   " + remark]
    serial = 0
    for residue, number, atoms in residues:
        for atom, element, xyz in atoms:
            serial += 1
            field = atom if len(atom) == 4 or len(element) == 2 else " " + atom
            lines.append("ATOM  %5d %-4s %-3s A%4d    %8.3f%8.3f%8.3f  1.00  0.00          %2s  "
                         % (serial, field, residue, number, xyz[0], xyz[1], xyz[2], element))
    open(os.path.join(HERE, path), "w").write("\n".join(lines + ["END", ""]))


def read_pdb(path, number, residue=None):
    atoms = []
    for line in open(path):
        if line.startswith("ATOM") and int(line[22:26]) == number and (residue is None or line[17:20] == residue):
            atoms.append((line[12:16].strip(), line[76:78].strip(), [float(line[c:c + 8]) for c in (30, 38, 46)],
                          line[16]))
    return atoms


def todays_name(name):
    """The PDB's older hydrogen names in today's spelling: 1HB is HB2,
    2HB HB3 (a methylene's two); a methyl's 1HB, 2HB, 3HB are HB1-HB3."""
    return name[1:] + str(int(name[0]) + 1) if name[0].isdigit() else name


def from_1b2t(number, residue, methyl=False):
    atoms = read_pdb(os.path.join(CORPUS, "1b2t.pdb"), number, residue)
    rename = (lambda n: n[1:] + n[0] if n[0].isdigit() else n) if methyl else todays_name
    return [(rename(a), e, xyz) for a, e, xyz, _ in atoms]


def in_template_order(atoms, order):
    by_name = {a[0]: a for a in atoms}
    return [by_name[name] for name in order]


def rdkit_molecule(smiles, names, seed, hydrogen_names):
    """The molecule with its hydrogens; heavy atoms take `names` in SMILES
    order, hydrogens the names `hydrogen_names` gives them (atom, the heavy
    atom's name, its count of hydrogens, this one's number among them)."""
    mol = Chem.AddHs(Chem.MolFromSmiles(smiles))
    AllChem.EmbedMolecule(mol, randomSeed=seed)
    AllChem.MMFFOptimizeMolecule(mol)
    conf = mol.GetConformer()
    atoms = []
    count = {}
    for atom in mol.GetAtoms():
        if atom.GetSymbol() == "H":
            heavy = atom.GetNeighbors()[0]
            count[heavy.GetIdx()] = count.get(heavy.GetIdx(), 0) + 1
            total = sum(n.GetSymbol() == "H" for n in heavy.GetNeighbors())
            name = hydrogen_names(atom.GetIdx(), names[heavy.GetIdx()], total, count[heavy.GetIdx()])
        else:
            name = names[atom.GetIdx()]
        p = conf.GetAtomPosition(atom.GetIdx())
        atoms.append((name, atom.GetSymbol(), [round(p.x, 3), round(p.y, 3), round(p.z, 3)]))
    return atoms


def shuffled(atoms, seed):
    copy = list(atoms)
    random.Random(seed).shuffle(copy)
    return copy


def heavy(atoms):
    return [a for a in atoms if a[1] != "H"]


# Shuffles in which a first-come pairing of atoms by type goes wrong: it
# swaps the serine's C and CB, the tryptophan's CD2 and CZ2, the guanine's N2
# and N3.
SEEDS = {"SER": 1, "TRP": 21, "GUA": 20}


def main():
    ser = in_template_order(from_1b2t(13, "SER"), ["N", "H", "CA", "HA", "CB", "HB2", "HB3", "OG", "HG", "C", "O"])
    trp = in_template_order(from_1b2t(57, "TRP"), [
        "N", "H", "CA", "HA", "CB", "HB2", "HB3", "CG", "CD1", "HD1", "NE1", "HE1", "CE2", "CZ2", "HZ2", "CH2",
        "HH2", "CZ3", "HZ3", "CE3", "HE3", "CD2", "C", "O"])
    ala = in_template_order(from_1b2t(22, "ALA", methyl=True),
                            ["N", "H", "CA", "HA", "CB", "HB1", "HB2", "HB3", "C", "O"])
    asp = in_template_order(from_1b2t(52, "ASP"), ["N", "H", "CA", "HA", "CB", "HB2", "HB3", "CG", "OD1", "OD2",
                                                    "C", "O"])
    write_prep("amino.prep", [
        ("SERINE: residue 13 of PDB entry 1B2T", "SER", ser),
        ("TRYPTOPHAN: residue 57 of PDB entry 1B2T", "TRP", trp),
        ("ALANINE: residue 22 of PDB entry 1B2T", "ALA", ala),
        ("ASPARTATE: residue 52 of PDB entry 1B2T", "ASP", asp),
    ])
    gly = in_template_order(from_1b2t(76, "GLY"), ["N", "H", "CA", "HA2", "HA3", "C", "O", "OXT"])
    write_prep("cgly.prep", [("C-TERMINAL GLYCINE: residue 76 of PDB entry 1B2T", "CGLY", gly)])

    guanine_names = ["CM", "N9", "C8", "N7", "C5", "C4", "N3", "C2", "N2", "N1", "C6", "O6"]
    nucleic = lambda index, heavy, total, k: "H" + heavy[1:] + (str(k) if total > 1 else "")
    guanine = rdkit_molecule("Cn1cnc2c1nc(N)[nH]c2=O", guanine_names, 7, nucleic)
    write_prep("gua.prep", [("9-METHYLGUANINE, RDKit ETKDG coordinates", "GUA", guanine)])
    ligand_names = ["C1", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9", "C10", "C11", "C12", "C13", "O1", "O2"]
    numbered = lambda index, heavy, total, k: "H%d" % (index - len(ligand_names) + 1)
    ligand = rdkit_molecule("CC(C)Cc1ccc(cc1)C(C)C(=O)O", ligand_names, 11, numbered)
    write_prep("lig.prep", [("IBUPROFEN, RDKit ETKDG coordinates", "LIG", ligand)])

    drf = os.path.join(EXAMPLES, "1DRF.pdb")
    crystal = lambda number: [(a, e, xyz) for a, e, xyz, _ in read_pdb(drf, number)]
    write_pdb("ser_trp_shuffled.pdb", "SER 59 and TRP 57 of PDB entry 1DRF (CC0), atoms shuffled",
              [("SER", 59, shuffled(crystal(59), SEEDS["SER"])), ("TRP", 57, shuffled(crystal(57), SEEDS["TRP"]))])
    write_pdb("guanine_shuffled.pdb", "9-methylguanine without hydrogens, atoms shuffled",
              [("GUA", 1, shuffled(heavy(guanine), SEEDS["GUA"]))])
    copies = []
    for k in range(10):
        moved = [(a, e, [xyz[0] + 12.0 * k, xyz[1], xyz[2]]) for a, e, xyz in ligand]
        copies.append(("LIG", k + 1, shuffled(moved, k)))
    write_pdb("ligand_10_orders.pdb", "ibuprofen with its hydrogens in ten orders", copies)
    alanine = crystal(9)
    p = {a: xyz for a, _, xyz in alanine}
    cb = add(p["CA"], scale(unit(sub(p["CB"], p["CA"])), 1.77))
    write_pdb("ala_stretched_cb.pdb", "ALA 9 of PDB entry 1DRF (CC0), CA-CB stretched to 1.77 angstrom",
              [("ALA", 9, [(a, e, cb if a == "CB" else xyz) for a, e, xyz in alanine])])
    write_pdb("asp_c_terminal.pdb", "ASP 186 of PDB entry 1DRF (CC0), the C-terminal residue", [("ASP", 186, crystal(186))])
    write_pdb("gly_c_terminal.pdb", "GLY 76 of PDB entry 1B2T (CC0) without hydrogens",
              [("GLY", 76, [a for a in heavy(from_1b2t(76, "GLY"))])])
    lysozyme = read_pdb(os.path.join(CORPUS, "4lzt.pdb"), 24, "SER")
    lines = ["REMARK   SER 24 of PDB entry 4LZT (CC0): CB and OG in alternate locations A and B"]
    for serial, (a, e, xyz, alt) in enumerate(lysozyme, start=1):
        lines.append("ATOM  %5d  %-3s%1sSER A  24    %8.3f%8.3f%8.3f  1.00  0.00          %2s  "
                     % (serial, a, alt, xyz[0], xyz[1], xyz[2], e))
    open(os.path.join(HERE, "ser_alternates.pdb"), "w").write("\n".join(lines + ["END", ""]))


if __name__ == "__main__":
    main()
