#!/usr/bin/env bash
# Times getdun against MDTraj doing the same work on the same files, in the
# same run: a 25,001-atom system, 1,000 frames of Amber ASCII trajectory with a
# box line per frame (608 MB), two distances, an angle and a dihedral per frame.
#
# Usage: bench/getdun_bench.sh [tarvex binary] [runs]
# The inputs come from ../shared/bench/make_inputs.py, in $BENCH_DATA (default
# /work/bench-data); this script generates nothing. Reports medians, the
# throughput in MB/s of trajectory text, the ratio to MDTraj, the `wc -l`
# floor, and the peak memory for 100 and 1,000 frames (streaming: it must not
# grow with the frames).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
runs=${2:-3}
data=${BENCH_DATA:-/work/bench-data}
top=$data/sys25k.pdb
traj=$data/traj25k_1000.crd
short=$data/traj25k_100.crd
for f in "$top" "$traj" "$short"; do
  [ -s "$f" ] || { echo "missing $f (run ../shared/bench/make_inputs.py)" >&2; exit 1; }
done
measure=(-m 141 3252 -m 1990 24999 -m 800 802 813 -m 798 800 802 813)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The reference gives the atom count; a PDB reader is needed for it. Without
# one, -n gives the same count (the trajectory is read either way).
reference=(-r "$top")
if ! "$tool" getdun "${reference[@]}" -i "$short" -m 1 2 -k 1000 > /dev/null 2>&1; then
  echo "note: the PDB reference cannot be read by this build; timing with -n 25001 instead" >&2
  reference=(-n 25001)
fi

median() { sort -g | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
seconds() {  # command... : wall seconds of one run
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

mb=$(echo "scale=1; $(stat -c %s "$traj") / 1000000" | bc)
tarvex_cmd=("$tool" getdun "${reference[@]}" -i "$traj" -f BOX "${measure[@]}" -o "$work/tarvex.txt")
mdtraj_cmd=(/usr/bin/python3 "$here/getdun_mdtraj.py" "$top" "$traj" "$work/mdtraj.txt")

declare -a t_tarvex t_mdtraj t_wc
for ((i = 0; i < runs; i++)); do
  t_wc+=("$(seconds wc -l "$traj")")
  t_tarvex+=("$(seconds "${tarvex_cmd[@]}")")
  t_mdtraj+=("$(seconds "${mdtraj_cmd[@]}")")
done
m_tarvex=$(printf '%s\n' "${t_tarvex[@]}" | median)
m_mdtraj=$(printf '%s\n' "${t_mdtraj[@]}" | median)
m_wc=$(printf '%s\n' "${t_wc[@]}" | median)

echo "trajectory: $traj ($mb MB, 1000 frames of 25001 atoms with a box)"
echo "runs: $runs; medians in seconds"
printf '  tarvex getdun  %7.2f s  (%s)  %6.0f MB/s\n' "$m_tarvex" "${t_tarvex[*]}" "$(echo "$mb / $m_tarvex" | bc -l)"
printf '  MDTraj         %7.2f s  (%s)  %6.0f MB/s\n' "$m_mdtraj" "${t_mdtraj[*]}" "$(echo "$mb / $m_mdtraj" | bc -l)"
printf '  wc -l (floor)  %7.2f s\n' "$m_wc"
printf '  MDTraj / tarvex: %.1fx; tarvex / wc -l: %.1fx\n' \
  "$(echo "$m_mdtraj / $m_tarvex" | bc -l)" "$(echo "$m_tarvex / $m_wc" | bc -l)"

# The two tables agree to MDTraj's single precision.
paste "$work/tarvex.txt" "$work/mdtraj.txt" | awk '
  { for (i = 1; i <= 4; i++) { d = $i - $(i + 4); if (d < 0) d = -d; if (d > 180) d = 360 - d; if (d > worst) worst = d } }
  END { printf "  largest difference between the tables: %.4f (rows: %d)\n", worst, NR }'

peak_short=$(peak_kb "$tool" getdun "${reference[@]}" -i "$short" "${measure[@]}")
peak_long=$(peak_kb "${tarvex_cmd[@]}")
echo "peak memory: 100 frames $((peak_short / 1024)) MB, 1000 frames $((peak_long / 1024)) MB"
