#!/usr/bin/env bash
# Times tarvex convert against the peers on the generated inputs
# (/work/shared/bench/make_inputs.py writes them; keep them outside the
# repository) and reports medians and the ratios asked of them:
#   convert -i solv1m.pdb -o out.pdb             >= 3 x faster than gemmi convert,
#                                                  peak memory < 300 bytes per atom
#   convert -c -f NO_TYPE -i solv250k.pdb -o .mol2 >= 20 x faster than RDKit's proximity
#                                                  bonding, >= 500 x faster than Open Babel
#   convert -c -i protein.pdb -o protein.mol2    >= 5 x faster than obabel -omol2, SYBYL
#                                                  types agreeing on >= 90% of heavy atoms
#   convert -a -i traj25k_1000.crd (1,000 files) <= 3 x getdun reading the trajectory,
#                                                  memory of one frame
# Every command of a comparison runs in the same hyperfine call, so the
# ratios hold whatever the machine's load. Usage:
#   bench/convert_bench.sh [build/tarvex]     (BENCH_DATA, RUNS, OB_RUNS override)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
data=$(realpath "${BENCH_DATA:-$here/../../bench-data}")
runs=${RUNS:-5}
ob_runs=${OB_RUNS:-2}
py=/usr/bin/python3
export PYTHONWARNINGS=ignore
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for f in solv250k.pdb solv1m.pdb protein.pdb sys25k.pdb traj25k_1000.crd manifest.env; do
  [ -f "$data/$f" ] || { echo "missing $data/$f: run make_inputs.py first" >&2; exit 1; }
done
# shellcheck disable=SC1091
. "$data/manifest.env"
# shellcheck disable=SC1091
. "$here/bench_common.sh"

echo "== PDB to PDB, solv1m.pdb ($SOLV1M_ATOMS atoms): convert vs gemmi convert"
hyperfine -N -w 1 -r "$runs" --export-json pdb.json \
  "gemmi convert $data/solv1m.pdb gemmi_out.pdb" \
  "$tool convert -i $data/solv1m.pdb -o out.pdb" > /dev/null
medians pdb.json
alternate "$runs" "gemmi convert $data/solv1m.pdb gemmi_out.pdb" "$tool convert -i $data/solv1m.pdb -o out.pdb"
peak "$SOLV1M_ATOMS" "$tool" convert -i "$data/solv1m.pdb" -o out.pdb

echo "== bonds and MOL2, solv250k.pdb ($SOLV250K_ATOMS atoms): convert -c -f NO_TYPE vs RDKit proximity bonds"
cat > rdkit_bonds.py <<'PY'
import sys
from rdkit import Chem
mol = Chem.MolFromPDBFile(sys.argv[1], removeHs=False, sanitize=False, proximityBonding=True)
print(mol.GetNumBonds())
PY
hyperfine -N -w 1 -r "$runs" --export-json bonds.json \
  "$py rdkit_bonds.py $data/solv250k.pdb" \
  "$tool convert -c -f NO_TYPE -i $data/solv250k.pdb -o out.mol2" > /dev/null
medians bonds.json
echo "   bonds: RDKit $($py rdkit_bonds.py "$data/solv250k.pdb"), tarvex $(sed -n 3p out.mol2 | awk '{print $2}')"

echo "== the same against Open Babel (obabel -omol2; $ob_runs runs)"
hyperfine -N -r "$ob_runs" --export-json obabel250k.json \
  "obabel $data/solv250k.pdb -omol2 -O ob_out.mol2" \
  "$tool convert -c -f NO_TYPE -i $data/solv250k.pdb -o out.mol2" > /dev/null 2>&1
medians obabel250k.json

echo "== typed MOL2, protein.pdb: convert -c vs obabel -omol2"
hyperfine -N -w 2 -r "$((runs * 4))" --export-json protein.json \
  "obabel $data/protein.pdb -omol2 -O ob_protein.mol2" \
  "$tool convert -c -i $data/protein.pdb -o protein.mol2" > /dev/null 2>&1
medians protein.json
"$py" "$here/convert_sybyl_obabel.py" protein.mol2 ob_protein.mol2

echo "== a 1,000-frame trajectory to numbered files: convert -a vs getdun reading it ($SYS25K_ATOMS atoms, $(du -m "$data/traj25k_1000.crd" | cut -f1) MB)"
mkdir -p frames
# shellcheck disable=SC2086
hyperfine -N -w 1 -r "$runs" --export-json frames.json --prepare "rm -f frames/f*" \
  "$tool getdun -f BOX -r $data/sys25k.pdb -it $data/traj25k_1000.crd CRD $GETDUN_M" \
  "$tool convert -a -f BOX -i $data/sys25k.pdb $data/traj25k_1000.crd -o frames/f.crd" > /dev/null
medians frames.json
echo "   files written: $(find frames -name 'f*.crd' | wc -l) CRD files, $(du -sm frames | cut -f1) MB"
# shellcheck disable=SC2086
alternate 3 "$tool getdun -f BOX -r $data/sys25k.pdb -it $data/traj25k_1000.crd CRD $GETDUN_M" \
  "$tool convert -a -f BOX -i $data/sys25k.pdb $data/traj25k_1000.crd -o frames/f.crd"
rm -f frames/f*
peak "$SYS25K_ATOMS" "$tool" convert -a -f BOX -i "$data/sys25k.pdb" "$data/traj25k_1000.crd" -o frames/f.crd
rm -f frames/f*
/usr/bin/time -f "   to numbered PDB files instead (1,000 files of 2 MB): %e s wall, %U + %S s CPU, %M KB" \
  "$tool" convert -a -f BOX -i "$data/sys25k.pdb" "$data/traj25k_1000.crd" -o frames/f.pdb
