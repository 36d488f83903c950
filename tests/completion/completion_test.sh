#!/usr/bin/env bash
# Runs the generated bash completion script as bash would on a few command
# lines and checks what it offers.
#
# Usage: completion_test.sh build/tarvex.bash
set -u
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 99
touch traj.crd top.parm7 measure.txt

fail=0
# complete "words of the line, the last one being completed" -> the offers,
# sorted, one space between them.
complete_line() {
  bash -c '
    source "$1"
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))
    _tarvex
    printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "
  ' completion "$script" "$@" | sed "s/ $//"
}
expect() {  # expected offers, then the words
  local expected=$1
  shift
  local got
  got=$(complete_line "$@")
  if [ "$got" != "$expected" ]; then
    echo "--- tarvex completion of [$*]: expected [$expected], got [$got]"
    fail=1
  fi
}
expect_has() {  # a word that must be among the offers, then the words
  local wanted=$1
  shift
  local got
  got=" $(complete_line "$@") "
  if [[ $got != *" $wanted "* ]]; then
    echo "--- tarvex completion of [$*]: [$wanted] missing from [$got]"
    fail=1
  fi
}

# Analyzer names: from a prefix, all of them, and after the global options.
expect "getdun getsolv" tarvex get
expect "charge conf convert getdun getsolv ircdist midmol nextstep pbsaprep prepfit" tarvex ""
expect "conf convert" tarvex -f measure.txt con
expect "measure.txt" tarvex -f mea
expect "-f -h -v" tarvex -
expect "--help --version" tarvex --
expect "--version" tarvex --v

# getdun's options, straight after its name and from a prefix.
expect "-f -h -i -it -k -m -n -o -p -r -rt -s -v" tarvex getdun -
expect "--help" tarvex getdun -i traj.crd --h
expect_has "-it" tarvex getdun ""
expect "-r -ra -rt" tarvex convert -r

# File names and type keywords after a typed file option.
expect "traj.crd" tarvex getdun -it tr
for keyword in CRD PDB MOL2 TOP NC NCRST LOG; do
  expect_has "$keyword" tarvex getdun -it traj.crd ""
done
expect "CRD" tarvex getdun -it traj.crd CR
# The names Amber writes every day are type words too.
expect "PARM7 PDB PREP PRMTOP" tarvex conf -rt top.parm7 P
expect "rst rst7" tarvex midmol -it a rs
expect "com crd" tarvex getdun -it traj.crd c
expect "top.parm7" tarvex conf -rt top.parm7 TOP -it to
# After the typed file its options again; a list of typed files goes on in pairs.
expect_has "-o" tarvex getdun -it traj.crd CRD ""
expect "TOP" tarvex convert -it traj.crd CRD top.parm7 TO
expect "top.parm7" tarvex convert -it traj.crd CRD to

# Flag words, in the case they are begun in; nothing to offer for a number.
expect "DETAIL" tarvex getdun -f DE
expect "tab" tarvex getdun -f detail ta
expect "" tarvex getdun -n ""
expect_has "-m" tarvex getdun -n 5 ""

# bash-completion loads the script from inside a function: its tables must
# still be there afterwards.
got=$(bash -c 'load() { source "$1"; }; load "$1"; COMP_WORDS=(tarvex conf -r); COMP_CWORD=2; _tarvex
               echo "${COMPREPLY[@]}"' completion "$script")
if [ "$got" != "-r -rt" ]; then
  echo "--- loaded inside a function: expected [-r -rt], got [$got]"
  fail=1
fi
exit $fail
