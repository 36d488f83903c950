#!/usr/bin/python3
"""An outside check of the formal charges on molecules the chemistry was not
developed on: screening and medicinal-chemistry structures shipped by
rdkit-data (WEHI screening set, ChEMBL and PubChem samples, CDK2, EGFR and
benzodiazepine-receptor ligands), ionised as at pH 7 by simple rules
(carboxylic, sulfonic and phosphorus acids and tetrazoles lose a proton;
aliphatic amines, amidines and guanidines gain one), kept when they carry a
charge or one of the groups tools get wrong (nitro, N-oxide, azide,
sulfonyl, amide, aromatic nitrogen heterocycles), embedded in 3D with
explicit hydrogens and written like the development set.

    /usr/bin/python3 bench/chem_external.py OUTDIR [--limit N]
    /usr/bin/python3 bench/chem_score.py build/tarvex OUTDIR

OUTDIR/devset.csv has the development set's columns, so chem_score.py
scores it the same way.
"""
import argparse
import csv
import os
import sys

from rdkit import Chem, RDLogger
from rdkit.Chem import AllChem, SaltRemover

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chem_devset import embed, write_pdb  # noqa: E402

RDLogger.DisableLog("rdApp.*")
DATA = "/usr/share/RDKit"

# Protonation changes as at pH 7, applied until nothing more matches.
IONISE = [
    ("[CX3](=O)[OX2H1]", "carboxylic acid", lambda m, a: _charge(m, a[2], -1)),
    ("[SX4](=O)(=O)[OX2H1]", "sulfonic acid", lambda m, a: _charge(m, a[3], -1)),
    ("[PX4](=O)[OX2H1]", "phosphorus acid", lambda m, a: _charge(m, a[2], -1)),
    ("[nH1]1nnnc1", "tetrazole", lambda m, a: _charge(m, a[0], -1)),
    ("[NX3;H2,H1,H0;!$(N-[!#6;!#1]);!$(N-C=[O,S,N]);!$(N-[a]);!$(N-C#N);!$(N-S(=O)=O);!$(N=*);!$(N#*);!$(N-[CX3]=[CX3])]",
     "aliphatic amine", lambda m, a: _charge(m, a[0], +1)),
    ("[NX3;H2,H1;!$(NC=O)]-C(=[NX2;H1,H0;!$(N-[a])])-[NX3;H2,H1;!$(NC=O)]", "guanidine",
     lambda m, a: _charge(m, a[2], +1)),
    ("[CX3;$(C(-[#6,#1]))](=[NX2H1])-[NX3H2]", "amidine", lambda m, a: _charge(m, a[1], +1)),
]

MARKERS = [
    ("[N+](=O)[O-]", "nitro"), ("[n+][O-]", "N-oxide"), ("[N+][O-]", "N-oxide"), ("N=[N+]=[N-]", "azide"),
    ("S(=O)(=O)", "sulfonyl"), ("C(=O)N", "amide"), ("n", "heteroaromatic"), ("P(=O)", "phosphorus"),
]


def _charge(mol, index, change):
    atom = mol.GetAtomWithIdx(index)
    atom.SetFormalCharge(atom.GetFormalCharge() + change)
    atom.SetNumExplicitHs(max(0, atom.GetTotalNumHs() + change))
    atom.SetNoImplicit(True)


def ionise(mol):
    mol = Chem.RWMol(mol)
    changed = []
    for smarts, name, apply in IONISE:
        pattern = Chem.MolFromSmarts(smarts)
        for _ in range(10):
            hits = [h for h in mol.GetSubstructMatches(pattern)
                    if all(mol.GetAtomWithIdx(i).GetFormalCharge() == 0 for i in h)]
            if not hits:
                break
            apply(mol, hits[0])
            changed.append(name)
            try:
                Chem.SanitizeMol(mol)
            except Exception:
                return None, []
    return mol.GetMol(), changed


def sources():
    yield from (row[0] for row in csv.reader(open(f"{DATA}/Data/Pains/test_data/wehi_mols.csv")))
    for path in (f"{DATA}/Contrib/NIBRSubstructureFilters/examples/chembl24_structs_randomtestSample_100.csv",):
        yield from (row["smiles"] for row in csv.DictReader(open(path)))
    for path in (f"{DATA}/Projects/DbCLI/testData/pubchem.200.sdf", f"{DATA}/Contrib/Fastcluster/testdata/cdk2.sdf",
                 f"{DATA}/Projects/DbCLI/testData/bzr.sdf", f"{DATA}/Contrib/PBF/testData/egfr.sdf"):
        for mol in Chem.SDMolSupplier(path):
            if mol is not None:
                yield Chem.MolToSmiles(mol)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("outdir")
    ap.add_argument("--limit", type=int, default=600)
    args = ap.parse_args()
    os.makedirs(args.outdir, exist_ok=True)
    remover = SaltRemover.SaltRemover()
    rows, seen = [], set()
    for smi in sources():
        if len(rows) >= args.limit:
            break
        mol = Chem.MolFromSmiles(smi)
        if mol is None or mol.GetNumHeavyAtoms() > 60:
            continue
        mol = remover.StripMol(mol, dontRemoveEverything=True)
        frags = Chem.GetMolFrags(mol, asMols=True)
        mol = max(frags, key=lambda f: f.GetNumHeavyAtoms())
        if any(a.GetSymbol() not in ("C", "H", "N", "O", "S", "P", "F", "Cl", "Br", "I") for a in mol.GetAtoms()):
            continue
        mol, changed = ionise(mol)
        if mol is None:
            continue
        classes = changed + [name for smarts, name in MARKERS if mol.HasSubstructMatch(Chem.MolFromSmarts(smarts))]
        if not classes:
            continue
        key = Chem.MolToSmiles(mol)
        if key in seen:
            continue
        seen.add(key)
        m = embed(key, len(rows) + 11)
        if m is None:
            continue
        name = "ext_%03d.pdb" % (len(rows) + 1)
        write_pdb(m, os.path.join(args.outdir, name))
        charges = [a.GetFormalCharge() for a in m.GetAtoms()]
        rows.append((name, classes[0], key, sum(charges), " ".join(map(str, charges))))
    with open(os.path.join(args.outdir, "devset.csv"), "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["file", "class", "smiles", "net_charge", "atom_charges"])
        w.writerows(rows)
    print(f"{len(rows)} molecules in {args.outdir}")


if __name__ == "__main__":
    main()
