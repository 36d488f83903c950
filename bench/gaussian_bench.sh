#!/usr/bin/env bash
# Times reading every geometry of a 200 MB Gaussian log through
# `ircdist -f EACH -iat LOG`, on the two logs made by
# bench/gaussian_make_log.sh (a Gaussian 09 IRC run and a Gaussian 03
# optimisation, each one molecule repeated), in one hyperfine run with:
#   - the same command given the log through a pipe (`-iat /dev/stdin
#     LOG`: each log is read once),
#   - `-f EACH FIT`, the steps measured after the least-squares fit of
#     neighbouring structures,
#   - a baseline tarvex binary when one is given (an older build, to show
#     that speed holds),
#   - cclib parsing the same log, when cclib is installed,
#   - `wc -l` on the log, the floor.
# Reports the medians, the throughput in MB/s, the ratios and the peak
# memory of tarvex (/usr/bin/time -v).
#
# Usage: bench/gaussian_bench.sh [tarvex binary] [runs] [baseline binary]
# cclib needs about a minute and a half per run on a 200 MB log; three runs
# are the default.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tarvex}")
runs=${2:-3}
baseline=${3:+$(realpath "$3")}
data=${BENCH_DATA:-/work/bench-data}
python=${PYTHON:-/usr/bin/python3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() {  # json file, command name: median seconds
  "$python" -c "import json,sys,statistics; r=[r for r in json.load(open(sys.argv[1]))['results'] if r['command']==sys.argv[2]][0]; print(statistics.median(r['times']))" "$1" "$2"
}
peak_kb() {  # command...: peak resident memory in kB
  /usr/bin/time -v "$@" 2>&1 > /dev/null | awk -F: '/Maximum resident/ {gsub(/ /, "", $2); print $2}'
}
have_cclib=0
"$python" -c "import cclib" 2> /dev/null && have_cclib=1

for name in gaussian_irc_200mb gaussian_opt_200mb; do
  log=$data/$name.log
  [ -s "$log" ] || { echo "missing $log (run bench/gaussian_make_log.sh)" >&2; exit 1; }
  megabytes=$(awk -v b="$(stat -c %s "$log")" 'BEGIN {printf "%.1f", b / 1e6}')
  declare -A commands=(
    [tarvex]="$tool ircdist -f EACH -iat $log LOG"
    [pipe]="bash -c '$tool ircdist -f EACH -iat /dev/stdin LOG < $log'"
    [fit]="$tool ircdist -f EACH FIT -iat $log LOG"
    [floor]="wc -l $log"
  )
  names=(tarvex pipe fit)
  [ -n "$baseline" ] && { commands[baseline]="$baseline ircdist -f EACH -iat $log LOG"; names+=(baseline); }
  [ "$have_cclib" = 1 ] && {
    commands[cclib]="$python -c \"import cclib, logging; cclib.io.ccread('$log', loglevel=logging.CRITICAL)\""
    names+=(cclib)
  }
  names+=(floor)
  list=()
  for n in "${names[@]}"; do list+=("${commands[$n]}"); done
  hyperfine -N -w 1 -r "$runs" --export-json "$work/$name.json" "${list[@]}" > "$work/$name.txt"
  structures=$($tool ircdist -f EACH -iat "$log" LOG 2> /dev/null | wc -l)
  echo "$name: $megabytes MB, $structures structures"
  t_tool=$(median "$work/$name.json" "${commands[tarvex]}")
  for n in "${names[@]}"; do
    t=$(median "$work/$name.json" "${commands[$n]}")
    awk -v n="$n" -v t="$t" -v mb="$megabytes" -v base="$t_tool" \
      'BEGIN {printf "  %-9s median %7.3f s, %6.0f MB/s, %5.2fx the time of tarvex\n", n, t, mb / t, t / base}'
  done
  printf "  tarvex peak memory %.1f MB\n" "$(awk -v k="$(peak_kb $tool ircdist -f EACH -iat "$log" LOG)" 'BEGIN {print k / 1024}')"
  [ "$have_cclib" = 1 ] || echo "  (cclib not installed: no cclib row)"
  unset commands
done
