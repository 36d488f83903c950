#!/usr/bin/env bash
# Times reading every geometry of a 200 MB Gaussian log through
# `ircdist -f EACH -iat LOG` against cclib parsing the same log, in the same
# hyperfine run, on the two logs made by bench/gaussian_make_log.sh (a
# Gaussian 09 IRC run and a Gaussian 03 optimisation, each one molecule
# repeated). Reports the medians, the throughput in MB/s, the ratio to
# cclib, the `wc -l` floor and the peak memory of each (/usr/bin/time -v).
#
# Usage: bench/gaussian_bench.sh [tarvex binary] [runs]
# cclib needs about a minute and a half per run on a 200 MB log; three runs
# are the default.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
runs=${2:-3}
data=${BENCH_DATA:-/work/bench-data}
python=${PYTHON:-/usr/bin/python3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() {  # json file, command index: median seconds
  "$python" -c "import json,sys,statistics; r=json.load(open(sys.argv[1]))['results'][int(sys.argv[2])]; print(statistics.median(r['times']))" "$1" "$2"
}
peak_kb() {  # command...: peak resident memory in kB
  /usr/bin/time -v "$@" 2>&1 > /dev/null | awk -F: '/Maximum resident/ {gsub(/ /, "", $2); print $2}'
}

for name in gaussian_irc_200mb gaussian_opt_200mb; do
  log=$data/$name.log
  [ -s "$log" ] || { echo "missing $log (run bench/gaussian_make_log.sh)" >&2; exit 1; }
  megabytes=$(awk -v b="$(stat -c %s "$log")" 'BEGIN {printf "%.1f", b / 1e6}')
  ours="$tool ircdist -f EACH -iat $log LOG"
  cclib="$python -c \"import cclib, logging; cclib.io.ccread('$log', loglevel=logging.CRITICAL)\""
  floor="wc -l $log"
  hyperfine -N -w 1 -r "$runs" --export-json "$work/$name.json" "$ours" "$cclib" "$floor" > "$work/$name.txt"
  t_ours=$(median "$work/$name.json" 0)
  t_cclib=$(median "$work/$name.json" 1)
  t_floor=$(median "$work/$name.json" 2)
  structures=$($tool ircdist -f EACH -iat "$log" LOG 2> /dev/null | wc -l)
  m_ours=$(peak_kb $tool ircdist -f EACH -iat "$log" LOG)
  m_cclib=$(peak_kb "$python" -c "import cclib, logging; cclib.io.ccread('$log', loglevel=logging.CRITICAL)")
  awk -v n="$name" -v mb="$megabytes" -v s="$structures" -v a="$t_ours" -v c="$t_cclib" -v f="$t_floor" \
      -v ma="$m_ours" -v mc="$m_cclib" 'BEGIN {
    printf "%s: %s MB, %d structures\n", n, mb, s
    printf "  tarvex ircdist -f EACH -iat: median %.3f s, %.0f MB/s, peak %.1f MB\n", a, mb / a, ma / 1024
    printf "  cclib ccread:                median %.3f s, %.1f MB/s, peak %.1f MB\n", c, mb / c, mc / 1024
    printf "  ratio cclib / tarvex: %.1fx; wc -l floor %.3f s (tarvex %.1fx the floor)\n", c / a, f, a / f
  }'
done
