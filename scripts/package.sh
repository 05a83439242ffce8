#!/usr/bin/env bash
# Installs what is missing, takes the manual's screenshots with the GUI tests, builds the release
# programs for an installation under /usr and makes the Debian package
# build/package/partita-studio_VERSION_ARCH.deb. Install it with
#   sudo apt-get install ./build/package/partita-studio_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
rm -f build/package/partita-studio_*.deb
# The manual shows the screenshots the GUI tests take: take them first.
cmake --preset screenshots
cmake --build --preset screenshots
rm -rf build/screenshots/gui_screenshots
PARTITA_SCREENSHOTS="$root/build/screenshots/gui_screenshots" QT_QPA_PLATFORM=offscreen \
  build/screenshots/tests/test_gui --gtest_filter='*Screenshot*:*Pictured*' >/dev/null
cmake --workflow --preset package
ls build/package/partita-studio_*.deb
