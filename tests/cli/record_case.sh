#!/usr/bin/env bash
# Records a new golden case from the current build: tests/cli/record_case.sh
# <tool> <case-name> '<args>'. The recorded files must then be checked line by
# line against the texts they are meant to show before they are committed.
set -eu
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
dir=$here/cases/$2
mkdir -p "$dir"
printf '%s\n' "$3" > "$dir/cmd"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/run"
ln -s "$tool" "$work/bin/tarvex"
[ -d "$dir/input" ] && cp -R "$dir/input/." "$work/run/"
set +e
(cd "$work/run" && DATA=$here/../data CORPUS=$here/../../../shared/corpus \
  eval "\"$work/bin/tarvex\" $3" > "$dir/stdout" 2> "$dir/stderr"; echo $? > "$dir/status")
set -e
[ -s "$dir/stdout" ] || rm -f "$dir/stdout"
[ -s "$dir/stderr" ] || rm -f "$dir/stderr"
[ "$(cat "$dir/status")" = 0 ] && rm -f "$dir/status"
ls "$dir"
