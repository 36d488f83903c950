#!/usr/bin/env bash
# Times getdun against MDTraj doing the same work on the same files, in the
# same hyperfine run: a 25,001-atom system, 1,000 frames of Amber ASCII
# trajectory with a box line per frame (608 MB), two distances, an angle and
# a dihedral per frame; then the same trajectory as Amber NetCDF (against
# MDTraj reading it) and gzip-compressed (against `gunzip -c` of it).
#
# Usage: bench/getdun_bench.sh [tarvex] [baseline tarvex] [runs]
# The inputs come from ../shared/bench/make_inputs.py, in $BENCH_DATA (default
# /work/bench-data); the NetCDF and gzip copies are made once by
# bench/make_trajectory_copies.py into $BENCH_COPIES (default
# /tmp/trajbench). Reports medians of the wall time, the mean CPU time (user +
# system: on a loaded machine the wall time also counts the waiting), MB/s of
# trajectory text, the ratios, the `cat` floor, and the peak memory for 100
# and 1,000 frames (streaming: it must not grow with the frames).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
baseline=${2:-}
runs=${3:-5}
data=${BENCH_DATA:-/work/bench-data}
copies=${BENCH_COPIES:-/tmp/trajbench}
top=$data/sys25k.pdb
traj=$data/traj25k_1000.crd
short=$data/traj25k_100.crd
for f in "$top" "$traj" "$short"; do
  [ -s "$f" ] || { echo "missing $f (run ../shared/bench/make_inputs.py)" >&2; exit 1; }
done
mkdir -p "$copies"
/usr/bin/python3 "$here/make_trajectory_copies.py" "$top" "$traj" "$copies"
nc=$copies/traj25k_1000.nc
gz=$copies/traj25k_1000.crd.gz
measure="-m 141 3252 -m 1990 24999 -m 800 802 813 -m 798 800 802 813"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

crd_cmds=("$tool getdun -n 25001 -i $traj -f BOX $measure -o $work/tarvex.txt")
[ -n "$baseline" ] && crd_cmds+=("$baseline getdun -n 25001 -i $traj -f BOX $measure -o $work/baseline.txt")
crd_cmds+=("/usr/bin/python3 $here/getdun_mdtraj.py $top $traj $work/mdtraj.txt" "cat $traj")
hyperfine --warmup 1 --runs "$runs" --export-json "$work/crd.json" "${crd_cmds[@]}" > /dev/null
hyperfine --warmup 1 --runs "$runs" --export-json "$work/nc.json" \
  "$tool getdun -n 25001 -i $nc $measure -o $work/tarvex_nc.txt" \
  "/usr/bin/python3 $here/getdun_mdtraj.py $top $nc $work/mdtraj_nc.txt" > /dev/null
hyperfine --warmup 1 --runs "$runs" --export-json "$work/gz.json" \
  "$tool getdun -n 25001 -i $gz -f BOX $measure -o $work/tarvex_gz.txt" "gunzip -c $gz" > /dev/null

/usr/bin/python3 - "$work" "$(stat -c %s "$traj")" <<'PY'
import json, statistics, sys
work, size = sys.argv[1], int(sys.argv[2]) / 1e6
def rows(name):
    out = []
    for r in json.load(open(f"{work}/{name}.json"))["results"]:
        out.append((r["command"], r["median"], r["user"] + r["system"]))
    return out
for title, name in (("CRD (%.0f MB)" % size, "crd"), ("NetCDF", "nc"), ("gzip CRD", "gz")):
    print(title)
    results = rows(name)
    for command, median, cpu in results:
        print("  %-70.70s median %6.3f s  cpu %6.3f s  %6.0f MB/s" % (command, median, cpu, size / median))
    first = results[0]
    for command, median, cpu in results[1:]:
        print("  %-50.50s / tarvex: wall %5.1fx  cpu %5.1fx" % (command, median / first[1], cpu / first[2]))
PY
# The tables agree (MDTraj works in single precision).
for pair in "tarvex.txt mdtraj.txt" "tarvex_nc.txt mdtraj_nc.txt" "tarvex.txt tarvex_gz.txt"; do
  set -- $pair
  paste "$work/$1" "$work/$2" | awk -v a="$1" -v b="$2" '
    { for (i = 1; i <= 4; i++) { d = $i - $(i + 4); if (d < 0) d = -d; if (d > 180) d = 360 - d; if (d > worst) worst = d } }
    END { printf "largest difference %s / %s: %.4f (rows: %d)\n", a, b, worst, NR }'
done
[ -n "$baseline" ] && cmp -s "$work/tarvex.txt" "$work/baseline.txt" && echo "tables of tarvex and the baseline: identical"
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
echo "peak memory: CRD 100 frames $(( $(peak_kb "$tool" getdun -n 25001 -i "$short" $measure) / 1024 )) MB," \
  "1000 frames $(( $(peak_kb "$tool" getdun -n 25001 -i "$traj" -f BOX $measure) / 1024 )) MB," \
  "NetCDF 1000 frames $(( $(peak_kb "$tool" getdun -n 25001 -i "$nc" $measure) / 1024 )) MB," \
  "gzip 1000 frames $(( $(peak_kb "$tool" getdun -n 25001 -i "$gz" -f BOX $measure) / 1024 )) MB"
