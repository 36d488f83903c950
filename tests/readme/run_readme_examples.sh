#!/usr/bin/env bash
# Runs every worked example of a document (the README or a page of docs/)
# and compares what it prints with the text printed under it, so the
# documentation cannot drift from the program.
#
#   run_readme_examples.sh DOCUMENT.md REPO_DIR [TARVEX_DIR]
#
# An example is an indented line "    $ command" (continued by lines ending
# in a backslash); the indented lines under it, up to the next "$" line or
# the end of the indented block, are what it prints on standard output and
# standard error together. A line "..." there (indented or not) stands for
# any number of lines. A table row whose last cell is a command in
# backquotes, "| task | `tarvex ...` |", is run too and must end with
# status 0. The commands run with `tarvex` taken from PATH (or from
# TARVEX_DIR when given), in a scratch folder that holds examples/ and
# tests/ of the repository and an empty build/, as a user's clone would
# after the set-up; the repository itself is never written.
set -uo pipefail

readme=$1
name=$(basename "$readme")
repo=$(cd "$2" && pwd)
if [ $# -ge 3 ]; then
  PATH="$(cd "$3" && pwd):$PATH"
fi
command -v tarvex >/dev/null || { echo "tarvex is not on PATH" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run/build" "$work/cases"
cp -r "$repo/examples" "$repo/tests" "$work/run/"

# Split the document into cases: case_N.cmd holds the command, case_N.out
# what it prints, or case_N.status for a table row (only its status counts).
awk -v dir="$work/cases" '
  /^\|.*\| *`tarvex [^`]*` *\| *$/ {
    n++
    cmd = $0
    sub(/ *\| *$/, "", cmd)
    sub(/.*\| *`/, "", cmd)
    sub(/`$/, "", cmd)
    print cmd > (dir "/case_" n ".cmd")
    printf "" > (dir "/case_" n ".status")
    in_case = 0
    next
  }
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
# where an expected line "..." matches any run of lines. Empty lines at the
# end of the output are not compared: a document cannot show them.
matches() {
  awk '
    NR == FNR { actual[++na] = $0; next }
    { expected[++ne] = $0 }
    END {
      while (na > 0 && actual[na] == "") na--
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
  status=$?
  if [ -e "${cmd_file%.cmd}.status" ]; then
    if [ "$status" -ne 0 ]; then
      failed=$((failed + 1))
      echo "$name: the command of a table row ends with status $status: $command"
      head -5 "$work/actual"
    fi
  elif ! matches "$work/actual" "$expected"; then
    failed=$((failed + 1))
    echo "$name: example differs: \$ $command"
    diff "$expected" "$work/actual" | head -20
  fi
done

if [ "$count" -eq 0 ]; then
  echo "no examples found in $readme" >&2
  exit 1
fi
echo "$name: $count examples run, $failed differ"
[ "$failed" -eq 0 ]
