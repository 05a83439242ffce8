#!/usr/bin/env bash
# Installs what is missing, builds with sanitizers and warnings as errors, checks the format of
# the C++ sources and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
bash scripts/check-format.sh
cmake --preset ci
cmake --build --preset ci -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset ci
