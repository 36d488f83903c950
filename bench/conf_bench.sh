#!/usr/bin/env bash
# Times conf against MDTraj's compute_phi/compute_psi on the same work in the
# same run: the 4,334-atom peptide of the benchmark inputs (265 residues),
# 1,000 frames of Amber ASCII trajectory (105 MB), phi and psi of every
# residue in every frame, written as one row per frame.
#
# Usage: bench/conf_bench.sh [tarvex binary] [runs]
# The inputs come from ../shared/bench/make_inputs.py, in $BENCH_DATA (default
# /work/bench-data). Reports hyperfine's medians, the throughput in MB/s of
# trajectory text, the ratio to MDTraj, the `wc -l` floor, the peak memory
# for 100 and 1,000 frames (streaming: it must not grow with the frames) and
# the largest difference between the two tables of angles.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
runs=${2:-5}
data=${BENCH_DATA:-/work/bench-data}
top=$data/peptide.pdb
traj=$data/peptide_1000.crd
for f in "$top" "$traj"; do
  [ -s "$f" ] || { echo "missing $f (run ../shared/bench/make_inputs.py)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first 100 frames: the title line and 1,301 lines per frame (13,002
# numbers, ten to a line).
atoms=$(grep -c '^ATOM' "$top")
lines_per_frame=$(( (3 * atoms + 9) / 10 ))
head -n $((1 + 100 * lines_per_frame)) "$traj" > "$work/peptide_100.crd"

hyperfine -N -w 1 -r "$runs" --export-json "$work/times.json" \
  "wc -l $traj" \
  "$tool conf -w -r $top -i $traj -o $work/tarvex.txt" \
  "/usr/bin/python3 $here/conf_mdtraj.py $top $traj $work/mdtraj.txt" > /dev/null

/usr/bin/python3 - "$work/times.json" "$(stat -c %s "$traj")" <<'PY'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
size = int(sys.argv[2]) / 1e6
wc, tarvex, mdtraj = (statistics.median(r["times"]) for r in results)
print("trajectory: %.1f MB, medians of %d runs" % (size, len(results[0]["times"])))
print("  wc -l (floor)  %6.3f s" % wc)
print("  tarvex conf    %6.3f s  %5.0f MB/s" % (tarvex, size / tarvex))
print("  MDTraj         %6.3f s  %5.0f MB/s" % (mdtraj, size / mdtraj))
print("  MDTraj / tarvex: %.1fx; tarvex / wc -l: %.1fx" % (mdtraj / tarvex, tarvex / wc))
# On a shared machine the processor time tells more than the wall clock
# (hyperfine keeps its mean).
cpu = [r["user"] + r["system"] for r in results[1:]]
print("  mean processor time (user + system): tarvex %.3f s (%.0f MB/s), MDTraj %.3f s; ratio %.1fx"
      % (cpu[0], size / cpu[0], cpu[1], cpu[1] / cpu[0]))
PY

# MDTraj computes in single precision: a near-linear backbone angle of a
# noisy frame makes a few dihedrals move by about 0.01 degree. The same
# dihedrals in double precision from the trajectory's text are the arbiter.
tail -n +2 "$work/tarvex.txt" > "$work/tarvex_rows.txt"
printf '  against MDTraj (single precision): '
/usr/bin/python3 "$here/conf_compare.py" "$work/mdtraj.txt" "$work/tarvex_rows.txt" 0.01 || true
/usr/bin/python3 - "$work/mdtraj.txt" "$work/tarvex_rows.txt" <<'PY'
import numpy as np, sys
a, b = (np.loadtxt(name, ndmin=2) for name in sys.argv[1:3])
d = np.abs(a - b)
d = np.minimum(d, 360.0 - d)
print("    angles within 0.01 degree: %d of %d" % ((d <= 0.01).sum(), d.size))
PY
/usr/bin/python3 "$here/conf_mdtraj.py" "$top" "$traj" "$work/numpy64.txt" --float64
printf '  against numpy (double precision, MDTraj atoms): '
/usr/bin/python3 "$here/conf_compare.py" "$work/numpy64.txt" "$work/tarvex_rows.txt" 0.0001

peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
short=$(peak_kb "$tool" conf -w -r "$top" -i "$work/peptide_100.crd")
long=$(peak_kb "$tool" conf -w -r "$top" -i "$traj")
echo "peak memory: 100 frames $((short / 1024)) MB, 1000 frames $((long / 1024)) MB"
