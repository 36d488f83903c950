# Helpers of the bench scripts, sourced by them.

# Prints the median of each command of a hyperfine JSON export and the ratio
# of each to the first.
medians() {
  /usr/bin/python3 - "$1" <<'PY'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
base = statistics.median(results[0]["times"])
for r in results:
    m = statistics.median(r["times"])
    print("  %-78s median %7.3f s  ratio %6.3f  (first / this %6.1f)" % (r["command"][:78], m, m / base, base / m))
PY
}

# Peak resident memory of a command per atom: the atom count, then the command.
peak() {
  local atoms=$1
  shift
  /usr/bin/time -v "$@" > /dev/null 2> time.txt
  awk -v atoms="$atoms" '/Maximum resident set size/ {printf "  peak memory %.0f bytes per atom (%d MB): %s\n", $NF * 1024 / atoms, $NF / 1024, cmd}' cmd="$*" time.txt
}
