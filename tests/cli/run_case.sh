#!/usr/bin/env bash
# Runs one golden command-line case and compares everything it produces.
#
# A case is a directory holding:
#   cmd        the words after the program name, in shell syntax; $DATA is
#              tests/data and $CORPUS the shared corpus of real files
#   stdout     expected standard output (absent: empty)
#   stderr     expected standard error (absent: empty)
#   status     expected exit status (absent: 0)
#   input/     files copied into the working directory first (optional)
#   files/     files the command must leave in the working directory, compared
#              byte for byte (optional)
#   env        KEY=VALUE lines put in the environment (optional)
#   setup.sh   run in the working directory before the command (optional)
#   needs_corpus   present when the case reads the corpus: skipped without it
#   needs_zlib, needs_netcdf   present when the case reads gzip or NetCDF
#              files: skipped in a build without that support (the build's
#              features come in TARVEX_FEATURES, separated by ";")
# The command runs in an empty temporary directory, as "tarvex".
set -u
tool=$1
case_dir=$2
corpus=$3
data=$(cd "$(dirname "$0")/../data" && pwd)

if [ -e "$case_dir/needs_corpus" ] && [ ! -d "$corpus" ]; then
  echo "corpus not found at $corpus: skipped"
  exit 77
fi

for feature in zlib netcdf; do
  if [ -e "$case_dir/needs_$feature" ] && [[ ";${TARVEX_FEATURES-zlib;netcdf};" != *";$feature;"* ]]; then
    echo "built without $feature: skipped"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")" "$work/bin/tarvex"
mkdir "$work/run"
[ -d "$case_dir/input" ] && cp -R "$case_dir/input/." "$work/run/"

(
  cd "$work/run" || exit 99
  export DATA="$data" CORPUS="$corpus"
  unset TARVEXPATH TARVEX_PATH
  if [ -f "$case_dir/env" ]; then
    while IFS= read -r line || [ -n "$line" ]; do
      [ -n "$line" ] && export "$line"
    done < "$case_dir/env"
  fi
  [ -f "$case_dir/setup.sh" ] && bash "$case_dir/setup.sh"
  eval "\"$work/bin/tarvex\" $(cat "$case_dir/cmd")" > "$work/stdout" 2> "$work/stderr"
  echo $? > "$work/status"
)

fail=0
compare() {  # expected-file actual-file label
  local expected=$1 actual=$2 label=$3
  if [ -f "$expected" ]; then
    if ! cmp -s "$expected" "$actual"; then
      echo "--- $label differs:"
      diff "$expected" "$actual" | head -40
      fail=1
    fi
  elif [ -s "$actual" ]; then
    echo "--- $label expected empty, got:"
    head -40 "$actual"
    fail=1
  fi
}
compare "$case_dir/stdout" "$work/stdout" stdout
compare "$case_dir/stderr" "$work/stderr" stderr
expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(cat "$case_dir/status")
actual_status=$(cat "$work/status")
if [ "$expected_status" != "$actual_status" ]; then
  echo "--- status: expected $expected_status, got $actual_status"
  fail=1
fi
if [ -d "$case_dir/files" ]; then
  while IFS= read -r -d '' expected; do
    rel=${expected#"$case_dir/files/"}
    if [ ! -f "$work/run/$rel" ]; then
      echo "--- file $rel was not written"
      fail=1
    else
      compare "$expected" "$work/run/$rel" "file $rel"
    fi
  done < <(find "$case_dir/files" -type f -print0)
fi
# No temporary output may be left behind, whatever the outcome.
if find "$work/run" -name '.*.tarvex-*' | grep -q .; then
  echo "--- temporary output files left behind"
  fail=1
fi
exit $fail
