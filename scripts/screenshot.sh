#!/usr/bin/env bash
# Starts OptraTrainer under a virtual X server with a generated demo project
# open and saves a picture of the main window (default: docs/screenshot.png).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${OPTRA_BUILD_DIR:-$ROOT/build/release}"
OUTPUT="$(realpath -m "${1:-$ROOT/docs/screenshot.png}")"

"$ROOT/scripts/install-deps.sh"
export CCACHE_BASEDIR="$ROOT"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOPTRA_BUILD_TESTS=ON >/dev/null
cmake --build "$BUILD" --target demo_screenshot OptraTrainer -j"$(nproc)"

mkdir -p "$(dirname "$OUTPUT")"
cd "$BUILD/bin"
"$ROOT/scripts/with-xvfb.sh" ./demo_screenshot "$OUTPUT"
echo "Saved $OUTPUT"
