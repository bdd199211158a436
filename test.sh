#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UBSan
# and runs every test under a virtual X server.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${OPTRA_BUILD_DIR:-$ROOT/build/asan}"
JOBS="$(nproc)"

"$ROOT/scripts/install-deps.sh"
# Paths relative to the checkout let ccache reuse objects across checkouts.
export CCACHE_BASEDIR="$ROOT"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DOPTRA_SANITIZE=ON \
      -DOPTRA_BUILD_TESTS=ON -DOPTRA_BUILD_BENCH=ON \
      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build "$BUILD" -j"$JOBS"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=0"
export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

cd "$BUILD"
# A stale list of failures from an earlier run must not be reported again.
rm -f Testing/Temporary/LastTestsFailed.log
status=0
log="$(mktemp)"
"$ROOT/scripts/with-xvfb.sh" \
    ctest --output-on-failure -j"$JOBS" --timeout 600 "$@" 2>&1 | tee "$log" || status=${PIPESTATUS[0]}
# Tests that need servers they could not start (no root) say so and are skipped.
skipped=$(grep -c '(Skipped)' "$log" || true)
if ((skipped > 0)); then
  echo "Skipped: $skipped test executable(s) whose servers could not be started:"
  grep -h '(Skipped)' "$log" || true
  grep -h 'OPTRA-SKIP-SERVER' Testing/Temporary/LastTest*.log 2>/dev/null | sort -u || true
fi
rm -f "$log"
if ((status != 0)); then
  "$ROOT/scripts/failed-tests.sh" "$BUILD"
fi
exit "$status"
