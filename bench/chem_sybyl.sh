#!/usr/bin/env bash
# Builds bench/chem_mol2 against the library of a build directory:
#   bench/chem_sybyl.sh [build-dir]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
# The library reads gzip files through zlib and opens libnetcdf at run time.
g++ -std=c++20 -O2 -I"$here/../src" "$here/chem_mol2.cpp" "$build/libtarvex_core.a" -lz -ldl -o "$build/chem_mol2"
echo "$build/chem_mol2"
