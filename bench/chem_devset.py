#!/usr/bin/python3
"""Development set for bond orders and formal charges.

Writes molecules of the functional-group classes that carry charges or
that tools commonly get wrong (carboxylates, nitro groups, phosphates,
sulfonates, guanidinium and amidinium, ammonium, pyridinium and
imidazolium, N-oxides, azides, thiolates, phenolates, enolates,
zwitterions, sulfonamides and sulfones, peptides) as PDB files the way
the shared benchmark inputs are written: explicit hydrogens, 3D
coordinates from ETKDG (MMFF-relaxed), element columns, no CONECT
records, residue LIG, blank charge columns. The truth is RDKit's formal
charges, per atom, in the order of the file.

    /usr/bin/python3 bench/chem_devset.py OUTDIR [--heavy-only N]

Later classes (metal complexes, tetrazolides, bipyridinium ions,
dithiolates) follow, written after the rest so that the earlier files keep
their names.

OUTDIR/devset.csv holds: file, class, smiles, net charge, the per-atom
formal charges (space separated). With --heavy-only, N extra files are
written without hydrogen atoms (for the implicit-hydrogen path), their
truth being zero charges except the groups that stay charged without
hydrogens: quaternary nitrogens, nitro and nitrate groups, azides and
diazo groups.

Needs Debian's python3-rdkit (use /usr/bin/python3).
"""
import argparse
import csv
import os
import sys

from rdkit import Chem, RDLogger
from rdkit.Chem import AllChem

RDLogger.DisableLog("rdApp.*")

# Substituents that carry the charge classes of the issue, each with the
# neutral relative that must stay neutral. "*" marks the attachment point.
GROUPS = {
    "carboxylate": ["*C(=O)[O-]", "*C(=O)O", "*CC(=O)[O-]"],
    "nitro": ["*[N+](=O)[O-]", "*O[N+](=O)[O-]"],
    "phosphate": ["*OP(=O)([O-])[O-]", "*OP(=O)(O)[O-]", "*P(=O)([O-])O", "*OP(=O)(OC)[O-]"],
    "sulfonate": ["*S(=O)(=O)[O-]", "*OS(=O)(=O)[O-]", "*S(=O)(=O)O"],
    "sulfonamide": ["*S(=O)(=O)N", "*S(=O)(=O)NC", "*NS(=O)(=O)C", "*S(=O)(=O)C", "*S(=O)C"],
    "guanidinium": ["*NC(=[NH2+])N", "*N=C(N)N", "*NC(=N)N"],
    "amidinium": ["*C(=[NH2+])N", "*C(=N)N"],
    "ammonium": ["*[NH3+]", "*C[NH3+]", "*[NH2+]C", "*[NH+](C)C", "*[N+](C)(C)C", "*N", "*CN(C)C"],
    "thiolate": ["*[S-]", "*C[S-]", "*S", "*SC"],
    "phenolate": ["*[O-]", "*O"],
    "azide": ["*N=[N+]=[N-]", "*C(=[N+]=[N-])C(=O)C"],
    "enolate": ["*C([O-])=CC(=O)C", "*C(=O)C=C([O-])C"],
    "amide": ["*C(=O)N", "*NC(=O)C", "*C(=O)NC", "*NC(=O)N"],
    "other_neutral": ["*C#N", "*C(=O)OC", "*C=O", "*OC", "*F", "*Cl", "*Br", "*C(F)(F)F", "*N=C=O", "*N=C=S"],
}

# Aromatic and aliphatic frames the groups are put on; "[*:1]" is where.
FRAMES = [
    "c1ccc(cc1)[*:1]",
    "Cc1ccc(cc1)[*:1]",
    "c1ccc2ccccc2c1[*:1]",
    "c1cc(ccn1)[*:1]",
    "c1csc(c1)[*:1]",
    "c1coc(c1)[*:1]",
    "CC[*:1]",
    "C1CCC(CC1)[*:1]",
    "OCC(C)[*:1]",
    "c1ccc2[nH]ccc2c1[*:1]",
]

# Ring cations and heteroaromatics that are charged as a whole.
RING_IONS = [
    ("pyridinium", "c1cc[nH+]cc1"), ("pyridinium", "C[n+]1ccccc1"), ("pyridinium", "Cc1cc[nH+]cc1C"),
    ("pyridinium", "c1ccc2[nH+]cccc2c1"), ("pyridinium", "NC(=O)c1ccc[n+](C)c1"),
    ("imidazolium", "c1c[nH+]c[nH]1"), ("imidazolium", "Cn1cc[n+](C)c1"), ("imidazolium", "CCCCn1cc[n+](C)c1"),
    ("imidazolium", "c1ccc2[nH+]c[nH]c2c1"), ("imidazolium", "Cc1[nH]cc[nH+]1"),
    ("n_oxide", "[O-][n+]1ccccc1"), ("n_oxide", "C[N+](C)(C)[O-]"), ("n_oxide", "[O-][n+]1ccc(cc1)C"),
    ("n_oxide", "C[N+]1(CCOCC1)[O-]"), ("n_oxide", "Cc1cccc[n+]1[O-]"),
    ("tetrazolate", "c1nnn[n-]1"), ("tetrazolate", "Cc1nnn[n-]1"), ("tetrazolate", "c1ccc(cc1)c1nnn[n-]1"),
    ("neutral_heteroaromatic", "c1ccncc1"), ("neutral_heteroaromatic", "c1c[nH]cn1"),
    ("neutral_heteroaromatic", "c1ccc2[nH]ccc2c1"), ("neutral_heteroaromatic", "c1ncncn1"),
    ("neutral_heteroaromatic", "c1ccsc1"), ("neutral_heteroaromatic", "c1ccoc1"),
    ("neutral_heteroaromatic", "O=c1cccc[nH]1"), ("neutral_heteroaromatic", "O=c1cc[nH]c(=O)[nH]1"),
    ("neutral_heteroaromatic", "Nc1ncnc2[nH]cnc12"), ("neutral_heteroaromatic", "Cn1cnc2c1c(=O)n(C)c(=O)n2C"),
    ("neutral_heteroaromatic", "c1cnc2ccccc2n1"), ("neutral_heteroaromatic", "c1ccc2ncccc2c1"),
]

# Zwitterions, amino acids and peptides as they are at pH 7.
ZWITTERIONS = [
    "[NH3+]CC(=O)[O-]", "C[C@H]([NH3+])C(=O)[O-]", "[NH3+][C@@H](CC(=O)[O-])C(=O)[O-]",
    "[NH3+][C@@H](CCCC[NH3+])C(=O)[O-]", "[NH3+][C@@H](CCCNC(N)=[NH2+])C(=O)[O-]",
    "[NH3+][C@@H](Cc1c[nH]c[nH+]1)C(=O)[O-]", "[NH3+][C@@H](Cc1c[nH]cn1)C(=O)[O-]",
    "[NH3+][C@@H](Cc1ccc(O)cc1)C(=O)[O-]", "[NH3+][C@@H](CS)C(=O)[O-]", "[NH3+][C@@H](CC[S](C))C(=O)[O-]",
    "[NH3+][C@@H](CCC(N)=O)C(=O)[O-]", "[NH3+][C@@H](CO)C(=O)[O-]", "[NH3+][C@@H](Cc1c[nH]c2ccccc12)C(=O)[O-]",
    "C[N+](C)(C)CC(=O)[O-]", "C[N+](C)(C)CCOP(=O)([O-])OC", "[NH3+]CCS(=O)(=O)[O-]",
    "[O-]C(=O)c1ccc[n+](C)c1", "C[NH+](C)CCCC(=O)[O-]",
    "[NH3+]CC(=O)NCC(=O)[O-]", "C[C@H]([NH3+])C(=O)N[C@@H](CC(=O)[O-])C(=O)[O-]",
    "[NH3+][C@@H](CCCC[NH3+])C(=O)NCC(=O)N[C@@H](C)C(=O)[O-]",
    "CC(=O)N[C@@H](C)C(=O)NC", "CC(=O)N[C@@H](CCCNC(N)=[NH2+])C(=O)NC", "CC(=O)N[C@@H](CC(=O)[O-])C(=O)NC",
    "CC(=O)N[C@@H](Cc1c[nH]c[nH+]1)C(=O)NC", "CC(=O)N[C@@H](CCCC[NH3+])C(=O)NC", "CC(=O)N[C@@H](CCC(=O)[O-])C(=O)NC",
]

# Drugs and metabolites in their usual charge state.
DRUGS = [
    "CC(=O)Oc1ccccc1C(=O)[O-]", "CC(C)Cc1ccc(cc1)C(C)C(=O)[O-]", "CN(C)C(=[NH2+])NC(N)=N",
    "CN(C)C(=N)NC(N)=[NH2+]", "Cc1onc(NS(=O)(=O)c2ccc(N)cc2)c1", "NS(=O)(=O)c1cc(C(=O)[O-])c(NCc2ccco2)cc1Cl",
    "O=C1CN(/N=C/c2ccc(o2)[N+](=O)[O-])C(=O)N1", "CN(C)CCCN1c2ccccc2Sc2ccc(Cl)cc21", "C[NH+](C)CCCN1c2ccccc2Sc2ccc(Cl)cc21",
    "CC(C)[NH2+]CC(O)COc1cccc2ccccc12", "CN1CCC[C@H]1c1ccc[nH+]c1", "C[NH+]1CCC[C@H]1c1cccnc1",
    "Cn1c(=O)c2c(ncn2C)n(C)c1=O", "CC(=O)Nc1ccc(O)cc1", "CC(=O)Nc1ccc([O-])cc1", "OC(=O)CCC(=O)O",
    "[O-]C(=O)CCC(=O)[O-]", "[O-]C(=O)CC(O)(CC(=O)[O-])C(=O)[O-]", "OCC(O)CO", "C[S+](C)CCC(N)C(=O)O",
    "NC(=O)c1cccnc1", "Nc1ccc(cc1)S(N)(=O)=O", "CC1=C(C(=O)[O-])N2C(=O)[C@@H](NC(=O)Cc3ccccc3)[C@H]2SC1",
    "CC1(C)S[C@@H]2[C@H](NC(=O)Cc3ccccc3)C(=O)N2[C@H]1C(=O)[O-]", "OC[C@H]1OC(O)[C@H](O)[C@@H](O)[C@@H]1O",
    "Nc1nc2[nH]cnc2c(=O)[nH]1", "Cc1cn([C@H]2C[C@H](N=[N+]=[N-])[C@@H](CO)O2)c(=O)[nH]c1=O",
    "O=C([O-])c1ccccc1O", "O=C([O-])c1ccccc1[O-]", "Oc1ccc(cc1)[N+](=O)[O-]", "[O-]c1ccc(cc1)[N+](=O)[O-]",
    "[O-][N+](=O)c1cc([N+](=O)[O-])c([O-])c([N+](=O)[O-])c1", "CCOP(=S)(OCC)Oc1ccc(cc1)[N+](=O)[O-]",
    "Cc1ccc(cc1)S(=O)(=O)[O-]", "CCCCCCCCCCCCOS(=O)(=O)[O-]", "C[N+](C)(C)CCO", "C[N+](C)(C)CCOC(C)=O",
    "CC(=O)C=C([O-])C", "O=C1C=CC(=O)C=C1", "O=C1c2ccccc2C(=O)c2ccccc12",
    "CS(C)=O", "CS(=O)(=O)C", "CS(=O)(=O)[O-]", "COS(=O)(=O)[O-]", "NC(=O)N", "NC(=S)N", "NC(N)=[NH2+]",
    "[NH3+]CC[NH3+]", "C1CC[NH2+]CC1", "C1C[NH+]2CCC1CC2", "CC#N", "C[N+]#[C-]", "c1ccc(cc1)[N+]#[C-]",
    "c1ccc(cc1)[N+]#N", "[N-]=[N+]=NCc1ccccc1", "C=C=O", "O=C=NCc1ccccc1", "S=C=NCc1ccccc1",
    "OP(=O)([O-])OC[C@H]1O[C@@H](n2cnc3c(N)ncnc32)[C@H](O)[C@@H]1O",
    "Nc1ncnc2c1ncn2[C@@H]1O[C@H](COP(=O)([O-])OP(=O)([O-])OP(=O)([O-])[O-])[C@@H](O)[C@H]1O",
    "C[S-]", "[S-]c1ccccc1", "SCC[NH3+]", "[S-]CC[NH3+]", "CC(C)(C)c1cc(cc(c1[O-])C(C)(C)C)C",
    "c1ccc2c(c1)[nH]c1ccccc12", "c1ccc2c(c1)[n-]c1ccccc12", "CC(=O)[N-]S(=O)(=O)c1ccc(N)cc1",
    "O=C([O-])C(F)(F)F", "FC(F)(F)S(=O)(=O)[O-]", "F[B-](F)(F)F", "F[P-](F)(F)(F)(F)F",
    "O=S(=O)([O-])[O-]", "O=P([O-])([O-])[O-]", "O=[N+]([O-])[O-]", "[O-]C(=O)[O-]", "C(#N)[S-]",
]


# Classes added later, written after the files above so that those keep
# their names and the hydrogen-free sample stays the same: ions and
# complexes of metals (the metal carries its ion charge, its ligands their
# anionic forms; bonds to metals are written as dative bonds, so RDKit's
# charges are the same), tetrazolides beside an NH, bipyridinium ions and
# dithiolates, each with a neutral relative where one exists.
LATER_CLASSES = {
    "metal_complex": [
        "N->[Pt+2](<-N)(<-[Cl-])<-[Cl-]", "[Cl-]->[Pt+2](<-[Cl-])(<-[Cl-])<-[Cl-]",
        "[Ni+2].[C-]#N.[C-]#N.[C-]#N.[C-]#N", "[C-]#[O+]", "NCC(=O)[O-]->[Ni+2]",
        "CC(=O)/C=C(/C)[O-]->[Cu+2]<-[O-]/C(C)=C/C(C)=O", "[NH2]1->[Cu+2]2(<-[NH2]CC1)<-[NH2]CC[NH2]->2",
        "C[S-]->[Zn+2](<-[S-]C)(<-[S-]C)<-[S-]C", "c1ccc2c(c1)c1ccccn1->[Ru+2]<-n1ccccc12",
        "c1cn(->[Zn+2](<-n2cc[nH]c2)(<-n2cc[nH]c2)<-n2cc[nH]c2)c[nH]1",
        "[O-]C(=O)CN(CC(=O)[O-])CCN(CC(=O)[O-])CC(=O)[O-].[Ca+2]",
        "N#CC1=C(C#N)[S-]->[Ni+2]2(<-[S-]1)<-[S-]C(C#N)=C(C#N)[S-]->2", "[cH-]1cccc1.[cH-]1cccc1.[Fe+2]",
        "O.O.O.O.O.O.[Mg+2]", "[Hg+2].[Cl-].[Cl-]", "CC(=O)[O-].[Pb+2].CC(=O)[O-]", "[Cd+2].[Cl-].[Cl-]",
        "[Ag+].[O-][N+](=O)[O-]", "[Sn+2].[Cl-].[Cl-]", "[Pd+2].[Cl-].[Cl-]", "[Yb+3].[Cl-].[Cl-].[Cl-]",
        "[Ra+2].[Cl-].[Cl-]", "[V+2].[Cl-].[Cl-]", "C1=CC2=CC3=CC=C(N3)C=C4C=CC(=N4)C=C5C=CC(=N5)C=C1N2",
    ],
    "tetrazolide": [
        "Nc1nn[n-]n1", "CNc1nn[n-]n1", "c1ccc(Nc2nn[n-]n2)cc1", "O=C(Nc1nn[n-]n1)c1ccccc1",
        "Nc1ccccc1-c1nn[n-]n1", "CC(=O)Nc1nnn[n-]1", "CNC(=O)c1ccc(cc1)-c1nn[n-]n1",
        "CCCCc1nc(Cl)c(CO)n1Cc1ccc(cc1)-c1ccccc1-c1nn[n-]n1", "Nc1nn[nH]n1", "c1ccc(Nc2nn[nH]n2)cc1",
    ],
    "bipyridinium": [
        "C[n+]1ccc(cc1)-c1cc[n+](C)cc1", "c1cc[n+]2c(c1)-c1cccc[n+]1CC2",
        "c1ccc(C[n+]2ccc(cc2)-c2cc[n+](Cc3ccccc3)cc2)cc1", "c1cc(ccn1)-c1cc[nH+]cc1",
        "c1ccc(-c2cccc[nH+]2)nc1", "c1cc(ccn1)-c1ccncc1", "C[n+]1ccc(cc1)-c1ccncc1",
    ],
    "dithiolate": [
        "[S-]C=C[S-]", "N#CC([S-])=C([S-])C#N", "[S-]c1ccccc1[S-]", "Cc1ccc([S-])c([S-])c1",
        "CN(C)C(=S)[S-]", "CCOC(=S)[S-]", "[S-]C(=S)c1ccccc1", "[S-]C1=C([S-])SC(=S)S1", "Sc1ccccc1S",
    ],
}

# Metal porphyrins, chlorins and phthalocyanines: the free base (SMILES) is
# embedded and relaxed, its NH hydrogens taken off, and the metal put at the
# centre of the four pyrrole nitrogens, bound to them by dative bonds.
PORPHYRINS = [
    ("C1=CC2=CC3=CC=C(N3)C=C4C=CC(=N4)C=C5C=CC(=N5)C=C1N2", "Zn", 2),
    ("C1=CC2=CC3=CC=C(N3)C=C4C=CC(=N4)C=C5C=CC(=N5)C=C1N2", "Fe", 2),
    ("CC1=C(C2=CC3=C(C(=C(N3)C=C4C(=C(C(=N4)C=C5C(=C(C(=N5)C=C1N2)C)C=C)C)C=C)C)CCC(=O)[O-])CCC(=O)[O-]",
     "Fe", 2),
    ("CC1=C(C2=CC3=C(C(=C(N3)C=C4C(=C(C(=N4)C=C5C(=C(C(=N5)C=C1N2)C)C=C)C)C=C)C)CCC(=O)O)CCC(=O)O", "Mg", 2),
    ("C1CC2=CC3=CC=C(N3)C=C4C=CC(=N4)C=C5C=CC(=N5)C=C1N2", "Zn", 2),
    ("c1ccc2c(c1)c1nc3nc(nc4[nH]c(nc5nc(nc2[nH]1)c1ccccc51)c1ccccc41)c1ccccc31", "Cu", 2),
]


def sane(m):
    """No C=C shorter than 1.30 angstrom (MMFF leaves some tangled embeddings
    of large macrocycles with a vinyl C=C of 1.20)."""
    conf = m.GetConformer()
    return all((conf.GetAtomPosition(b.GetBeginAtomIdx()) - conf.GetAtomPosition(b.GetEndAtomIdx())).Length() >= 1.30
               for b in m.GetBonds() if b.GetBondType() == Chem.BondType.DOUBLE and
               b.GetBeginAtom().GetSymbol() == "C" and b.GetEndAtom().GetSymbol() == "C")


def metal_porphyrin(smiles, metal, charge, seed):
    free = embed(smiles, seed)
    if free is None or AllChem.MMFFOptimizeMolecule(free, maxIters=5000) != 0 or not sane(free):
        return None
    m = Chem.RWMol(free)
    conf = m.GetConformer()
    ring_n = [h[0] for h in m.GetSubstructMatches(Chem.MolFromSmarts("[#7;r5]"))]
    centre = [sum(conf.GetAtomPosition(i)[k] for i in ring_n) / len(ring_n) for k in range(3)]
    inner_h = sorted((nb.GetIdx() for i in ring_n for nb in m.GetAtomWithIdx(i).GetNeighbors() if nb.GetSymbol() == "H"),
                     reverse=True)
    for i in ring_n:
        if any(nb.GetSymbol() == "H" for nb in m.GetAtomWithIdx(i).GetNeighbors()):
            m.GetAtomWithIdx(i).SetFormalCharge(-1)
    for h in inner_h:
        m.RemoveAtom(h)  # the pyrrole nitrogens keep their indices: hydrogens come last
    z = m.AddAtom(Chem.Atom(metal))
    m.GetAtomWithIdx(z).SetFormalCharge(charge)
    m.GetConformer().SetAtomPosition(z, centre)
    for i in ring_n:
        m.AddBond(i, z, Chem.BondType.DATIVE)
    mol = m.GetMol()
    Chem.SanitizeMol(mol)
    return mol


def later_molecules():
    """(class, SMILES or None, builder) for the later classes."""
    out = [(cls, smi, None) for cls, smiles in LATER_CLASSES.items() for smi in smiles]
    out += [("metal_complex", None, p) for p in PORPHYRINS]
    return out


def attach(frame, group):
    """Joins a substituent (attachment "*") to a frame (attachment [*:1])."""
    f = Chem.MolFromSmiles(frame)
    g = Chem.MolFromSmiles(group.replace("*", "[*:1]", 1))
    if f is None or g is None:
        return None
    combined = Chem.molzip(f, g)
    try:
        Chem.SanitizeMol(combined)
    except Exception:
        return None
    return Chem.MolToSmiles(combined)


def molecules():
    seen = set()
    out = []

    def add(cls, smi):
        m = Chem.MolFromSmiles(smi)
        if m is None:
            return
        can = Chem.MolToSmiles(m)
        if can in seen:
            return
        seen.add(can)
        out.append((cls, can))

    for cls, groups in GROUPS.items():
        for group in groups:
            for frame in FRAMES:
                smi = attach(frame, group)
                if smi:
                    add(cls, smi)
    for cls, smi in RING_IONS:
        add(cls, smi)
    for smi in ZWITTERIONS:
        add("zwitterion", smi)
    for smi in DRUGS:
        add("drug", smi)
    # Two groups on one benzene ring: charges that meet in one molecule.
    pairs = ["*C(=O)[O-]", "*[N+](=O)[O-]", "*[NH3+]", "*S(=O)(=O)[O-]", "*[O-]", "*C(=[NH2+])N", "*S(=O)(=O)N"]
    for i, a in enumerate(pairs):
        for b in pairs[i:]:
            first = attach("c1ccc(cc1[*:2])[*:1]", a)
            if first:
                add("two_groups", attach(first.replace("[*:2]", "[*:1]"), b) or first)
    return out


def write_pdb(mol, path):
    block = Chem.MolToPDBBlock(mol, flavor=2)  # flavor 2: no CONECT records
    lines = []
    for ln in block.splitlines():
        if ln.startswith(("HETATM", "ATOM  ")):
            ln = ln.ljust(80)
            ln = ln[:17] + "LIG" + ln[20:78] + "  "  # residue LIG; blank charge columns
            lines.append("HETATM" + ln[6:].rstrip() + "\n")
    lines.append("END\n")
    with open(path, "w") as f:
        f.write("".join(lines))


METALS = {"Li", "Na", "K", "Mg", "Ca", "Fe", "Zn", "Cu", "Ni", "Co", "Mn", "Ru", "Pt", "Pd", "Hg", "Cd", "Pb",
          "Ag", "Sn", "Yb", "Ra", "V", "Cr"}


def relax_ligands(m):
    """MMFF has no metals: the ligands are relaxed with the metals taken
    out (their bonds to it with them), the metals stay where ETKDG put them."""
    ligands = Chem.RWMol(m)
    kept = [a.GetIdx() for a in m.GetAtoms() if a.GetSymbol() not in METALS]
    donors = {b.GetOtherAtomIdx(a.GetIdx()) for a in m.GetAtoms() if a.GetSymbol() in METALS for b in a.GetBonds()}
    for idx in sorted((a.GetIdx() for a in m.GetAtoms() if a.GetSymbol() in METALS), reverse=True):
        ligands.RemoveAtom(idx)
    ligands = ligands.GetMol()
    try:
        Chem.SanitizeMol(ligands)
        field = AllChem.MMFFGetMoleculeForceField(ligands, AllChem.MMFFGetMoleculeProperties(ligands))
        # The donor atoms stay where they face the metal.
        for new_index, old_index in enumerate(kept):
            if old_index in donors:
                field.AddFixedPoint(new_index)
        field.Minimize(maxIts=500)
    except Exception:
        return
    source, target = ligands.GetConformer(), m.GetConformer()
    # MMFF makes a cyanide anion 1.46 angstrom long: diatomic ligands keep
    # the lengths ETKDG gave them.
    small = {i for fragment in Chem.GetMolFrags(ligands) if len(fragment) <= 2 for i in fragment}
    for new_index, old_index in enumerate(kept):
        if new_index not in small:
            target.SetAtomPosition(old_index, source.GetAtomPosition(new_index))


def embed(smi, seed):
    m = Chem.AddHs(Chem.MolFromSmiles(smi))
    params = AllChem.ETKDGv3()
    params.randomSeed = seed
    if AllChem.EmbedMolecule(m, params) != 0:
        return None
    if any(a.GetSymbol() in METALS for a in m.GetAtoms()):
        relax_ligands(m)
        # Salts: ETKDG puts every fragment at the origin; set them apart.
        conf = m.GetConformer()
        for k, fragment in enumerate(Chem.GetMolFrags(m)):
            for idx in fragment:
                p = conf.GetAtomPosition(idx)
                conf.SetAtomPosition(idx, (p.x + 8.0 * k, p.y, p.z))
        return m
    try:
        AllChem.MMFFOptimizeMolecule(m, maxIters=500)
    except Exception:
        pass
    return m


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("outdir")
    ap.add_argument("--heavy-only", type=int, default=0, help="also write N files without hydrogens")
    ap.add_argument("--seed", type=int, default=7)
    args = ap.parse_args()
    os.makedirs(args.outdir, exist_ok=True)
    rows = []
    for k, (cls, smi) in enumerate(molecules()):
        m = embed(smi, args.seed + k)
        if m is None:
            continue
        name = "dev_%03d.pdb" % (len(rows) + 1)
        write_pdb(m, os.path.join(args.outdir, name))
        charges = [a.GetFormalCharge() for a in m.GetAtoms()]
        rows.append((name, cls, smi, sum(charges), " ".join(map(str, charges))))
    heavy = 0
    step = max(1, len(rows) // max(args.heavy_only, 1))
    for k, (name, cls, smi, net, charges) in enumerate(list(rows)):
        if heavy >= args.heavy_only:
            break
        if k % step:
            continue
        m = Chem.RemoveHs(embed(smi, args.seed + 1000 + k) or Chem.AddHs(Chem.MolFromSmiles(smi)))
        if m.GetNumConformers() == 0 or m.GetNumAtoms() < 3:
            continue
        heavy += 1
        hname = "heavy_%03d.pdb" % heavy
        write_pdb(m, os.path.join(args.outdir, hname))
        # Without hydrogens only the charges a group always carries remain.
        kept = []
        for a in m.GetAtoms():
            q = a.GetFormalCharge()
            nitro_n = a.GetSymbol() == "N" and sum(1 for n in a.GetNeighbors() if n.GetSymbol() == "O" and n.GetDegree() == 1) >= 2
            keep = (a.GetSymbol() == "N" and q == 1 and (a.GetDegree() == 4 or nitro_n)) or \
                   (a.GetSymbol() == "O" and q == -1 and a.GetDegree() == 1 and any(
                       n.GetSymbol() == "N" and n.GetFormalCharge() == 1 and
                       sum(1 for x in n.GetNeighbors() if x.GetSymbol() == "O" and x.GetDegree() == 1) >= 2
                       for n in a.GetNeighbors()))
            azide = a.GetSymbol() == "N" and q != 0 and any(
                n.GetSymbol() == "N" and n.GetFormalCharge() == -q for n in a.GetNeighbors())
            kept.append(q if keep or azide else 0)
        rows.append((hname, "heavy_" + cls, smi, sum(kept), " ".join(map(str, kept))))
    for cls, smi, porphyrin in later_molecules():
        seeds = [args.seed + len(rows) + t for t in range(5)]
        if porphyrin:
            m = next((e for e in (metal_porphyrin(*porphyrin, s) for s in seeds) if e is not None), None)
            smi = Chem.MolToSmiles(Chem.RemoveHs(m)) if m is not None else porphyrin[0]
        else:
            m = next((e for e in (embed(smi, s) for s in seeds) if e is not None), None)
        if m is None:
            print("not embedded:", smi, file=sys.stderr)
            continue
        name = "dev_%03d.pdb" % (len(rows) + 1)
        write_pdb(m, os.path.join(args.outdir, name))
        charges = [a.GetFormalCharge() for a in m.GetAtoms()]
        rows.append((name, cls, smi, sum(charges), " ".join(map(str, charges))))
    with open(os.path.join(args.outdir, "devset.csv"), "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["file", "class", "smiles", "net_charge", "atom_charges"])
        w.writerows(rows)
    print("%d molecules (%d without hydrogens) in %s" % (len(rows), heavy, args.outdir), file=sys.stderr)


if __name__ == "__main__":
    main()
