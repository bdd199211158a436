#!/usr/bin/env bash
# Installs what is missing, builds OptraTrainer and starts it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${OPTRA_BUILD_DIR:-$ROOT/build/release}"

"$ROOT/scripts/install-deps.sh"
# Paths relative to the checkout let ccache reuse objects across checkouts.
export CCACHE_BASEDIR="$ROOT"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DOPTRA_BUILD_TESTS=OFF -DOPTRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" --target OptraTrainer -j"$(nproc)"

# The program finds its icon "optratrainer.png" in its working directory.
cd "$BUILD/bin"
exec ./OptraTrainer "$@"
