#!/usr/bin/env bash
# Times tarvex's PDB paths against the peers on the generated inputs
# (/work/shared/bench/make_inputs.py writes them; keep them outside the
# repository) and reports medians and the ratios asked of them:
#   midmol -i solv1m.pdb               <= 0.35 x  gemmi convert solv1m.pdb
#   getsolv -b 6 -r 10 -i solv250k.pdb >= 10 x faster than MDAnalysis
#   getsolv -m -r 10 -i solv1m.pdb     <= 1.5 x  midmol on the same file
#   peak memory of both analyzers      <= 500 bytes per atom
# Every command of a comparison runs in the same hyperfine call, so the
# ratios hold whatever the machine's load. Usage:
#   bench/pdb_bench.sh [build/tarvex]     (BENCH_DATA, RUNS override)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
data=$(realpath "${BENCH_DATA:-$here/../../bench-data}")
runs=${RUNS:-5}
py=/usr/bin/python3
export PYTHONWARNINGS=ignore
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for f in solv250k.pdb solv1m.pdb manifest.env; do
  [ -f "$data/$f" ] || { echo "missing $data/$f: run make_inputs.py first" >&2; exit 1; }
done
# shellcheck disable=SC1091
. "$data/manifest.env"

# Prints the median of each command of a hyperfine JSON export and the ratio
# of each to the first.
medians() {
  "$py" - "$1" <<'PY'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
base = statistics.median(results[0]["times"])
for r in results:
    m = statistics.median(r["times"])
    print("  %-70s median %7.3f s  ratio %5.2f" % (r["command"][:70], m, m / base))
PY
}
peak() {  # peak resident bytes per atom of a command: atoms, then the command
  local atoms=$1
  shift
  /usr/bin/time -v "$@" > /dev/null 2> time.txt
  awk -v atoms="$atoms" '/Maximum resident set size/ {printf "  %.0f bytes per atom (%d MB)\n", $NF * 1024 / atoms, $NF / 1024}' time.txt
}

echo "== reading and writing PDB: midmol vs gemmi convert, solv1m.pdb ($SOLV1M_ATOMS atoms, $(du -m "$data/solv1m.pdb" | cut -f1) MB)"
hyperfine -N -w 1 -r "$runs" --export-json read.json \
  "gemmi convert $data/solv1m.pdb gemmi_out.pdb" \
  "$tool midmol -i $data/solv1m.pdb" \
  "wc -l $data/solv1m.pdb" > /dev/null
medians read.json
"$py" - read.json "$(stat -c %s "$data/solv1m.pdb")" <<'PY'
import json, statistics, sys
times = json.load(open(sys.argv[1]))["results"][1]["times"]
print("  tarvex midmol reads %.0f MB/s of PDB text" % (int(sys.argv[2]) / 1e6 / statistics.median(times)))
PY

echo "== getsolv -b $GETSOLV_ORDINAL -r 10 vs MDAnalysis, solv250k.pdb"
hyperfine -N -w 1 -r "$runs" --export-json shell.json \
  "$py $here/pdb_shell_mdanalysis.py $data/solv250k.pdb $GETSOLV_RESINDEX 10 mda_shell.pdb" \
  "$tool getsolv -b $GETSOLV_ORDINAL -r 10 -i $data/solv250k.pdb -o shell.pdb" > /dev/null
medians shell.json
echo "  waters: MDAnalysis $("$py" "$here/pdb_shell_mdanalysis.py" "$data/solv250k.pdb" "$GETSOLV_RESINDEX" 10 mda_shell.pdb)," \
  "tarvex $("$tool" getsolv -b "$GETSOLV_ORDINAL" -r 10 -i "$data/solv250k.pdb" -o shell.pdb | awk '/within/ {print $NF}')"

echo "== getsolv -m -r 10 vs midmol, solv1m.pdb"
hyperfine -N -w 1 -r "$runs" --export-json solute.json \
  "$tool midmol -i $data/solv1m.pdb" \
  "$tool getsolv -m -r 10 -i $data/solv1m.pdb -o shell.pdb" > /dev/null
medians solute.json

echo "== peak memory, solv1m.pdb"
echo " midmol:"
peak "$SOLV1M_ATOMS" "$tool" midmol -i "$data/solv1m.pdb"
echo " getsolv -m -r 10:"
peak "$SOLV1M_ATOMS" "$tool" getsolv -m -r 10 -i "$data/solv1m.pdb" -o shell.pdb
