#!/usr/bin/env bash
# Times `tarvex charge` on the 500 benchmark molecules, one process per file,
# against Open Babel reading the same files (obabel -ipdb FILE -osdf, one
# process per file: it perceives bonds and bond orders but no charges), in
# the same run. Medians of a few runs by hyperfine.
#
#   bench/charge_mols.sh [tarvex] [bench-data-dir] [runs]
set -eu
tool=$(realpath "${1:-build/tarvex}")
data=${2:-/work/bench-data}
runs=${3:-3}
list=$data/mols.list
cd "$data/mols"
hyperfine --warmup 1 --runs "$runs" --export-json /tmp/charge_mols.json \
  "xargs -a $list -n 1 $tool charge -i > /dev/null" \
  "xargs -a $list -n 1 -I{} obabel -ipdb {} -osdf -O /dev/null 2> /dev/null"
python3 - <<'PY'
import json
r = json.load(open("/tmp/charge_mols.json"))["results"]
t, o = r[0]["median"], r[1]["median"]
print("tarvex charge: %.2f s for 500 files (%.1f ms per file)" % (t, 2 * t))
print("obabel:        %.2f s for 500 files (%.1f ms per file)" % (o, 2 * o))
print("ratio: tarvex %.1fx faster per file" % (o / t))
PY
