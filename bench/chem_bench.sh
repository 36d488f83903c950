#!/usr/bin/env bash
# Times the chemistry on the inputs that could make it run away, and the
# million-atom system against midmol on the same file (the target is at most
# 4x), medians of a few runs by hyperfine.
#
#   bench/chem_bench.sh [tarvex] [bench-data-dir] [scratch-dir]
set -eu
tool=$(realpath "${1:-build/tarvex}")
data=${2:-/work/bench-data}
scratch=${3:-/tmp/tarvex-chem-bench}
here=$(cd "$(dirname "$0")" && pwd)
/usr/bin/python3 "$here/chem_stress.py" "$scratch" "$data/protein.pdb"
cd "$scratch"
hyperfine -N --warmup 2 --runs 10 \
  "$tool charge -i graphite_2000.pdb" "$tool charge -i fullerene_c60.pdb" "$tool charge -i fullerene_c240.pdb" \
  "$tool charge -i protein_50k.pdb" "$tool charge -i clutter_3000.pdb" 2>&1 | grep -E 'Benchmark|Time'
hyperfine -N --warmup 1 --runs 7 "$tool midmol -i $data/solv1m.pdb" "$tool charge -i $data/solv1m.pdb" 2>&1 |
  grep -E 'Benchmark|Time|faster'
