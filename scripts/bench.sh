#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs the
# engine benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

ensure_packages g++ make cmake qtbase5-dev libssl-dev
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCHMARKS=ON -DBUILD_TESTING=OFF >/dev/null

# Only the benchmark targets that bench/CMakeLists.txt defines.
targets=()
for target in engine_bench file_bench; do
    if grep -Eq "add_executable\(\s*$target([[:space:]]|\$)" bench/CMakeLists.txt; then
        targets+=(--target "$target")
    fi
done
cmake --build build-bench -j"$(nproc)" "${targets[@]}"
exec build-bench/bench/engine_bench "$@"
