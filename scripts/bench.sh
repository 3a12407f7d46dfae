#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs them:
# the engine against OpenSSL and Qt, then the file button against the engine
# in memory. An argument gives the number of rounds of each.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

ensure_packages g++ make cmake qtbase5-dev libssl-dev
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCHMARKS=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target engine_bench file_bench

build-bench/bench/engine_bench "$@"
echo
build-bench/bench/file_bench "$@"
