#!/usr/bin/env bash
# Release build of the benchmarks; runs each one and prints its figures.
# Usage: scripts/bench.sh [benchmark-name-filter]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${OPTRA_BENCH_DIR:-$ROOT/build/bench}"

"$ROOT/scripts/install-deps.sh"
# Paths relative to the checkout let ccache reuse objects across checkouts.
export CCACHE_BASEDIR="$ROOT"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release \
      -DOPTRA_BUILD_TESTS=OFF -DOPTRA_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
for exe in "$BUILD"/bin/bench_*; do
    [[ -x "$exe" ]] || continue
    echo "== $(basename "$exe")"
    "$exe" --benchmark_counters_tabular=true ${1:+--benchmark_filter="$1"}
done
