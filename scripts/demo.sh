#!/usr/bin/env bash
# Installs what is missing, builds the release programs and runs the main job on the bundled
# sample (or on the files given).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
if [ $# -eq 0 ]; then set -- res/sample/sample.mp3; fi
build/release/src/cli/partita info "$@"
