#!/usr/bin/python3
"""Writes the conf test files of this folder (see README) from residues of
PDB entry 1DRF (../../../examples/1DRF.pdb, free of copyright, CC0):

  caps.pdb           three short chains with the end caps other than ACE and
                     NME on real backbone geometry: FOR (the C and O of
                     residue 10) before SER 11 - ASN 13 and NHE (the N of
                     residue 14) after; FOR before ILE 16 - GLY 17 and NH2 (the
                     N of residue 18) after; ACE before GLY 20 - ASP 21 and NME
                     after, as today
  modified.pdb       residues 10 to 18 with MET 14 written as the
                     selenomethionine MSE (SD as SE), a HETATM inside the chain
                     as the PDB writes it
  charmm_style.pdb   residues 80 to 92 as CHARMM writes them: names from
                     column 13, no element columns, the segment in columns
                     73-76, HIS 87 as HSD
  peptide.mol2       residues 1 to 10 written as MOL2 by Open Babel
                     (obabel -ipdb -omol2), as other programs hand proteins on

Usage: make_conf_data.py (Open Babel's obabel on the PATH)
"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "..", "..", "examples", "1DRF.pdb")


def residues():
    """1DRF's ATOM records by residue number, in file order."""
    by_number = {}
    for line in open(SOURCE):
        if line.startswith("ATOM"):
            by_number.setdefault(int(line[22:26]), []).append(line.rstrip("\n"))
    return by_number


def renamed(line, residue=None, name=None, element=None, record=None):
    if residue:
        line = line[:17] + "%-3s" % residue + line[20:]
    if name:
        line = line[:12] + name + line[16:]
    if element:
        line = line[:76] + "%2s" % element + line[78:]
    if record:
        line = "%-6s" % record + line[6:]
    return line


def pick(lines, names):
    return [l for l in lines if l[12:16].strip() in names]


def write(path, remark, lines):
    out = ["REMARK   " + remark]
    for serial, line in enumerate(lines, start=1):
        out.append(line if line == "TER" else line[:6] + "%5d" % serial + line[11:])
    open(os.path.join(HERE, path), "w").write("\n".join(out + ["END", ""]))


def main():
    r = residues()
    caps = [renamed(l, "FOR") for l in pick(r[10], ["C", "O"])]
    caps += r[11] + r[12] + r[13] + [renamed(l, "NHE") for l in pick(r[14], ["N"])] + ["TER"]
    caps += [renamed(l, "FOR") for l in pick(r[15], ["C", "O"])] + r[16] + r[17]
    caps += [renamed(l, "NH2") for l in pick(r[18], ["N"])] + ["TER"]
    ace = [renamed(l, "ACE", " CH3" if l[12:16] == " CA " else None) for l in pick(r[19], ["CA", "C", "O"])]
    nme = [renamed(l, "NME", " CH3" if l[12:16] == " CA " else None) for l in pick(r[22], ["N", "CA"])]
    caps += ace + r[20] + r[21] + nme
    write("caps.pdb", "end caps FOR, NHE, NH2, ACE, NME on residues of PDB entry 1DRF (CC0)", caps)

    modified = []
    for number in range(10, 19):
        for line in r[number]:
            if number == 14:
                line = renamed(line, "MSE", "SE  " if line[12:16] == " SD " else None,
                               "SE" if line[12:16] == " SD " else None, "HETATM")
            modified.append(line)
    write("modified.pdb", "residues 10-18 of PDB entry 1DRF (CC0), MET 14 as the selenomethionine MSE", modified)

    charmm = []
    for number in range(80, 93):
        for line in r[number]:
            name = line[12:16].strip()
            residue = "HSD " if line[17:20] == "HIS" else line[17:20] + " "
            charmm.append("ATOM  %5d %-4s %-4s %4d    %s  1.00 %5.2f      DHFR"
                          % (0, name, residue, number, line[30:54], float(line[60:66])))
    write("charmm_style.pdb", "residues 80-92 of PDB entry 1DRF (CC0) as CHARMM writes them", charmm)

    peptide = sum((r[n] for n in range(1, 11)), [])
    text = "\n".join(peptide + ["END", ""])
    mol2 = subprocess.run(["obabel", "-ipdb", "-omol2"], input=text, capture_output=True, text=True, check=True).stdout
    open(os.path.join(HERE, "peptide.mol2"), "w").write(mol2)


if __name__ == "__main__":
    main()
