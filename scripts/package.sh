#!/usr/bin/env bash
# Installs what is missing, builds the release programs for an installation under /usr and
# makes the Debian package build/package/partita-studio_VERSION_ARCH.deb. Install it with
#   sudo apt-get install ./build/package/partita-studio_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
rm -f build/package/partita-studio_*.deb
cmake --workflow --preset package
ls build/package/partita-studio_*.deb
