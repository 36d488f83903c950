#!/usr/bin/env bash
# The memory and time bound on generated worst cases: N coincident carbon
# atoms (every pair within bonding distance) through charge, and a CONECT
# file of about 100 MB (one atom named in every record) through charge and
# midmol, atoms at the ends of the coordinate range and two lattices far
# apart through getsolv and charge. Prints, per input, its size, the wall time and the peak memory
# (/usr/bin/time -v) beside the bound 50 x size + 64 MB.
#
#   bench/worst_cases.sh [BUILD_DIR] [WORK_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${2:-/tmp/tarvex-worst-cases}
tool=$(pwd)/$build/tarvex
[ -f "$work/two_clusters.mol2" ] || python3 bench/make_worst_cases.py "$work" --coincident 1000,10000,30000,100000 --conect-mb 100

measure() {  # label, then the command
  local label=$1
  shift
  local size
  size=$(stat -c %s "${@: -1}")
  /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || true
  local wall rss
  wall=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
  rss=$(grep 'Maximum resident' "$work/time.txt" | awk '{print $NF}')
  printf '%-24s %10d bytes  %10s  %8d KB  bound %8d KB\n' "$label" "$size" "$wall" "$rss" \
    $(( (50 * size + 64 * 1024 * 1024) / 1024 ))
}

for n in 1000 10000 30000 100000; do
  measure "charge coincident $n" "$tool" charge -i "$work/coincident_$n.pdb"
done
measure "charge conect 100MB" "$tool" charge -i "$work/conect.pdb"
measure "midmol conect 100MB" "$tool" midmol -i "$work/conect.pdb"
measure "getsolv -m far apart" "$tool" getsolv -m -o "$work/out.pdb" -i "$work/far_apart.mol2"
measure "charge far apart" "$tool" charge -i "$work/far_apart.mol2"
measure "charge two clusters" "$tool" charge -i "$work/two_clusters.mol2"
