#!/usr/bin/env bash
# Installs what is missing, builds the release programs and runs the main job on the bundled
# sample: it is cut into three tracks at its two silences, into build/demo-output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
out=build/demo-output
mkdir -p "$out"
partita=build/release/src/cli/partita
"$partita" --settings "$out/settings.ini" split res/sample/sample.mp3 -o "$out" \
  --rule "%F-%S" --silence --overwrite
"$partita" --settings "$out/settings.ini" info "$out"/sample-*.mp3
