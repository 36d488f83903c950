#!/usr/bin/env bash
# Times prepfit on every residue of the benchmark protein (4,334 atoms, 265
# residues with Amber names and hydrogens) against the all_amino94 templates
# of the corpus, beside midmol reading the same protein, in the same run.
#
# Usage: bench/prepfit_bench.sh [tarvex binary] [runs]
# The protein comes from ../shared/bench/make_inputs.py, in $BENCH_DATA
# (default /work/bench-data); the templates from $CORPUS (default
# ../shared/corpus). Reports hyperfine's medians and their ratio, and checks
# that every residue was matched and kept its names.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
runs=${2:-20}
data=${BENCH_DATA:-/work/bench-data}
corpus=${CORPUS:-$here/../../shared/corpus}
protein=$data/protein.pdb
library=$corpus/prep/all_amino94.in
for f in "$protein" "$library"; do
  [ -s "$f" ] || { echo "missing $f" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hyperfine -N -w 3 -r "$runs" --export-json "$work/times.json" \
  "$tool midmol -i $protein" \
  "$tool prepfit -p $library -i $protein -o $work/adjusted.pdb" > /dev/null

/usr/bin/python3 - "$work/times.json" <<'PY'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
midmol, prepfit = (statistics.median(r["times"]) for r in results)
print("medians of %d runs" % len(results[0]["times"]))
print("  tarvex midmol   %6.1f ms" % (midmol * 1000))
print("  tarvex prepfit  %6.1f ms" % (prepfit * 1000))
print("  prepfit / midmol: %.1fx" % (prepfit / midmol))
PY

"$tool" prepfit -p "$library" -i "$protein" -o "$work/adjusted.pdb" > "$work/report.txt"
echo "  residues adjusted: $(grep -c '^Residue data' "$work/report.txt"), with target atoms left over: $(grep -c '^Excess of target' "$work/report.txt" || true)"
# The names must come back: the protein already has Amber's names (four-
# character hydrogen names are written in the PDB's other style, 1HB2 for
# HB21, which is the same name), except the ACE methyl hydrogens, which the
# protein calls H1 to H3 and the template HH31 to HH33.
/usr/bin/python3 - "$protein" "$work/adjusted.pdb" <<'PY'
import sys
def atoms(path):
    return [(l[12:16], l[30:54]) for l in open(path) if l.startswith(("ATOM", "HETATM"))]
def name(text):
    text = text.strip()
    return text[1:] + text[0] if text[0].isdigit() else text
before = {xyz: name(n) for n, xyz in atoms(sys.argv[1])}
after = atoms(sys.argv[2])
changed = sorted({(before[xyz], name(n)) for n, xyz in after if before[xyz] != name(n)})
print("  atoms: %d; names changed: %s" % (len(after), ", ".join("%s -> %s" % pair for pair in changed) or "none"))
PY
