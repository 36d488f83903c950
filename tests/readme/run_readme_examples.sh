#!/usr/bin/env bash
# Runs every worked example of the README and compares what it prints with
# the text printed under it, so the README cannot drift from the program.
#
#   run_readme_examples.sh README.md REPO_DIR [TARVEX_DIR]
#
# An example is an indented line "    $ command" (continued by lines ending
# in a backslash); the indented lines under it, up to the next "$" line or
# the end of the indented block, are what it prints on standard output and
# standard error together. A line "..." there (indented or not) stands for
# any number of lines. The commands run with `tarvex` taken from PATH (or from TARVEX_DIR
# when given), in a scratch folder that holds examples/ and tests/ of the
# repository and an empty build/, as a user's clone would after the set-up.
set -uo pipefail

readme=$1
repo=$(cd "$2" && pwd)
if [ $# -ge 3 ]; then
  PATH="$(cd "$3" && pwd):$PATH"
fi
command -v tarvex >/dev/null || { echo "tarvex is not on PATH" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run/build" "$work/cases"
cp -r "$repo/examples" "$repo/tests" "$work/run/"

# Split the README into cases: case_N.cmd holds the command, case_N.out what
# it prints.
awk -v dir="$work/cases" '
  /^    \$ / {
    n++
    cmd = substr($0, 7)
    while (cmd ~ /\\$/ && (getline line) > 0) {
      sub(/^ +/, " ", line)
      cmd = substr(cmd, 1, length(cmd) - 1) line
    }
    print cmd > (dir "/case_" n ".cmd")
    printf "" > (dir "/case_" n ".out")
    in_case = 1
    pending = 0
    next
  }
  in_case && /^$/ { pending++; next }
  in_case && /^    / {
    while (pending > 0) { print "" > (dir "/case_" n ".out"); pending-- }
    print substr($0, 5) > (dir "/case_" n ".out")
    next
  }
  { in_case = 0; pending = 0 }
' "$readme"

# Whether the actual output (file $1) matches the expected one (file $2),
# where an expected line "..." matches any run of lines.
matches() {
  awk '
    NR == FNR { actual[++na] = $0; next }
    { expected[++ne] = $0 }
    END {
      exit !match_from(1, 1)
    }
    function match_from(i, j,    k) {
      if (j > ne) return i > na
      if (expected[j] ~ /^ *\.\.\. *$/) {
        for (k = i; k <= na + 1; k++) if (match_from(k, j + 1)) return 1
        return 0
      }
      if (i > na || actual[i] != expected[j]) return 0
      return match_from(i + 1, j + 1)
    }
  ' "$1" "$2"
}

# A build without zlib or libnetcdf (TARVEX_FEATURES, as CMake found them)
# passes over the examples that need it.
features=";${TARVEX_FEATURES-zlib;netcdf};"
needs_missing() {
  { [[ $1 == *.nc[\ ]* || $1 == *.nc ]] && [[ $features != *";netcdf;"* ]]; } ||
    { [[ $1 == *.gz[\ ]* || $1 == *.gz ]] && [[ $features != *";zlib;"* ]]; }
}

count=0
failed=0
for cmd_file in $(ls "$work"/cases/*.cmd | sort -t_ -k2 -n); do
  expected=${cmd_file%.cmd}.out
  command=$(cat "$cmd_file")
  if needs_missing "$command"; then
    echo "built without what it needs, passed over: \$ $command"
    continue
  fi
  count=$((count + 1))
  (cd "$work/run" && bash -c "$command") >"$work/actual" 2>&1
  if ! matches "$work/actual" "$expected"; then
    failed=$((failed + 1))
    echo "README example differs: \$ $command"
    diff "$expected" "$work/actual" | head -20
  fi
done

if [ "$count" -eq 0 ]; then
  echo "no examples found in $readme" >&2
  exit 1
fi
echo "$count README examples run, $failed differ"
[ "$failed" -eq 0 ]
