#!/usr/bin/env bash
# Makes the long Gaussian logs of the Gaussian benchmarks from real logs of
# the corpus, each the log of one molecule concatenated with itself until it
# passes the size asked for (200 MB by default):
#   gaussian_irc_200mb.log   rxn_1_irc_1.out (Gaussian 09 IRC, 8 atoms, 52
#                            input orientations and 51 "SCF Done" per copy)
#   gaussian_opt_200mb.log   cyclopropenyl.rhf.g03.cut.log (Gaussian 03
#                            optimisation, 6 atoms, 4 geometries per copy)
# A reader sees one long run of the same molecule: every copy repeats the
# banner, route and geometries of the original.
#
# Usage: bench/gaussian_make_log.sh [megabytes]; writes into $BENCH_DATA
# (default /work/bench-data).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
corpus=${CORPUS:-$here/../../shared/corpus}
data=${BENCH_DATA:-/work/bench-data}
megabytes=${1:-200}
mkdir -p "$data"

make_log() {  # source target
  local source=$1 target=$2 size copies
  size=$(stat -c %s "$source")
  copies=$(( (megabytes * 1000000 + size - 1) / size ))
  : > "$target.tmp"
  for ((k = 0; k < copies; ++k)); do cat "$source"; done >> "$target.tmp"
  mv "$target.tmp" "$target"
  echo "$target: $copies copies of $(basename "$source"), $(stat -c %s "$target") bytes"
}

make_log "$corpus/log/rxn_1_irc_1.out" "$data/gaussian_irc_${megabytes}mb.log"
make_log "$corpus/log/cyclopropenyl.rhf.g03.cut.log" "$data/gaussian_opt_${megabytes}mb.log"
