#!/usr/bin/env bash
# Times `tarvex charge` on the 500 benchmark molecules, one process per file,
# against Open Babel reading the same files (obabel -ipdb FILE -osdf, one
# process per file: it perceives bonds and bond orders but no charges), and
# optionally an earlier tarvex for the before figure, in the same run.
# Medians of a few runs by hyperfine.
#
#   bench/charge_mols.sh [tarvex] [bench-data-dir] [runs] [earlier-tarvex]
set -eu
tool=$(realpath "${1:-build/tarvex}")
data=${2:-/work/bench-data}
runs=${3:-3}
before=${4:+$(realpath "$4")}
list=$data/mols.list
cd "$data/mols"
commands=("xargs -a $list -n 1 $tool charge -i > /dev/null"
          "xargs -a $list -n 1 -I{} obabel -ipdb {} -osdf -O /dev/null 2> /dev/null")
[ -n "$before" ] && commands+=("xargs -a $list -n 1 $before charge -i > /dev/null")
hyperfine --warmup 1 --runs "$runs" --export-json /tmp/charge_mols.json "${commands[@]}"
python3 - <<'PY'
import json
r = json.load(open("/tmp/charge_mols.json"))["results"]
t, o = r[0]["median"], r[1]["median"]
print("tarvex charge: %.2f s for 500 files (%.1f ms per file)" % (t, 2 * t))
print("obabel:        %.2f s for 500 files (%.1f ms per file)" % (o, 2 * o))
print("ratio: tarvex %.1fx faster per file" % (o / t))
if len(r) > 2:
    b = r[2]["median"]
    print("earlier tarvex: %.2f s for 500 files (%.1f ms per file)" % (b, 2 * b))
PY
