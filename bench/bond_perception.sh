#!/usr/bin/env bash
# Bond perception on water boxes named SOL: 1,000,000 and 2,000,000 atoms at
# equal density. Target: under 3 s for 1M atoms, at most 2.3x for twice the atoms.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF -DTARVEX_BENCH=ON > /dev/null
cmake --build build-bench -j2 --target tarvex_bench_bonds > /dev/null
build-bench/tarvex_bench_bonds 1000000 5
build-bench/tarvex_bench_bonds 2000000 5
